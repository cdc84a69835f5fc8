// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The application update on a real installation folder and pack folder: the running application
// is a copied system program, the kill tool a script that ends it.

#include "DeployTestSupport.h"
#include "KorvaneStandIns.h"
#include "RunningProgram.h"
#include "TestServices.h"
#include "deploy/CKorvaneUpdateActioner.h"
#include "platform/Error.h"
#include "platform/NativeEventPump.h"
#include "platform/NativeProcesses.h"

#include <gtest/gtest.h>

#ifndef Q_OS_WIN

using korvane::test::RunningProgram;
using korvane::test::StartedApplication;
using korvane::test::tree;

namespace {

const QStringList kOptionalFiles{QStringLiteral("dbDrugsAdjustment"), QStringLiteral("icd10"),
                                 QStringLiteral("dbHospital.mdb"),    QStringLiteral("dbCd.mdb"),
                                 QStringLiteral("QrCodeAgent.exe"),   QStringLiteral("zxing.dll")};

class ApplicationUpdate : public ::testing::Test
{
protected:
    // The installation folder has a blank in its name, as under "Program Files"; a program "My"
    // beside it would run instead if a command line were split at that blank.
    void SetUp() override
    {
        QDir(install).mkpath(QStringLiteral("tools"));
        machine.settings.setInstallationFolder(install);
        korvane::test::writeApplication(machine.installFile(QStringLiteral("My")), QStringLiteral("decoy"));
        korvane::test::writeApplication(machine.packFile(QStringLiteral("korvane.exe")),
                                        QStringLiteral("new"));
        machine.writeFile(installed(QStringLiteral("Korvane.exe")), "old program");
    }
    void shipOptionalFiles()
    {
        for (const QString& name : kOptionalFiles)
            machine.writeFile(machine.packFile(name), name.toUtf8());
    }
    void run(const korvane::platform::Services& services)
    {
        actioner = std::make_unique<korvane::CKorvaneUpdateActioner>(services);
        actioner->action(view);
    }
    // With the machine's own processes and event loop.
    void runNatively()
    {
        korvane::platform::NativeProcesses processes;
        korvane::platform::NativeEventPump events;
        run({machine.settings, machine.files, processes, machine.clock, events, machine.dialogs,
             machine.packFolder()});
    }
    QString installed(const QString& name) const { return install + u'/' + name; }

    korvane::test::TestMachine machine;
    QString install = machine.installFile(QStringLiteral("My Korvane"));
    korvane::test::FakeView view;
    std::unique_ptr<korvane::CKorvaneUpdateActioner> actioner;
};

TEST_F(ApplicationUpdate, RefusesWhileTheApplicationRunsThenStopsItInstallsAllSevenFilesAndRestarts)
{
    shipOptionalFiles();
    QFile::remove(installed(QStringLiteral("Korvane.exe")));
    RunningProgram application(RunningProgram::Use::RunFrom, installed(QStringLiteral("Korvane.exe")));
    StartedApplication restarted(install);
    StartedApplication decoy(machine.installFolder());

    // A kill tool that cannot stop the application: told, and nothing touched.
    korvane::test::writeKillTool(install, 0);
    auto installationBefore = tree(install);
    const auto packBefore = tree(machine.packFolder());
    runNatively();
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_EQ(machine.dialogs.messages[0].title, QStringLiteral("更新失敗"));
    EXPECT_EQ(machine.dialogs.messages[0].text,
              QStringLiteral("在進行更新程式前，請關閉目前正在執行的申報軟體。"));
    installationBefore.insert(QStringLiteral("tools/KillIt.args"), "Korvane\n");
    EXPECT_EQ(tree(install), installationBefore);
    EXPECT_EQ(tree(machine.packFolder()), packBefore);
    EXPECT_EQ(view.progress, std::vector<qint16>{30});
    EXPECT_EQ(actioner->getAppName(), QString()) << "the pack stays to be run again";

    machine.dialogs.messages.clear();
    view = {};
    korvane::test::writeKillTool(install, application.processId());
    runNatively();
    EXPECT_TRUE(application.endsWithin(5000));
    EXPECT_TRUE(machine.dialogs.messages.empty());
    const auto files = tree(install);
    // One program file, the new one: "korvane.exe" replaced "Korvane.exe".
    EXPECT_FALSE(files.contains(QStringLiteral("Korvane.exe")) ||
                 files.contains(QStringLiteral("Korvane.exe.bak")));
    EXPECT_TRUE(files.value(QStringLiteral("korvane.exe")).contains("new"));
    for (const QString& name : kOptionalFiles.mid(0, 4))
        EXPECT_EQ(files.value(name), name.toUtf8());
    EXPECT_EQ(files.value(QStringLiteral("tools/dtc/QrCodeAgent.exe")), "QrCodeAgent.exe");
    EXPECT_EQ(files.value(QStringLiteral("tools/dtc/zxing.dll")), "zxing.dll");
    EXPECT_TRUE(tree(machine.packFolder()).isEmpty());
    ASSERT_TRUE(restarted.startsWithin(10000));
    EXPECT_EQ(restarted.marker(), QStringLiteral("new"));
    EXPECT_TRUE(restarted.running());
    EXPECT_FALSE(decoy.startsWithin(200)) << "a command line was split at the blank of its folder";
    EXPECT_EQ(view.progress, (std::vector<qint16>{30, 60, 100}));
    EXPECT_TRUE(view.messages.last().contains(QStringLiteral("V\t刪除本次更新暫存檔\r\n")));
    EXPECT_EQ(actioner->getAppName(), QStringLiteral("UP47120901.exe"));
}

TEST_F(ApplicationUpdate, WithoutOptionalFilesOnlyTheProgramIsInstalledAndDtcIsMadeWhereMissing)
{
    korvane::test::writeKillTool(install, 0);
    machine.clock.now = QTime(23, 59, 59);
    run(machine.services());
    EXPECT_TRUE(tree(install).value(QStringLiteral("korvane.exe")).contains("new"));
    EXPECT_EQ(tree(install).value(QStringLiteral("tools/dtc")), "/");
    // Both programs by their quoted path, and one second for the tool at any time of day.
    ASSERT_EQ(machine.processes.started.size(), 2u);
    EXPECT_EQ(machine.processes.started[0].commandLine,
              u'"' + installed(QStringLiteral("tools/KillIt.exe")) + QStringLiteral("\" Korvane"));
    EXPECT_EQ(machine.processes.started[1].commandLine,
              u'"' + installed(QStringLiteral("korvane.exe")) + u'"');
    EXPECT_EQ(machine.events.pauses, std::vector<int>{1000});

    // A dtc folder already there is used as it is.
    machine.writeFile(installed(QStringLiteral("tools/dtc/settings.ini")), "kept");
    korvane::test::writeApplication(machine.packFile(QStringLiteral("korvane.exe")), QStringLiteral("newer"));
    machine.writeFile(machine.packFile(QStringLiteral("zxing.dll")), "zxing");
    run(machine.services());
    EXPECT_EQ(tree(install).value(QStringLiteral("tools/dtc/settings.ini")), "kept");
    EXPECT_EQ(tree(install).value(QStringLiteral("tools/dtc/zxing.dll")), "zxing");
    EXPECT_TRUE(machine.dialogs.messages.empty());
}

TEST_F(ApplicationUpdate, FilesThatCannotBeInstalledStayInThePackAndAreNamedOnce)
{
    // Without a tools folder "tools\dtc" cannot be made: the QR-code files have nowhere to go.
    QDir(install + QStringLiteral("/tools")).removeRecursively();
    shipOptionalFiles();
    run(machine.services());
    EXPECT_EQ(tree(machine.packFolder()).keys(),
              (QStringList{QStringLiteral("QrCodeAgent.exe"), QStringLiteral("zxing.dll")}));
    EXPECT_EQ(tree(install).value(QStringLiteral("dbCd.mdb")), "dbCd.mdb");
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_TRUE(machine.dialogs.messages[0].text.contains(QStringLiteral("QrCodeAgent.exe")) &&
                machine.dialogs.messages[0].text.contains(QStringLiteral("zxing.dll")));
    EXPECT_EQ(actioner->getAppName(), QString());
}

// The machine's files, except that nothing but the kept program can be written onto the
// installation's executable.
class ProgramRefusingFiles : public korvane::platform::NativeFileSystem
{
public:
    void copyFile(const QString& source, const QString& target) override
    {
        if (target.endsWith(QStringLiteral("korvane.exe"), Qt::CaseInsensitive) &&
            !source.endsWith(QStringLiteral(".bak")))
            throw korvane::platform::Error(QStringLiteral("磁碟已滿：") + target);
        NativeFileSystem::copyFile(source, target);
    }
};

TEST_F(ApplicationUpdate, ANewProgramThatCannotBeInstalledLeavesTheOldOneAndTheWholePack)
{
    shipOptionalFiles();
    const auto installationBefore = tree(install);
    const auto packBefore = tree(machine.packFolder());
    ProgramRefusingFiles files;
    run(machine.services(files));
    EXPECT_EQ(tree(install), installationBefore);
    EXPECT_EQ(tree(machine.packFolder()), packBefore);
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_TRUE(machine.dialogs.messages[0].text.contains(QStringLiteral("磁碟已滿")));
    EXPECT_EQ(actioner->getAppName(), QString());
}

TEST_F(ApplicationUpdate, StopsBeforeAnythingWithoutAnInstallation)
{
    machine.settings.setInstallationFolder(QString());
    run(machine.services());
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_TRUE(machine.dialogs.messages[0].text.startsWith(QStringLiteral("找不到 Korvane 的安裝位置")));
    EXPECT_TRUE(QFile::exists(machine.packFile(QStringLiteral("korvane.exe"))));
    EXPECT_TRUE(machine.processes.started.empty());
}

} // namespace

#endif
