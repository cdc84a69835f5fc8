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

#include <QFileInfo>
#include <gtest/gtest.h>

#ifndef Q_OS_WIN

using namespace korvane::test;

namespace {

const QStringList kDataFiles{"dbDrugsAdjustment", "icd10", "dbHospital.mdb", "dbCd.mdb"};
const QStringList kQrCodeFiles{"QrCodeAgent.exe", "zxing.dll"};

// The machine's files, except that nothing can be written onto the installation's executable.
class ProgramRefusingFiles : public korvane::platform::NativeFileSystem
{
public:
    void copyFile(const QString& source, const QString& target) override
    {
        if (target.endsWith("korvane.exe", Qt::CaseInsensitive))
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
        shipProgram();
        QDir(install).mkpath("tools");
    }
    // The new program: the stand-in, told apart from the installed one by its last line.
    void shipProgram()
    {
        writeApplication(machine.packFile("korvane.exe"));
        QFile program(machine.packFile("korvane.exe"));
        ASSERT_TRUE(program.open(QIODevice::Append) && program.write("# shipped\n") > 0);
    }
    korvane::Outcome run(const korvane::platform::Services& services)
    {
        machine.dialogs.messages.clear();
        actioner = std::make_unique<korvane::CKorvaneUpdateActioner>(services);
        return actioner->action(view);
    }
    korvane::platform::Services native(korvane::platform::FileSystem& files)
    {
        return {machine.settings, files, processes, machine.clock, events, machine.dialogs, machine.packFolder()};
    }
    // The installation but for what the stand-ins write (the kill tool, the program's traces).
    QMap<QString, QByteArray> installation() const
    {
        auto files = tree(install);
        // What the stand-in writes as it starts, a restarted one perhaps still writing.
        for (const char* trace : {"tools/KillIt.exe", "started", "started.tmp", "starts"})
            files.remove(trace);
        return files;
    }
    // The new program and each named file where it belongs: the QR-code files in tools/dtc.
    void expectInstalled(const QStringList& names)
    {
        const auto files = tree(install);
        // Replaced in place under the name it had, or new under the shipped one: one program.
        EXPECT_NE(files.contains("korvane.exe"), files.contains("Korvane.exe"));
        EXPECT_TRUE(files.value("korvane.exe", files.value("Korvane.exe")).endsWith("# shipped\n"));
        EXPECT_FALSE(files.contains("Korvane.exe.bak"));
        for (const QString& name : names)
            EXPECT_EQ(files.value((kQrCodeFiles.contains(name) ? "tools/dtc/" : "") + name), name.toUtf8());
    }

    TestMachine machine;
    QString install = machine.installFile("My Korvane");
    FakeView view;
    korvane::platform::NativeProcesses processes;
    korvane::platform::NativeEventPump events;
    std::unique_ptr<korvane::CKorvaneUpdateActioner> actioner;
};

TEST_F(ApplicationUpdate, RefusedWhileKorvaneRunsRestartedWhenTheProgramFailsThenInstallsAllSevenFiles)
{
    ship(machine.packFolder(), kDataFiles + kQrCodeFiles);
    writeApplication(install + "/Korvane.exe");
    ASSERT_TRUE(processes.startDetached('"' + install + "/Korvane.exe\"", install,
                                        korvane::platform::WindowStyle::Normal));
    ASSERT_TRUE(applicationRunsWithin(install, 5000));
    const auto pid = [&] { return tree(install).value("started").trimmed().toLongLong(); };
    ProgramRefusingFiles refusing;
    const auto installationBefore = installation();
    const auto packBefore = tree(machine.packFolder());
    const auto expectUntouched = [&](const QString& why) {
        ASSERT_EQ(machine.dialogs.messages.size(), 1u);
        EXPECT_TRUE(machine.dialogs.messages[0].text.contains(why)) << qPrintable(machine.dialogs.messages[0].text);
        EXPECT_EQ(installation(), installationBefore);
        EXPECT_EQ(tree(machine.packFolder()), packBefore);
    };

    // A kill tool that does nothing: Korvane still runs.
    writeKillTool(install, 0);
    EXPECT_EQ(run(native(machine.files)), korvane::Outcome::Refused);
    expectUntouched(QStringLiteral("在進行更新程式前，請關閉目前正在執行的申報軟體。"));

    // The tool stops it, but the new program cannot be written: the old one stays, and runs again.
    writeKillTool(install, pid());
    EXPECT_EQ(run(native(refusing)), korvane::Outcome::Failed);
    expectUntouched(QStringLiteral("磁碟已滿"));
    EXPECT_TRUE(becomesTrueWithin(5000, [&] { return applicationStarts(install) == 2; }));
    EXPECT_TRUE(applicationRunsWithin(install, 5000)) << "the old program started again";

    writeKillTool(install, pid());
    QFile::remove(install + "/started");
    EXPECT_EQ(run(native(machine.files)), korvane::Outcome::Done);
    EXPECT_TRUE(machine.dialogs.messages.empty());
    expectInstalled(kDataFiles + kQrCodeFiles);
    EXPECT_TRUE(tree(machine.packFolder()).isEmpty());
    EXPECT_TRUE(applicationRunsWithin(install, 10000)) << "the new program restarted";
    EXPECT_FALSE(applicationRunsWithin(machine.installFolder(), 200)) << "a command line split at the blank";
}

TEST_F(ApplicationUpdate, WithoutOptionalFilesOnlyTheProgramIsInstalledAndDtcIsMadeOrKept)
{
    ship(install, {"Korvane.exe"});
    EXPECT_EQ(run(machine.services()), korvane::Outcome::Done);
    expectInstalled({});
    EXPECT_EQ(tree(install).value("tools/dtc"), "/");
    EXPECT_TRUE(tree(machine.packFolder()).isEmpty());

    ship(install, {"tools/dtc/settings.ini"});
    shipProgram();
    ship(machine.packFolder(), kQrCodeFiles);
    EXPECT_EQ(run(machine.services()), korvane::Outcome::Done);
    expectInstalled(kQrCodeFiles);
    EXPECT_EQ(tree(install).value("tools/dtc/settings.ini"), "tools/dtc/settings.ini");
    EXPECT_TRUE(machine.dialogs.messages.empty());
}

// Installed, but Korvane does not start again: the update stands, and the user is told to start it.
TEST_F(ApplicationUpdate, AKorvaneThatDoesNotStartAgainIsTold)
{
    machine.processes.startsFail = true;
    EXPECT_EQ(run(machine.services()), korvane::Outcome::Done);
    expectInstalled({});
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_TRUE(machine.dialogs.messages[0].text.contains(QStringLiteral("無法自動啟動")))
        << qPrintable(machine.dialogs.messages[0].text);
}

// Data files alone: the running program is still noticed, though its file is not replaced.
TEST_F(ApplicationUpdate, ARunningKorvaneRefusesDataFilesTooAndIsNotStartedTwice)
{
    QFile::remove(machine.packFile("korvane.exe"));
    ship(machine.packFolder(), {"dbCd.mdb"});
    writeApplication(install + "/Korvane.exe");
    ASSERT_TRUE(processes.startDetached('"' + install + "/Korvane.exe\"", install,
                                        korvane::platform::WindowStyle::Normal));
    ASSERT_TRUE(applicationRunsWithin(install, 5000));
    const auto before = installation();

    EXPECT_EQ(run(native(machine.files)), korvane::Outcome::Refused);
    EXPECT_EQ(installation(), before);
    EXPECT_TRUE(QFile::exists(machine.packFile("dbCd.mdb")));
    EXPECT_FALSE(becomesTrueWithin(500, [&] { return applicationStarts(install) > 1; })) << "no second Korvane";
}

TEST_F(ApplicationUpdate, AKillToolThatCannotStartIsNamedWithItsCause)
{
    ship(install, {"tools/KillIt.exe"}); // not executable
    const auto before = installation();
    EXPECT_EQ(run(native(machine.files)), korvane::Outcome::Failed);
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    const QString& text = machine.dialogs.messages[0].text;
    EXPECT_TRUE(text.contains("KillIt.exe") && text.contains(QStringLiteral("權限不足"))) << qPrintable(text);
    EXPECT_EQ(installation(), before);
    EXPECT_TRUE(QFile::exists(machine.packFile("korvane.exe")));
}

// A database is kept before it is replaced; a link at a target is not written through, whatever
// it leads to, and its file stays in the pack to be named.
TEST_F(ApplicationUpdate, DatabasesAreKeptAndALinkAtATargetIsNotFollowed)
{
    ship(install, {"dbHospital.mdb"}, "old ");
    ship(machine.installFolder(), {"elsewhere.mdb"}, "not Korvane's ");
    ASSERT_TRUE(QFile::link(machine.installFile("elsewhere.mdb"), install + "/dbCd.mdb"));
    ship(machine.packFolder(), {"dbHospital.mdb", "dbCd.mdb"});

    EXPECT_EQ(run(machine.services()), korvane::Outcome::ItemsLeft);
    const auto files = tree(install);
    EXPECT_EQ(files.value("dbHospital.mdb"), "dbHospital.mdb");
    EXPECT_EQ(files.value("dbHospital.mdb.bak"), "old dbHospital.mdb");
    EXPECT_EQ(tree(machine.installFolder()).value("elsewhere.mdb"), "not Korvane's elsewhere.mdb");
    EXPECT_TRUE(QFileInfo(install + "/dbCd.mdb").isSymLink());
    EXPECT_EQ(tree(machine.packFolder()).keys(), QStringList{"dbCd.mdb"});
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_EQ(machine.dialogs.messages[0].title, QStringLiteral("更新未完成"));
    EXPECT_TRUE(machine.dialogs.messages[0].text.contains("dbCd.mdb"));
    EXPECT_TRUE(machine.dialogs.messages[0].text.contains("dbHospital.mdb.bak"));
}

} // namespace

#endif
