// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// Deployment rolled out with updatlet, as a clinic's IT staff do: each action end to end, and its
// exit status.

#include "ClinicDatabase.h"
#include "KorvaneStandIns.h"
#include "RunningProgram.h"
#include "SmallDisk.h"
#include "UpdatletInstallation.h"
#include "platform/FileSystem.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <csignal>
#include <optional>

#ifndef Q_OS_WIN

using namespace korvane::test;

namespace {

TEST(DeployWithUpdatlet, EachActionInstallsItsFilesOrEndsWithItsStatus)
{
    const struct
    {
        const char* action;
        QStringList arguments;
        QStringList shipped;
        int exitCode;                      // not 0: nothing leaves the pack
        const char* installedAs = nullptr; // where the first shipped file goes
        bool moduleRuns = false;           // the installed tools/DrugBagPrinter.exe
        const char* recorded = "";         // in the run's record
    } cases[] = {
        {"CKorvaneUpdateActioner", {}, {"korvane.exe", "icd10"}, 0, "korvane.exe", false,
         "/korvane.exe：11 位元組，SHA-256 563b7f77975a44e7bb90c9cbca61256d32df015118cf4e15d201750460573821；"},
        {"ActionImpl", {}, {"icd10"}, 0, "icd10", false, "資料庫連線：Provider=Microsoft.Jet.OleDb.4.0;data source="},
        {"CDrugDeployActioner", {"--answer", "2"}, {"002.exe", "001.exe"}, 0, "tools/DrugBagPrinter.exe", false,
         "\r\n    → 輸入「2」\r\n"},
        // No answer and no terminal to ask: cancelled.
        {"CDrugDeployActioner", {}, {"002.exe", "001.exe"}, 3, nullptr, false,
         "3.取消更新作業\r\n    → 取消\r\n"},
        // A running module is told before the question, which would cancel.
        {"CDrugDeployActioner", {}, {"002.exe", "001.exe"}, 1, nullptr, true},
        // A file that could not be installed fails the run, and stays.
        {"CExeUpdateActioner", {}, {"DrugBagPrinter.exe"}, 1, nullptr, true,
         "DrugBagPrinter.exe：沒有安裝，留在更新程式資料夾："}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        UpdatletInstallation installation;
        ClinicDatabase::create(installation.path("Korvane/dbKorvane.mdb"));
        ship(installation.path("pack"), c.shipped);
        std::optional<RunningProgram> module;
        if (c.moduleRuns && QDir(installation.path("Korvane")).mkpath("tools"))
            module.emplace(RunningProgram::Use::RunFrom,
                           installation.path("Korvane/tools/DrugBagPrinter.exe"));
        const auto packBefore = tree(installation.path("pack"));

        const auto result = installation.run(QStringList(c.arguments) << installation.packArguments()
                                                                      << QString::fromLatin1(c.action));
        EXPECT_EQ(result.exitCode, c.exitCode) << qPrintable(result.out);
        EXPECT_EQ(tree(installation.path("pack")), c.exitCode ? packBefore : decltype(packBefore){});
        if (c.installedAs) {
            EXPECT_EQ(installation.read("Korvane/" + QString(c.installedAs)), c.shipped[0].toUtf8());
        }
        const QString log = QString::fromUtf8(installation.read("Korvane/UpdateLog/updates.log"));
        EXPECT_TRUE(log.contains(QStringLiteral("（結束代碼 %1）\r\n").arg(c.exitCode))) << qPrintable(log);
        EXPECT_TRUE(log.contains(QString::fromUtf8(c.recorded))) << qPrintable(log);
    }
}

// A full disk under the installation: the installed program stays byte for byte, nothing is left
// beside it, and the new one stays in the pack, named.
TEST(DeployWithUpdatlet, AFullDiskLeavesTheInstalledProgramAsItWas)
{
    UpdatletInstallation installation;
    SmallDisk disk(installation.path("Korvane"), 8 << 20);
    KORVANE_REQUIRE_SMALL_DISK(disk);
    const QByteArray installed(2 << 20, 'o');
    installation.write("Korvane/Korvane.exe", installed);
    installation.write("pack/korvane.exe", QByteArray(12 << 20, 'n'));

    const auto result = installation.run(installation.packArguments() << "CExeUpdateActioner");

    EXPECT_EQ(result.exitCode, 1) << qPrintable(result.out);
    EXPECT_TRUE(result.err.contains(QStringLiteral("更新未完成")) && result.err.contains(QStringLiteral("磁碟空間不足")))
        << qPrintable(result.err);
    EXPECT_TRUE(installation.read("Korvane/Korvane.exe") == installed);
    EXPECT_EQ(QDir(installation.path("Korvane")).entryList(QDir::Files | QDir::Hidden), QStringList{"Korvane.exe"});
    EXPECT_TRUE(QFile::exists(installation.path("pack/korvane.exe")));
}

// Killed while it copies a large database: the installed one is the old or the new, never a
// fragment, and the next run tidies up and installs it.
TEST(DeployWithUpdatlet, AKilledApplicationUpdateLeavesTheDatabaseOldOrNew)
{
    UpdatletInstallation installation;
    const QByteArray old(1 << 20, 'o');
    const QByteArray shipped(96 << 20, 'n');
    const QString target = installation.path("Korvane/dbHospital.mdb");
    const QString temporary = korvane::platform::replacementTemporary(target);
    installation.write("Korvane/dbHospital.mdb", old);
    installation.write("pack/dbHospital.mdb", shipped);

    QProcess process;
    installation.start(process, installation.packArguments() << "CKorvaneUpdateActioner");
    // Killed once the copy has begun and before it is in place.
    qint64 seen = -1;
    QElapsedTimer waited;
    waited.start();
    while (seen <= 0 && waited.elapsed() < 30000 && !process.waitForFinished(0)) {
        seen = QFileInfo(temporary).size();
        QThread::usleep(200);
    }
    ::kill(pid_t(process.processId()), SIGKILL);
    process.waitForFinished(10000);
    ASSERT_GT(seen, 0) << "the copy was not seen under way";
    const QByteArray now = installation.read("Korvane/dbHospital.mdb");
    EXPECT_TRUE(now == old || now == shipped) << now.size() << " bytes";
    EXPECT_TRUE(QFile::exists(installation.path("pack/dbHospital.mdb")));

    const auto again = installation.run(installation.packArguments() << "CKorvaneUpdateActioner");
    EXPECT_EQ(again.exitCode, 0) << qPrintable(again.out);
    EXPECT_TRUE(installation.read("Korvane/dbHospital.mdb") == shipped);
    EXPECT_FALSE(QFile::exists(temporary));
    EXPECT_FALSE(QFile::exists(installation.path("pack/dbHospital.mdb")));
}

// A pack run from the installation's own Tools or tools\\dtc folder (or from a link to it) ships
// files that are their own targets: copied onto themselves and then removed as "the shipped
// copy", they would be gone. Refused before anything is copied, whatever else it ships.
TEST(DeployWithUpdatlet, APackWhoseFilesAreTheirOwnTargetsIsRefused)
{
    const struct
    {
        const char* action;
        const char* packFolder; // in the installation, or through the link "pack"
        QStringList installed;  // in the installation, the pack's own files among them
        bool linked = false;
    } cases[] = {{"CExeUpdateActioner", "Tools", {"Tools/DrugBagPrinter.exe", "Tools/dbDrugProfile.mdb", "Tools/korvane.exe"}},
                 {"CExeUpdateActioner", "Tools", {"Tools/DrugBagPrinter.exe", "Tools/dbDrugProfile.mdb"}, true},
                 {"CKorvaneUpdateActioner", "tools/dtc", {"tools/dtc/QrCodeAgent.exe", "tools/dtc/zxing.dll", "tools/dtc/korvane.exe"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.action) + (c.linked ? " through a link" : ""));
        UpdatletInstallation installation;
        ClinicDatabase::create(installation.path("Korvane/dbKorvane.mdb"));
        ship(installation.path("Korvane"), c.installed, "installed ");
        QString pack = installation.path("Korvane/" + QString::fromLatin1(c.packFolder));
        if (c.linked) {
            QDir(installation.path("pack")).removeRecursively();
            ASSERT_TRUE(QFile::link(pack, installation.path("pack")));
            pack = installation.path("pack");
        }
        const auto before = tree(installation.path("Korvane"));

        const auto result = installation.run({"--pack-folder", pack, QString::fromLatin1(c.action)});
        EXPECT_EQ(result.exitCode, 1) << qPrintable(result.out);
        EXPECT_TRUE(result.err.contains(QStringLiteral("（同一個檔案）"))) << qPrintable(result.err);
        auto after = tree(installation.path("Korvane"));
        for (const QString& record : after.keys()) {
            if (record.startsWith(QStringLiteral("UpdateLog")))
                after.remove(record);
        }
        EXPECT_TRUE(after == before) << qPrintable(QStringList(after.keys()).join(u' '));
    }
}

// A second run from media that kept the shipped files (a CD, a write-protected stick) finds them
// installed already: nothing is copied or backed up again, so the backup stays the clinic's own
// database, and the temporary a run killed while backing up left is removed.
TEST(DeployWithUpdatlet, ASecondRunFromReadOnlyMediaKeepsTheClinicsBackup)
{
    UpdatletInstallation installation;
    SmallDisk media(installation.path("pack"), 4 << 20);
    KORVANE_REQUIRE_SMALL_DISK(media);
    installation.write("Korvane/dbHospital.mdb", "the clinic's own hospital data");
    installation.write("pack/dbHospital.mdb", "the new hospital data");
    KORVANE_REQUIRE_ABILITY("read-only media", media.makeReadOnly() ? QString() : QStringLiteral("cannot remount read-only"));

    const auto first = installation.run(installation.packArguments() << "CKorvaneUpdateActioner");
    EXPECT_EQ(first.exitCode, 0) << qPrintable(first.out);
    EXPECT_EQ(installation.read("Korvane/dbHospital.mdb"), QByteArray("the new hospital data"));
    EXPECT_EQ(installation.read("Korvane/dbHospital.mdb.bak"), QByteArray("the clinic's own hospital data"));
    EXPECT_TRUE(QFile::exists(installation.path("pack/dbHospital.mdb")));

    const QString leftover = korvane::platform::replacementTemporary(installation.path("Korvane/dbHospital.mdb.bak"));
    installation.write("Korvane/dbHospital.mdb.bak.korvane-new", "a backup cut short");
    const auto second = installation.run(installation.packArguments() << "CKorvaneUpdateActioner");
    EXPECT_EQ(second.exitCode, 0) << qPrintable(second.out);
    EXPECT_EQ(installation.read("Korvane/dbHospital.mdb"), QByteArray("the new hospital data"));
    EXPECT_EQ(installation.read("Korvane/dbHospital.mdb.bak"), QByteArray("the clinic's own hospital data"));
    EXPECT_FALSE(QFile::exists(leftover));
    EXPECT_TRUE(QString::fromUtf8(installation.read("Korvane/UpdateLog/updates.log")).contains(QStringLiteral("已是最新版本")));
}

} // namespace

#endif
