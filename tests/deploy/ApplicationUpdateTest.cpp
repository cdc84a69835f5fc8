// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The application update on a real installation folder and pack folder: the running application
// is a copied system program, the kill tool a script that ends it.

#include "KorvaneStandIns.h"
#include "RunningProgram.h"
#include "TestServices.h"
#include "deploy/CKorvaneUpdateActioner.h"
#include "platform/Error.h"
#include "platform/NativeEventPump.h"
#include "platform/NativeProcesses.h"

#include <gtest/gtest.h>

#ifndef Q_OS_WIN

using namespace korvane::test;

namespace {

const QStringList kDataFiles{"dbDrugsAdjustment", "icd10", "dbHospital.mdb", "dbCd.mdb"};
const QStringList kQrCodeFiles{"QrCodeAgent.exe", "zxing.dll"};

// The machine's files, except that nothing but the kept program can be written onto the
// installation's executable.
class ProgramRefusingFiles : public korvane::platform::NativeFileSystem
{
public:
    void copyFile(const QString& source, const QString& target) override
    {
        if (target.endsWith("korvane.exe", Qt::CaseInsensitive) && !source.endsWith(".bak"))
            throw korvane::platform::Error(QStringLiteral("磁碟已滿：") + target);
        NativeFileSystem::copyFile(source, target);
    }
};

class ApplicationUpdate : public ::testing::Test
{
protected:
    // The installation folder has a blank in its name, as under "Program Files"; a program "My"
    // beside it would run instead if a command line were split at that blank.
    void SetUp() override
    {
        machine.settings.setInstallationFolder(install);
        writeApplication(machine.installFile("My"));
        writeApplication(machine.packFile("korvane.exe"));
        QDir(install).mkpath("tools");
    }
    void run(const korvane::platform::Services& services)
    {
        machine.dialogs.messages.clear();
        actioner = std::make_unique<korvane::CKorvaneUpdateActioner>(services);
        actioner->action(view);
    }
    // The new program and each named file where it belongs: the QR-code files in tools/dtc.
    void expectInstalled(const QStringList& names)
    {
        const auto files = tree(install);
        EXPECT_TRUE(files.value("korvane.exe").contains("started"));
        EXPECT_FALSE(files.contains("Korvane.exe") || files.contains("Korvane.exe.bak"))
            << "one program file";
        for (const QString& name : names)
            EXPECT_EQ(files.value((kQrCodeFiles.contains(name) ? "tools/dtc/" : "") + name), name.toUtf8());
    }

    TestMachine machine;
    QString install = machine.installFile("My Korvane");
    FakeView view;
    std::unique_ptr<korvane::CKorvaneUpdateActioner> actioner;
};

TEST_F(ApplicationUpdate, RefusedWhileKorvaneRunsFailedOnTheProgramThenInstallsAllSevenFilesAndRestarts)
{
    ship(machine.packFolder(), kDataFiles + kQrCodeFiles);
    RunningProgram application(RunningProgram::Use::RunFrom, install + "/Korvane.exe");
    korvane::platform::NativeProcesses processes;
    korvane::platform::NativeEventPump events;
    ProgramRefusingFiles refusing;
    const auto native = [&](korvane::platform::FileSystem& files) {
        return korvane::platform::Services{
            machine.settings, files, processes, machine.clock, events, machine.dialogs, machine.packFolder()};
    };
    // The installation but for the kill tool, which each step writes anew.
    const auto installation = [this] {
        auto files = tree(install);
        files.remove("tools/KillIt.exe");
        return files;
    };
    const auto installationBefore = installation();
    const auto packBefore = tree(machine.packFolder());
    const auto expectUntouched = [&](const QString& why) {
        ASSERT_EQ(machine.dialogs.messages.size(), 1u);
        EXPECT_TRUE(machine.dialogs.messages[0].text.contains(why));
        EXPECT_EQ(installation(), installationBefore);
        EXPECT_EQ(tree(machine.packFolder()), packBefore);
        EXPECT_EQ(actioner->getAppName(), QString()) << "the pack stays to be run again";
    };

    // A kill tool that does nothing: Korvane still runs.
    writeKillTool(install, 0);
    run(native(machine.files));
    expectUntouched(QStringLiteral("在進行更新程式前，請關閉目前正在執行的申報軟體。"));

    // The tool stops it, but the new program cannot be written: the old one is put back.
    writeKillTool(install, application.processId());
    run(native(refusing));
    EXPECT_TRUE(application.endsWithin(5000));
    expectUntouched(QStringLiteral("磁碟已滿"));

    run(native(machine.files));
    EXPECT_TRUE(machine.dialogs.messages.empty());
    expectInstalled(kDataFiles + kQrCodeFiles);
    EXPECT_TRUE(tree(machine.packFolder()).isEmpty());
    EXPECT_TRUE(applicationRunsWithin(install, 10000)) << "the new program restarted";
    EXPECT_FALSE(applicationRunsWithin(machine.installFolder(), 200)) << "a command line split at the blank";
    EXPECT_FALSE(actioner->getAppName().isEmpty());
}

TEST_F(ApplicationUpdate, WithoutOptionalFilesOnlyTheProgramIsInstalledAndDtcIsMadeOrKept)
{
    ship(install, {"Korvane.exe"});
    run(machine.services());
    expectInstalled({});
    EXPECT_EQ(tree(install).value("tools/dtc"), "/");
    EXPECT_TRUE(tree(machine.packFolder()).isEmpty());

    ship(install, {"tools/dtc/settings.ini"});
    writeApplication(machine.packFile("korvane.exe"));
    ship(machine.packFolder(), kQrCodeFiles);
    run(machine.services());
    expectInstalled(kQrCodeFiles);
    EXPECT_EQ(tree(install).value("tools/dtc/settings.ini"), "tools/dtc/settings.ini");
    EXPECT_TRUE(machine.dialogs.messages.empty());
}

} // namespace

#endif
