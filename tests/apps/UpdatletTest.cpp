// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// updatlet as IT staff run it: a real process, a real installation found through the settings
// store, a real pack folder.

#include "ClinicDatabase.h"
#include "PriceListText.h"
#include "UpdatletInstallation.h"
#include "catalogue/ActionCatalogue.h"
#include "platform/AnsiText.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using korvane::test::ClinicDatabase;
using korvane::test::UpdatletInstallation;
using korvane::test::UpdatletResult;

namespace {

const QString kHeader = korvane::test::priceListHeader();
const QString kDatabase = QStringLiteral("Korvane/dbKorvane.mdb");
const QString kPriceList = QStringLiteral("pack/all.puf");
const QString kLog = QStringLiteral("Korvane/UpdateLog/updates.log");

class Updatlet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = std::make_unique<ClinicDatabase>(ClinicDatabase::create(installation.path(kDatabase)));
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES ('OLD')"));
    }

    void writePriceList(const QStringList& lines)
    {
        installation.write(QStringLiteral("pack/all.puf"), korvane::platform::ansiTextWithCrLf(lines));
    }

    UpdatletInstallation installation;
    std::unique_ptr<ClinicDatabase> db;
};

TEST_F(Updatlet, RunsTheDrugPriceUpdateAndShowsItsSteps)
{
    writePriceList({kHeader, QStringLiteral("1\t\t單方\tAC12345100\t12.5\t1130401\t9991231\tX\t1\tMG\t功\t1\tMG\t錠劑\t許")});
    const UpdatletResult result = installation.run(installation.packArguments() << QStringLiteral("C52407301"));
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.out);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT group_concat(代碼) FROM tblDrugs")).toString(), QStringLiteral("AC12345100"));
    EXPECT_TRUE(result.out.contains(QStringLiteral(" 藥價更新程式序號 v1.0.0.6"))) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(QStringLiteral("V\t新增藥品資料到資料庫中"))) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(QStringLiteral("開始時間："))) << qPrintable(result.out);
    EXPECT_FALSE(QFile::exists(installation.pricePath()));
    EXPECT_TRUE(result.out.endsWith(QStringLiteral("藥價更新完成：藥品資料（tblDrugs）現有 1 筆。\n")))
        << qPrintable(result.out);
    EXPECT_EQ(result.err, QString());
    // It never writes a self-removal script.
    EXPECT_FALSE(QFile::exists(installation.path(QStringLiteral("pack/destroy.bat"))));
}

// Refused, not failed: the message says which, as the record does.
TEST_F(Updatlet, ARefusalShowsTheCriticalMessageAndExitsWithOne)
{
    writePriceList({kHeader});
    const UpdatletResult result = installation.run();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(QStringLiteral("!! [無法更新藥價]\n藥價更新沒有執行，原因如下：\n資料檔中沒有任何可以匯入的藥品資料")))
        << qPrintable(result.err);
    EXPECT_FALSE(result.err.contains(QStringLiteral("更新藥價作業失敗"))) << qPrintable(result.err);
    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 1);
    EXPECT_TRUE(QFile::exists(installation.pricePath()));

    // The record keeps what the screen showed; no change file for a run that changed nothing.
    const QString log = QString::fromUtf8(installation.read(kLog));
    EXPECT_TRUE(log.contains(QStringLiteral("\r\n結果：未執行（拒絕）（結束代碼 1）\r\n"))) << qPrintable(log);
    EXPECT_TRUE(log.contains(QStringLiteral("訊息：「無法更新藥價」藥價更新沒有執行，原因如下：\r\n    "))) << qPrintable(log);
    EXPECT_FALSE(log.contains(QStringLiteral("Pk@"))) << "no password is written";
    EXPECT_EQ(QDir(installation.path(QStringLiteral("Korvane/UpdateLog"))).entryList(QDir::Files),
              QStringList{QStringLiteral("updates.log")});
}

// The table as it was must be kept before the update commits: where it cannot be, nothing is
// updated, and both the cause and the record's own trouble are said.
TEST_F(Updatlet, WithoutAPlaceToKeepTheOldDrugsNothingIsUpdated)
{
    installation.write(QStringLiteral("Korvane/UpdateLog"), "a file where the log folder goes");
    writePriceList({kHeader, QStringLiteral("1\t\t單方\tAC12345100\t12.5\t1130401\t9991231\tX\t1\tMG\t功\t1\tMG\t錠劑\t許")});
    const UpdatletResult result = installation.run();
    EXPECT_EQ(result.exitCode, 1) << qPrintable(result.err);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT group_concat(代碼) FROM tblDrugs")).toString(), QStringLiteral("OLD"));
    EXPECT_TRUE(QFile::exists(installation.pricePath()));
    EXPECT_TRUE(result.err.contains(QStringLiteral("更新藥價作業失敗，可能的原因為：\n更新前的藥品資料無法保留下來（供日後還原），"
                                                   "因此沒有更新：藥品資料維持原狀")) &&
                result.err.contains(QStringLiteral("UpdateLog 是捷徑（連結）或不是資料夾")))
        << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains(QStringLiteral("警告：更新記錄沒有寫入 "))) << qPrintable(result.err);
}

TEST_F(Updatlet, UsageErrorsExitWithTwo)
{
    for (const QStringList& arguments : {QStringList{QStringLiteral("CNoSuchAction")},
                                         QStringList{QStringLiteral("C52407301"), QStringLiteral("extra")},
                                         QStringList{QStringLiteral("--no-such-option")},
                                         QStringList{QStringLiteral("--pack-folder"), installation.path(QStringLiteral("missing"))}}) {
        const UpdatletResult result = installation.run(arguments);
        EXPECT_EQ(result.exitCode, 2) << qPrintable(arguments.join(u' '));
        EXPECT_TRUE(result.out.contains(QStringLiteral("用法：updatlet"))) << qPrintable(result.out);
    }
    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 1);
}

TEST_F(Updatlet, HelpListsTheCatalogueTheDefaultAndTheExitStatuses)
{
    const UpdatletResult result = installation.run({QStringLiteral("--help")});
    EXPECT_EQ(result.exitCode, 0);
    for (const korvane::ActionEntry& entry : korvane::ActionCatalogue::entries()) {
        QString row = entry.name + QStringLiteral("  [") + entry.packExecutable + u']';
        if (entry.name == korvane::ActionCatalogue::DefaultAction)
            row += QStringLiteral("  （預設）");
        EXPECT_TRUE(result.out.contains(row + u'\n')) << qPrintable(result.out);
        EXPECT_TRUE(result.out.contains(entry.summary)) << qPrintable(entry.summary);
    }
    for (const QString& shown : {QStringLiteral("結束代碼：\n  0  更新完成"), QStringLiteral("\n  1  更新沒有完成"),
                                 QStringLiteral("\n  2  命令列用法錯誤\n"), QStringLiteral("\n  3  已取消"),
                                 QStringLiteral("--allow-shrink"), QStringLiteral("--dry-run"), QStringLiteral("--report 檔案")})
        EXPECT_TRUE(result.out.contains(shown)) << qPrintable(shown) << '\n' << qPrintable(result.out);
    // No English sentence is left, in the actions' summaries either.
    static const QRegularExpression english(QStringLiteral("\\b(the|and|from|of|into|beside|with|update)\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    EXPECT_FALSE(english.match(result.out).hasMatch()) << qPrintable(result.out);
}

TEST_F(Updatlet, AListWithFewerThanHalfTheDrugsIsRefusedUnlessAllowed)
{
    for (int i = 0; i < 4; ++i)
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES (?)"), {korvane::test::drugCode(100 + i)});
    const QByteArray list = korvane::test::priceListFile(2);
    installation.write(QStringLiteral("pack/all.puf"), list);
    const QByteArray before = installation.read(kDatabase);

    // The question, unanswered where nobody watches, is a cancelled run.
    const UpdatletResult refused = installation.run();
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_TRUE(refused.out.contains(QStringLiteral("只有 2 筆藥品資料，不到目前藥品資料 5 筆的一半，"
                                                    "未經確認不進行更新。藥品資料與藥價資料檔維持原狀")) &&
                refused.err.contains(QStringLiteral("--allow-shrink")))
        << qPrintable(refused.out);
    EXPECT_EQ(installation.read(kDatabase), before);
    EXPECT_EQ(installation.read(kPriceList), list);

    const UpdatletResult allowed = installation.run(installation.packArguments() << QStringLiteral("--allow-shrink"));
    EXPECT_EQ(allowed.exitCode, 0) << qPrintable(allowed.out);
    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 2);
}

// One drug added, one removed, one repriced, one as it was: shown and written as a report, and
// nothing else touched.
TEST_F(Updatlet, DryRunShowsWhatWouldChangeAndWritesNothing)
{
    using korvane::test::drugCode;
    using korvane::test::drugLine;
    db->exec(QStringLiteral("DELETE FROM tblDrugs"));
    for (const auto& [code, price] : {std::pair{drugCode(1), 12.5}, std::pair{drugCode(2), 10.0}, std::pair{drugCode(3), 5.0}})
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 藥價參考金額, 藥品英文名稱) VALUES (?, ?, 'OLD NAME')"),
                 {code, price});
    // The last code is longer than its column: the update would not add that drug, and says so.
    writePriceList({kHeader, drugLine(1, drugCode(1), QStringLiteral("12.50")), drugLine(2, drugCode(2), QStringLiteral("11")),
                    drugLine(3, drugCode(4), QStringLiteral("3.25")), drugLine(4, QStringLiteral("AC00005100999"))});
    const QByteArray list = installation.read(kPriceList);
    const QByteArray database = installation.read(kDatabase);

    const UpdatletResult shown = installation.run(installation.packArguments() << QStringLiteral("--dry-run"));
    EXPECT_EQ(shown.exitCode, 0) << qPrintable(shown.out);
    EXPECT_TRUE(shown.out.contains(QStringLiteral("\n刪除 AC00003100 OLD NAME 5.00\n"
                                                  "變價 AC00002100 PANADOL TABLETS 500MG 10.00 → 11.00\n"
                                                  "將被拒絕 第 5 行（代碼 AC00005100999）欄位「代碼」：資料太長：欄位「代碼」最多只能存放 12 個字元。\n\n"
                                                  "合計：新增 1 項藥品，刪除 1 項，價格變動 1 項，價格不變 1 項。\n")))
        << qPrintable(shown.out);

    const QString report = installation.path(QStringLiteral("changes.csv"));
    const UpdatletResult reported = installation.run(installation.packArguments()
                                                     << QStringLiteral("--dry-run") << QStringLiteral("--report") << report);
    EXPECT_EQ(reported.exitCode, 0) << qPrintable(reported.out);
    EXPECT_FALSE(reported.out.contains(QStringLiteral("AC00004100"))) << "the changes go to the report";
    EXPECT_EQ(installation.read(QStringLiteral("changes.csv")),
              "\xEF\xBB\xBF" + QStringLiteral("異動,代碼,藥品英文名稱,原藥價,新藥價,行號,欄位,原因\r\n"
                                             "新增,AC00004100,PANADOL TABLETS 500MG,,3.25,,,\r\n"
                                             "刪除,AC00003100,OLD NAME,5.00,,,,\r\n"
                                             "變價,AC00002100,PANADOL TABLETS 500MG,10.00,11.00,,,\r\n"
                                             "將被拒絕,AC00005100999,,,,5,代碼,資料太長：欄位「代碼」最多只能存放 12 個字元。\r\n")
                                  .toUtf8());
    // The totals stay on the screen.
    EXPECT_TRUE(reported.out.contains(QStringLiteral("合計：新增 1 項藥品，刪除 1 項，價格變動 1 項，價格不變 1 項。")))
        << qPrintable(reported.out);

    EXPECT_EQ(installation.read(kDatabase), database);
    EXPECT_EQ(installation.read(kPriceList), list);
    EXPECT_FALSE(QFile::exists(db->path() + QStringLiteral("-journal")));

    // A report is never written over what the update reads, however the path is written.
    for (const QString& target : {db->path(), installation.pricePath(),
                                  installation.path(QStringLiteral("pack/../pack/./all.puf"))}) {
        const UpdatletResult refused = installation.run(installation.packArguments() << QStringLiteral("--dry-run")
                                                                                     << QStringLiteral("--report") << target);
        EXPECT_EQ(refused.exitCode, 1) << qPrintable(target);
        EXPECT_TRUE(refused.err.contains(QStringLiteral("報表檔不能寫在這個位置"))) << qPrintable(refused.err);
    }
    EXPECT_EQ(installation.read(kDatabase), database);
    EXPECT_EQ(installation.read(kPriceList), list);

    // The run itself keeps what it did in the same columns, and says what was refused.
    const UpdatletResult run = installation.run();
    EXPECT_EQ(run.exitCode, 1) << qPrintable(run.err);
    const QStringList changes =
        QDir(installation.path(QStringLiteral("Korvane/UpdateLog"))).entryList({QStringLiteral("* C52407301.csv")});
    ASSERT_EQ(changes.size(), 1);
    const QString done = QString::fromUtf8(installation.read(QStringLiteral("Korvane/UpdateLog/") + changes.first()));
    const QString previewed = QString::fromUtf8(installation.read(QStringLiteral("changes.csv")));
    QString expected = previewed;
    expected.replace(QStringLiteral("將被拒絕"), QStringLiteral("被拒絕"));
    EXPECT_EQ(done, expected);
    // The record keeps the totals the file no longer carries.
    EXPECT_TRUE(QString::fromUtf8(installation.read(kLog))
                    .contains(QStringLiteral("\r\n藥品：更新前 3 筆，更新後 3 筆；新增 1、刪除 1、變價 1、不變 1")));
    const QStringList history = installation.run(installation.packArguments() << QStringLiteral("--history")).out.split(u'\n');
    ASSERT_GE(history.size(), 2);
    EXPECT_TRUE(history[1].endsWith(QStringLiteral("  C52407301  完成，但有項目未完成（結束代碼 1）  新增 1、刪除 1、變價 1、不變 1；tblDrugs 3 → 3 筆  〔可還原〕")))
        << qPrintable(history.join(u'\n'));
}

// Lines that look like drug lines but are none, and a date that is none: the run ends as it
// always has, but nothing of it is a surprise. Each is named on the terminal, in the record and
// in the change file, and a drug that goes because its line was skipped says so; the dry run
// says the same beforehand.
TEST_F(Updatlet, LinesThatAreNoDrugRecordsAreNamedAndTheirDrugsSeenGoing)
{
    using korvane::test::drugCode;
    using korvane::test::drugLine;
    db->exec(QStringLiteral("DELETE FROM tblDrugs"));
    for (int n = 1; n <= 6; ++n)
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 藥價參考金額) VALUES (?, 5)"), {drugCode(n)});
    QString lostTab = drugLine(4, drugCode(4));
    lostTab.replace(QStringLiteral("\tMG\t錠劑"), QStringLiteral("MG\t錠劑"));
    QString bareCr = drugLine(5, drugCode(5));
    bareCr.replace(QStringLiteral("PANADOL TABLETS"), QStringLiteral("PANADOL\rTABLETS"));
    QStringList lines{kHeader, drugLine(1, drugCode(1)), drugLine(2, drugCode(2), QStringLiteral("1O.5")),
                      drugLine(3, drugCode(3), QStringLiteral("12,3a")), lostTab, bareCr,
                      drugLine(6, drugCode(6), QStringLiteral("7"), QStringLiteral("1139999"))};
    // Drugs new to the table, so that the list is not short of half of it.
    for (int n = 7; n <= 9; ++n)
        lines << drugLine(n, drugCode(n));
    writePriceList(lines);
    const QStringList named{QStringLiteral("略過第 3 行（代碼 AC00002100）：藥價「1O.5」不是數字"),
                            QStringLiteral("略過第 4 行（代碼 AC00003100）：藥價「12,3a」不是數字"),
                            QStringLiteral("略過第 5 行（代碼 AC00004100）：只有 14 個欄位（藥品資料有 15 個）"),
                            QStringLiteral("略過第 6 行（代碼 AC00005100）：只有 8 個欄位（藥品資料有 15 個）"),
                            QStringLiteral("第 8 行（代碼 AC00006100）欄位「藥價參考日期」：「1139999」不是日期，該欄留白")};

    const UpdatletResult preview = installation.run(installation.packArguments() << QStringLiteral("--dry-run"));
    EXPECT_EQ(preview.exitCode, 0) << qPrintable(preview.out);
    for (const QString& text : named)
        EXPECT_TRUE(preview.out.contains(text)) << qPrintable(text) << '\n' << qPrintable(preview.out);
    EXPECT_TRUE(preview.out.contains(QStringLiteral("刪除 AC00002100  5.00（它的那一行被略過，見下方）"))) << qPrintable(preview.out);

    const UpdatletResult run = installation.run();
    // The outcome is what it always was: the drugs of the good lines are in, the list is gone.
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.out);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT group_concat(代碼) FROM tblDrugs")).toString(),
              QStringList({drugCode(1), drugCode(6), drugCode(7), drugCode(8), drugCode(9)}).join(u','));
    EXPECT_FALSE(QFile::exists(installation.pricePath()));
    for (const QString& text : named)
        EXPECT_TRUE(run.out.contains(text)) << qPrintable(text) << '\n' << qPrintable(run.out);
    EXPECT_TRUE(run.out.contains(QStringLiteral("藥價資料檔中有 6 項資料略過或留白"))) << qPrintable(run.out);

    const QString log = QString::fromUtf8(installation.read(kLog));
    EXPECT_TRUE(log.contains(QStringLiteral("\r\n略過的資料：6 項\r\n    略過第 3 行"))) << qPrintable(log);
    const QStringList changes =
        QDir(installation.path(QStringLiteral("Korvane/UpdateLog"))).entryList({QStringLiteral("* C52407301.csv")});
    ASSERT_EQ(changes.size(), 1);
    const QString csv = QString::fromUtf8(installation.read(QStringLiteral("Korvane/UpdateLog/") + changes.first()));
    EXPECT_TRUE(csv.contains(QStringLiteral("\r\n刪除,AC00002100,,5.00,,3,,該行被略過：藥價「1O.5」不是數字\r\n"))) << qPrintable(csv);
    EXPECT_TRUE(csv.contains(QStringLiteral("\r\n略過,AC00006100,,,,8,藥價參考日期,「1139999」不是日期，該欄留白\r\n"))) << qPrintable(csv);
}

// A table that refuses most rows (a required column the list leaves empty, a unique index the
// list repeats) would be committed as a table of a few drugs: the run fails instead, commits
// nothing, keeps the list, and names the first refused values with the database's reason.
TEST_F(Updatlet, ATableThatRefusesMostRowsCommitsNothingAndSaysWhy)
{
    using korvane::test::drugCode;
    using korvane::test::drugLine;
    const struct
    {
        const char* what;
        const char* schema;
        const char* reason;
    } cases[] = {
        {"a required end date", "DROP TABLE tblDrugs; CREATE TABLE tblDrugs (id INTEGER PRIMARY KEY AUTOINCREMENT, 新 VARCHAR(2), "
                                "單複方註記 VARCHAR(10), 代碼 VARCHAR(12), 藥價參考金額 DOUBLE, 藥價參考日期 DATETIME, "
                                "藥價參考截止日期 DATETIME NOT NULL, 藥品英文名稱 VARCHAR(255), 藥品規格量 DOUBLE, "
                                "藥品規格單位 VARCHAR(50), 成份 TEXT, 成份含量 DOUBLE, 含量單位 VARCHAR(50), "
                                "藥品劑型 VARCHAR(50), 製造廠名稱 VARCHAR(100));",
         "NOT NULL constraint failed: tblDrugs.藥價參考截止日期"},
        {"a unique ingredient", "CREATE UNIQUE INDEX korvane_test_unique ON tblDrugs (成份);",
         "UNIQUE constraint failed: tblDrugs.成份"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        db = std::make_unique<ClinicDatabase>(ClinicDatabase::create(installation.path(kDatabase) + QString::fromLatin1(c.what)));
        QFile::remove(installation.path(kDatabase));
        ASSERT_TRUE(QFile::rename(db->path(), installation.path(kDatabase)));
        db = std::make_unique<ClinicDatabase>(installation.path(kDatabase));
        for (const QString& statement : QString::fromUtf8(c.schema).split(u';', Qt::SkipEmptyParts))
            db->exec(statement);
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 藥價參考截止日期) VALUES ('OLD', '2025-01-01 00:00:00')"));
        QStringList lines{kHeader};
        for (int n = 1; n <= 30; ++n) {
            QString line = drugLine(n, drugCode(n));
            if (n > 5)
                line.replace(QStringLiteral("\t9991231\t"), QStringLiteral("\t\t"));
            lines << line;
        }
        writePriceList(lines);
        const QByteArray list = installation.read(kPriceList);
        const QByteArray before = installation.read(kDatabase);

        const UpdatletResult result = installation.run();
        EXPECT_EQ(result.exitCode, 1) << qPrintable(result.out);
        EXPECT_TRUE(result.err.contains(QStringLiteral("更新藥價作業失敗，可能的原因為："))) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains(QStringLiteral("資料庫拒絕了本次藥價資料檔 30 筆藥品資料中的 2"))) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(c.reason))) << qPrintable(result.err);
        EXPECT_EQ(installation.read(kDatabase), before);
        EXPECT_EQ(installation.read(kPriceList), list);
        EXPECT_TRUE(QString::fromUtf8(installation.read(kLog)).contains(QStringLiteral("結果：失敗（結束代碼 1）")));
    }
}

// Few enough refusals to keep, but the rows the table took are fewer than half of today's: that
// is asked, as a short list is, and unanswered nothing is committed.
TEST_F(Updatlet, ATableOfFewerThanHalfTheDrugsAfterRefusalsIsAskedAbout)
{
    using korvane::test::drugCode;
    using korvane::test::drugLine;
    db->exec(QStringLiteral("CREATE UNIQUE INDEX korvane_test_unique ON tblDrugs (成份)"));
    for (int n = 1; n < 30; ++n)
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 成份) VALUES (?, ?)"), {drugCode(100 + n), QString::number(n)});
    QStringList lines{kHeader};
    for (int n = 1; n <= 20; ++n)
        lines << drugLine(n, drugCode(n)).replace(QStringLiteral("ACETAMINOPHEN（功許）"),
                                                  n <= 5 ? QStringLiteral("成份%1").arg(n) : QStringLiteral("相同"));
    writePriceList(lines);
    const QByteArray before = installation.read(kDatabase);

    const UpdatletResult result = installation.run();
    EXPECT_EQ(result.exitCode, 3) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(QStringLiteral("資料庫只接受了本次藥價資料檔中的 6 筆藥品資料，不到目前藥品資料 30 筆的一半")))
        << qPrintable(result.out);
    EXPECT_EQ(installation.read(kDatabase), before);
    EXPECT_TRUE(QFile::exists(installation.pricePath()));
}

// What a spreadsheet would run stays text in the report and the change file, and what the list
// holds that a terminal would act on is shown, never sent: on the terminal, in the record.
TEST_F(Updatlet, ReportsHoldNoFormulaAndTerminalsAndLogsNoControlCharacter)
{
    using korvane::test::drugCode;
    using korvane::test::drugLine;
    db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 藥品英文名稱) VALUES ('@SUM(A1)', '\t=1+1')"));
    // Longer than its column, so that the code is named as refused.
    const QString escape = QStringLiteral("AC\x1b[2J\x1b]0;x\x07") + QStringLiteral("100");
    writePriceList({kHeader, drugLine(1, QStringLiteral("-2+3")).replace(QStringLiteral("PANADOL TABLETS 500MG"), QStringLiteral("=HYPERLINK(\"http://x\")")),
                    drugLine(2, QStringLiteral("+AC1")), drugLine(3, escape),
                    drugLine(4, drugCode(4)).replace(QStringLiteral("PANADOL"), QStringLiteral("\x1b[31mRED"))});
    const QString report = installation.path(QStringLiteral("changes.csv"));
    const UpdatletResult reported = installation.run(installation.packArguments() << QStringLiteral("--dry-run")
                                                                                  << QStringLiteral("--report") << report);
    ASSERT_EQ(reported.exitCode, 0) << qPrintable(reported.out);
    const QString csv = QString::fromUtf8(installation.read(QStringLiteral("changes.csv")));
    for (const QString& cell : {QStringLiteral("\n新增,'-2+3,\"'=HYPERLINK(\"\"http://x\"\")\","), QStringLiteral("\n新增,'+AC1,"),
                                QStringLiteral("\n刪除,'@SUM(A1),'\t=1+1,"), QStringLiteral("\\x1B[31mRED TABLETS 500MG")})
        EXPECT_TRUE(csv.contains(cell)) << qPrintable(cell) << '\n' << qPrintable(csv);

    const UpdatletResult shown = installation.run(installation.packArguments() << QStringLiteral("--dry-run"));
    const UpdatletResult run = installation.run();
    EXPECT_EQ(run.exitCode, 1) << qPrintable(run.out);
    const QString log = QString::fromUtf8(installation.read(kLog));
    for (const QString& text : {shown.out, run.out, log}) {
        EXPECT_FALSE(text.contains(QChar(0x1b)) || text.contains(QChar(0x07))) << qPrintable(text);
        EXPECT_TRUE(text.contains(QStringLiteral("代碼 AC\\x1B[2J\\x1B]0;x\\x07100）欄位「代碼」：資料太長"))) << qPrintable(text);
    }
    EXPECT_TRUE(shown.out.contains(QStringLiteral("新增 AC00004100 \\x1B[31mRED TABLETS 500MG 12.50"))) << qPrintable(shown.out);
}

} // namespace
