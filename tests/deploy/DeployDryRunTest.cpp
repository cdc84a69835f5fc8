// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The dry run of each deployment through updatlet, as IT staff try a pack before rolling it out:
// it writes nothing, stops nothing, and the run after it does to every file what it listed; it
// refuses where the run refuses, with the run's words.

#include "ClinicDatabase.h"
#include "CsvReader.h"
#include "DrugProfileData.h"
#include "KorvaneStandIns.h"
#include "RunningProgram.h"
#include "SqliteProgram.h"
#include "UpdatletInstallation.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>

#ifndef Q_OS_WIN

using namespace korvane::test;

namespace {

const QString kClosing = QStringLiteral(
    "預覽結束：沒有安裝、取代、刪除或建立任何檔案，沒有關閉或啟動任何程式，也沒有寫入更新記錄。\n");

// The entry of a tree whose name is the path's, ignoring case as the installation's names are.
QByteArray entry(const QMap<QString, QByteArray>& files, const QString& folder, const QString& path)
{
    const QString relative = QDir(folder).relativeFilePath(path);
    for (auto it = files.begin(); it != files.end(); ++it) {
        if (it.key().compare(relative, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return "(none)";
}

QString sha256(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// What the stand-ins for Korvane write, and the record of the run.
void dropTraces(QMap<QString, QByteArray>& files)
{
    for (auto it = files.begin(); it != files.end();) {
        const bool trace = it.key().startsWith(QStringLiteral("UpdateLog")) ||
                           it.key() == QStringLiteral("started") ||
                           it.key() == QStringLiteral("started.tmp") || it.key() == QStringLiteral("starts");
        it = trace ? files.erase(it) : ++it;
    }
}

TEST(DeployDryRun, EachDeploymentListsWhatItsRunThenDoesAndWritesNothing)
{
    const struct
    {
        const char* action;
        QStringList arguments;
        QStringList shipped;
        QStringList older;  // installed, other than the shipped ones; a database kept before a run
        QStringList same;   // installed as shipped
        const char* linked; // a link planted where a file goes: not written
        QString leftover;   // what a run killed while copying left beside a target
        int exitCode;
        bool korvaneRuns = false;
    } cases[] = {
        {"CKorvaneUpdateActioner",
         {},
         {"korvane.exe", "icd10", "dbHospital.mdb", "dbCd.mdb", "zxing.dll"},
         {"dbHospital.mdb", "dbHospital.mdb.bak"},
         {"dbCd.mdb"},
         "tools/dtc/zxing.dll",
         "icd10.korvane-new",
         1,
         true},
        {"ActionImpl",
         {},
         {"icd10", "dbHospital.mdb"},
         {"dbHospital.mdb"},
         {},
         nullptr,
         "dbHospital.mdb.bak.korvane-new",
         0},
        {"CDrugDeployActioner",
         {"--answer", "1"},
         {"001.exe", "002.exe", "dbDrugProfile.mdb"},
         {"tools/DrugBagPrinter.exe", "tools/dbDrugProfile.mdb"},
         {},
         nullptr,
         "tools/DrugBagPrinter.exe.korvane-new",
         0},
        // The tools folder is made; "Korvane.exe" is "korvane.exe".
        {"CExeUpdateActioner",
         {},
         {"korvane.exe", "DrugBagPrinter.exe", "dbDrugProfile.mdb"},
         {},
         {"Korvane.exe"},
         nullptr,
         "korvane.exe.korvane-new",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        UpdatletInstallation installation;
        const QString install = installation.path("Korvane");
        const QString pack = installation.path("pack");
        ClinicDatabase::create(install + "/dbKorvane.mdb");
        ship(pack, c.shipped);
        ship(install, c.older, "older ");
        // Installed as shipped, under the name the installation spells it.
        for (const QString& name : c.same)
            installation.write("Korvane/" + name,
                               c.shipped
                                   .filter(QRegularExpression('^' + QRegularExpression::escape(name) + '$',
                                                              QRegularExpression::CaseInsensitiveOption))
                                   .value(0)
                                   .toUtf8());
        installation.write("Korvane/" + c.leftover, "left by a killed run");
        if (c.linked) {
            ASSERT_TRUE(QDir(install).mkpath(QFileInfo(QString::fromLatin1(c.linked)).path()));
            ASSERT_TRUE(
                QFile::link(installation.path("elsewhere"), install + '/' + QString::fromLatin1(c.linked)));
        }
        qint64 korvane = 0;
        if (c.korvaneRuns) {
            // Korvane runs, and the kill tool ends it; the new program is a stand-in too.
            writeApplication(install + "/Korvane.exe");
            writeApplication(pack + "/korvane.exe");
            ASSERT_TRUE(QProcess::startDetached(install + "/Korvane.exe", {}, install));
            ASSERT_TRUE(applicationRunsWithin(install, 5000));
            korvane = tree(install).value("started").trimmed().toLongLong();
            writeKillTool(install, korvane);
        }
        const auto installedBefore = tree(install);
        const auto packBefore = tree(pack);
        const QString report = installation.path("preview.csv");

        const auto dry = installation.run(QStringList(c.arguments)
                                          << installation.packArguments() << "--dry-run"
                                          << "--report" << report << QString::fromLatin1(c.action));
        ASSERT_EQ(dry.exitCode, 0) << qPrintable(dry.out);
        EXPECT_TRUE(dry.out.endsWith(kClosing)) << qPrintable(dry.out);
        EXPECT_EQ(tree(install), installedBefore);
        EXPECT_EQ(tree(pack), packBefore);
        if (korvane) {
            EXPECT_EQ(::kill(pid_t(korvane), 0), 0) << "the dry run stopped Korvane";
            EXPECT_EQ(applicationStarts(install), 1);
            EXPECT_TRUE(dry.out.contains("會先以 Korvane 的關閉程式關閉 Korvane：") &&
                        dry.out.contains("更新後會啟動 Korvane：") &&
                        dry.out.contains("Korvane 目前正在執行"))
                << qPrintable(dry.out);
        }
        EXPECT_TRUE(dry.out.contains("會刪除上次中斷的更新留下的暫存檔：" + install + '/' + c.leftover))
            << qPrintable(dry.out);
        const QList<QStringList> rows = readCsv(installation.read("preview.csv"));
        ASSERT_GT(rows.size(), 1);
        EXPECT_EQ(rows[0].size(), 11);

        const auto run = installation.run(QStringList(c.arguments)
                                          << installation.packArguments() << QString::fromLatin1(c.action));
        EXPECT_EQ(run.exitCode, c.exitCode) << qPrintable(run.out);
        if (korvane) {
            EXPECT_TRUE(becomesTrueWithin(5000, [&] { return applicationStarts(install) == 2; }))
                << "not started again";
        }
        auto installedAfter = tree(install);
        const auto packAfter = tree(pack);

        // Every file as listed, and nothing else changed in the installation.
        QStringList listed{c.leftover};
        for (const QStringList& row : rows.mid(1)) {
            SCOPED_TRACE(row.join(u'|').toStdString());
            ASSERT_EQ(row.size(), 11);
            const QString& target = row[1];
            const QString& done = row[2];
            const QString& backup = row[3];
            if (done == "不安裝（刪除）") {
                EXPECT_FALSE(packAfter.contains(row[0]));
                continue;
            }
            EXPECT_EQ(row[6], sha256(packBefore.value(row[0])));
            const QByteArray old = entry(installedBefore, install, target);
            EXPECT_EQ(row[9], old == "(none)" ? QString() : sha256(old));
            const QByteArray now = entry(installedAfter, install, target);
            if (done == "新安裝" || done == "取代舊檔") {
                EXPECT_EQ(now, packBefore.value(row[0]));
                EXPECT_EQ(old == "(none)", done == "新安裝");
                EXPECT_FALSE(packAfter.contains(row[0]));
            } else {
                EXPECT_TRUE(done == "已是最新版本" ||
                            row[10].startsWith("會留在更新程式資料夾：安裝位置是捷徑（連結）或不在 Korvane "
                                               "的安裝資料夾裡，為了安全沒有寫入："));
                EXPECT_EQ(now, old) << "left alone";
                EXPECT_EQ(packAfter.contains(row[0]), done == "無法安裝");
            }
            EXPECT_EQ(!backup.isEmpty(), done == "取代舊檔" && target.endsWith(".mdb"));
            if (!backup.isEmpty()) {
                EXPECT_EQ(entry(installedAfter, install, backup), old);
            }
            listed << QDir(install).relativeFilePath(target) << QDir(install).relativeFilePath(backup);
        }
        auto before = installedBefore;
        dropTraces(before);
        dropTraces(installedAfter);
        for (const QString& name : QSet<QString>(before.keyBegin(), before.keyEnd()) +
                                       QSet<QString>(installedAfter.keyBegin(), installedAfter.keyEnd())) {
            if (std::any_of(listed.begin(), listed.end(), [&](const QString& file) {
                    return file.compare(name, Qt::CaseInsensitive) == 0;
                }))
                continue;
            // A folder the run made is told too.
            if (!before.contains(name) && installedAfter.value(name) == "/") {
                EXPECT_TRUE(dry.out.contains("會建立資料夾：" + install + '/' + name)) << qPrintable(name);
            } else {
                EXPECT_EQ(installedAfter.value(name, "(none)"), before.value(name, "(none)"))
                    << "changed, not listed: " << qPrintable(name);
            }
        }
        EXPECT_FALSE(QFile::exists(install + '/' + c.leftover));
        if (korvane)
            ::kill(pid_t(tree(install).value("started").trimmed().toLongLong()), SIGTERM);
    }
}

// Every check the run makes first refuses the dry run too, with the run's words, and neither
// changes anything; only the run is recorded.
TEST(DeployDryRun, EachCheckOfTheRunRefusesTheDryRunWithTheSameWords)
{
    enum class Setup { NoSetting, FromInstallation, KorvaneRuns, ModuleRuns, ProfileHeld };
    const struct
    {
        const char* action;
        Setup setup;
        const char* says;
    } cases[] = {
        {"CKorvaneUpdateActioner", Setup::NoSetting, "找不到 Korvane 的安裝資料夾"},
        {"CExeUpdateActioner", Setup::FromInstallation, "本更新程式是從 Korvane 的安裝資料夾裡執行的"},
        {"CKorvaneUpdateActioner", Setup::KorvaneRuns,
         "在進行更新程式前，請關閉目前正在執行的申報軟體。\n\nKorvane 仍在執行，"},
        {"CDrugDeployActioner", Setup::ModuleRuns,
         "藥袋列印模組（或它的藥袋資料）正在使用中，本次更新沒有執行"},
        {"C524011003", Setup::ProfileHeld,
         "藥袋資料沒有更新，維持原狀，沒有任何變更。原因：\n資料庫正被其他程式使用中（已鎖定）"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.action) + ' ' + std::to_string(int(c.setup)));
        UpdatletInstallation installation;
        const QString install = installation.path("Korvane");
        ClinicDatabase::create(install + "/dbKorvane.mdb");
        ClinicDatabase profile = drugProfile(install + "/tools/dbDrugProfile.mdb", {20, 10, 10});
        ship(installation.path("pack"), {"korvane.exe", "001.exe"});
        QString pack = installation.path("pack");
        if (c.setup == Setup::NoSetting)
            installation.write("config/Korvane/Korvane.ini", "[Options]\r\n");
        if (c.setup == Setup::FromInstallation) {
            pack = install;
            ship(install, {"korvane.exe"});
        }
        std::optional<RunningProgram> program;
        if (c.setup == Setup::KorvaneRuns)
            program.emplace(RunningProgram::Use::RunFrom, install + "/Korvane.exe");
        if (c.setup == Setup::ModuleRuns)
            program.emplace(RunningProgram::Use::RunFrom, install + "/tools/DrugBagPrinter.exe");
        std::optional<SqliteProgram> writer;
        if (c.setup == Setup::ProfileHeld)
            writer.emplace(profile.path(), QStringList{"BEGIN IMMEDIATE", "DELETE FROM tblDrugBag"});
        const auto before = std::pair(tree(install), tree(installation.path("pack")));
        const QStringList arguments{"--pack-folder", pack, "--answer", "1", QString::fromLatin1(c.action)};

        const auto dry = installation.run(QStringList{"--dry-run"} + arguments);
        EXPECT_EQ(dry.exitCode, 1) << qPrintable(dry.out);
        EXPECT_TRUE(dry.err.contains(QString::fromUtf8(c.says))) << qPrintable(dry.err);
        EXPECT_TRUE(dry.err.endsWith("預覽結束：實際更新時會以上方的原因拒絕執行，電腦中的檔案與資料都不會變"
                                     "更；預覽也沒有寫入任何檔案或資料。\n"))
            << qPrintable(dry.err);
        EXPECT_FALSE(dry.out.contains("[選項]")) << "asked although refused";
        EXPECT_EQ(std::pair(tree(install), tree(installation.path("pack"))), before);

        const auto run = installation.run(arguments);
        EXPECT_EQ(run.exitCode, 1) << qPrintable(run.out);
        // The same critical message: from its mark to the line that ends the run.
        const auto message = [](const QString& err) {
            return err.section(QStringLiteral("!! "), 1)
                .section(QStringLiteral("\n\n更新作業"), 0, 0)
                .section(QStringLiteral("\n\n預覽"), 0, 0);
        };
        EXPECT_EQ(message(dry.err), message(run.err));
        EXPECT_FALSE(message(run.err).isEmpty()) << qPrintable(run.err);
        EXPECT_TRUE(QFile::exists(installation.path(
            c.setup == Setup::NoSetting ? "pack/UpdateLog/updates.log" : "Korvane/UpdateLog/updates.log")));
    }
}

// The printer question is asked in the dry run as in the run; unanswered, both are cancelled.
TEST(DeployDryRun, ThePrinterQuestionUnansweredCancelsTheDryRun)
{
    UpdatletInstallation installation;
    ship(installation.path("pack"), {"001.exe", "002.exe"});
    const auto before = std::pair(tree(installation.path("Korvane")), tree(installation.path("pack")));
    const auto dry = installation.run(installation.packArguments() << "--dry-run"
                                                                   << "CDrugDeployActioner");
    EXPECT_EQ(dry.exitCode, 3);
    EXPECT_TRUE(dry.out.contains("[選項]\n請選擇您的印表機型號："));
    EXPECT_TRUE(dry.err.endsWith(
        "預覽已取消（上方的問題沒有選擇可以繼續的回答，實際更新時也會取消）；沒有寫入任何檔案或資料。\n"))
        << qPrintable(dry.err);
    EXPECT_EQ(std::pair(tree(installation.path("Korvane")), tree(installation.path("pack"))), before);
}

} // namespace

#endif
