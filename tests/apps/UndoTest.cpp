// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// A price update taken back with updatlet, as IT staff would days later: real processes, a real
// installation and its record, the embedded database; a disk that fills, a process killed.

#include "ClinicDatabase.h"
#include "PriceListText.h"
#include "SmallDisk.h"
#include "UpdatletInstallation.h"
#include "platform/AnsiText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using korvane::test::ClinicDatabase;
using korvane::test::drugLine;
using korvane::test::SmallDisk;
using korvane::test::UpdatletInstallation;
using korvane::test::UpdatletResult;

namespace {

const QString kUndo = QStringLiteral("CDrugPriceUndoActioner");
const QString kLog = QStringLiteral("Korvane/UpdateLog/updates.log");
const QString kDatabase = QStringLiteral("Korvane/dbKorvane.mdb");

// Every column of every row with the kind it is stored as: a value put back as another kind
// (a price as text, a date as a number) shows, as does any changed digit.
const QString kExactRows = QStringLiteral(
    "SELECT typeof(新)||quote(新), typeof(單複方註記)||quote(單複方註記), typeof(代碼)||quote(代碼), "
    "typeof(藥價參考金額)||quote(藥價參考金額), typeof(藥價參考日期)||quote(藥價參考日期), "
    "typeof(藥價參考截止日期)||quote(藥價參考截止日期), typeof(藥品英文名稱)||quote(藥品英文名稱), "
    "typeof(藥品規格量)||quote(藥品規格量), typeof(藥品規格單位)||quote(藥品規格單位), typeof(成份)||quote(成份), "
    "typeof(成份含量)||quote(成份含量), typeof(含量單位)||quote(含量單位), typeof(藥品劑型)||quote(藥品劑型), "
    "typeof(製造廠名稱)||quote(製造廠名稱) FROM tblDrugs ORDER BY id");

class Undo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = std::make_unique<ClinicDatabase>(ClinicDatabase::create(installation.path(kDatabase)));
        // Last month's table with what a list never gives: prices of many decimals, a time of
        // day, NULLs in every column that takes one, text with quotes.
        db->exec(QStringLiteral(
            "INSERT INTO tblDrugs (新, 單複方註記, 代碼, 藥價參考金額, 藥價參考日期, 藥價參考截止日期, 藥品英文名稱, "
            "藥品規格量, 藥品規格單位, 成份, 成份含量, 含量單位, 藥品劑型, 製造廠名稱) VALUES "
            "('*', '單方', 'AA00001100', 0.1 + 0.2, '2024-03-01 13:45:07', '2910-12-31 00:00:00', 'ONE', 1.0/3, 'MG', "
            "'許功蓋', 2.5e-7, 'MG', '錠劑', '台灣功學'), "
            "(NULL, NULL, 'AA00002100', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL), "
            "('', '複方', 'AA00003100', 123456.789012345, '1999-12-31 23:59:59', NULL, 'THREE \"Q\"; ''X''', 0, "
            "'', '', 0, '', '', '')"));
        before = exactRows();
    }

    QList<QVariantList> exactRows() const { return db->rows(kExactRows); }
    void writePriceList(const QStringList& drugLines) const
    {
        installation.write(QStringLiteral("pack/all.puf"),
                           korvane::platform::ansiTextWithCrLf(QStringList{korvane::test::priceListHeader()} + drugLines));
    }
    // A list that keeps one drug at another price, drops two and adds one.
    void writeMonthlyList() const
    {
        writePriceList({drugLine(1, QStringLiteral("AA00001100"), QStringLiteral("7")),
                        drugLine(2, QStringLiteral("BB00004100"))});
    }
    UpdatletResult run(const QStringList& more = {}) const
    {
        return installation.run(installation.packArguments() << more);
    }
    QString log() const { return QString::fromUtf8(installation.read(kLog)); }
    // The before-images beside the record, oldest first.
    QStringList keptFiles() const
    {
        return QDir(installation.path(QStringLiteral("Korvane/UpdateLog")))
            .entryList({QStringLiteral("* tblDrugs.before")}, QDir::Files, QDir::Name);
    }

    UpdatletInstallation installation;
    std::unique_ptr<ClinicDatabase> db;
    QList<QVariantList> before;
};

TEST_F(Undo, PutsBackEveryValueExactlyAndIsItselfTakenBack)
{
    writeMonthlyList();
    const UpdatletResult imported = run();
    ASSERT_EQ(imported.exitCode, 0) << qPrintable(imported.out + imported.err);
    const QList<QVariantList> updated = exactRows();
    ASSERT_EQ(updated.size(), 2);
    ASSERT_EQ(keptFiles().size(), 1);
    EXPECT_TRUE(log().contains(QStringLiteral("\r\n還原資料檔：") + QDir::toNativeSeparators(installation.path(QStringLiteral("Korvane/UpdateLog/"))) +
                               keptFiles()[0] + QStringLiteral("（之前的藥品資料 3 筆；更新後 2 筆，摘要 ")))
        << qPrintable(log());

    // Seen first: the drugs it adds back, removes and reprices, in the update's report columns.
    const QByteArray database = installation.read(kDatabase);
    const QString report = installation.path(QStringLiteral("undo.csv"));
    const UpdatletResult preview =
        run({QStringLiteral("--dry-run"), QStringLiteral("--report"), report, kUndo});
    EXPECT_EQ(preview.exitCode, 0) << qPrintable(preview.out + preview.err);
    EXPECT_EQ(installation.read(kDatabase), database);
    const QString csv = QString::fromUtf8(installation.read(QStringLiteral("undo.csv")));
    const QString importCsv = QString::fromUtf8(installation.read(
        QStringLiteral("Korvane/UpdateLog/") + keptFiles()[0].section(u' ', 0, 0) + QStringLiteral(" C52407301.csv")));
    EXPECT_EQ(csv.section(QStringLiteral("\r\n"), 0, 0), importCsv.section(QStringLiteral("\r\n"), 0, 0));
    for (const QString& code : {QStringLiteral("AA00001100"), QStringLiteral("AA00002100"), QStringLiteral("AA00003100"),
                                QStringLiteral("BB00004100")})
        EXPECT_TRUE(csv.contains(code)) << qPrintable(csv);

    const UpdatletResult undone = run({kUndo});
    EXPECT_EQ(undone.exitCode, 0) << qPrintable(undone.out + undone.err);
    EXPECT_TRUE(exactRows() == before);
    EXPECT_TRUE(log().contains(QStringLiteral("\r\n還原的更新：")) && log().contains(QStringLiteral(" CDrugPriceUndoActioner.csv")))
        << qPrintable(log());

    // The undo kept what it replaced: taken back, the update's rows are there again.
    const UpdatletResult redone = run({kUndo});
    EXPECT_EQ(redone.exitCode, 0) << qPrintable(redone.out + redone.err);
    EXPECT_TRUE(exactRows() == updated);
    EXPECT_EQ(keptFiles().size(), 3);

    const QStringList history = run({QStringLiteral("--history")}).out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(history.size(), 3) << qPrintable(history.join(u'\n'));
    EXPECT_EQ(history.filter(QStringLiteral("〔可還原〕")).size(), 1) << qPrintable(history.join(u'\n'));
    EXPECT_TRUE(history.last().contains(kUndo) && history.last().endsWith(QStringLiteral("〔可還原〕")))
        << qPrintable(history.join(u'\n'));
}

TEST_F(Undo, ATableChangedSinceIsPutBackOnlyOnceConfirmed)
{
    writeMonthlyList();
    ASSERT_EQ(run().exitCode, 0);
    db->exec(QStringLiteral("UPDATE tblDrugs SET 藥價參考金額 = 8 WHERE 代碼 = 'AA00001100'"));
    db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES ('ZZ00009100')"));
    const QByteArray edited = installation.read(kDatabase);

    const UpdatletResult preview = run({QStringLiteral("--dry-run"), kUndo});
    EXPECT_EQ(preview.exitCode, 0);
    EXPECT_TRUE(preview.out.contains(QStringLiteral("有 2 筆不同"))) << qPrintable(preview.out);

    const UpdatletResult refused = run({kUndo});
    EXPECT_EQ(refused.exitCode, 3) << qPrintable(refused.out + refused.err);
    EXPECT_TRUE(refused.out.contains(QStringLiteral("有 2 筆資料在那之後被新增、刪除或修改過")) &&
                refused.out.contains(QStringLiteral("updatlet --dry-run CDrugPriceUndoActioner")))
        << qPrintable(refused.out);
    EXPECT_EQ(installation.read(kDatabase), edited);

    const UpdatletResult confirmed = run({QStringLiteral("--answer"), QStringLiteral("是"), kUndo});
    EXPECT_EQ(confirmed.exitCode, 0) << qPrintable(confirmed.out + confirmed.err);
    EXPECT_TRUE(exactRows() == before);
}

TEST_F(Undo, KeepsTheTablesOfTheLastThreeUpdates)
{
    QStringList seen;
    for (int month = 1; month <= 4; ++month) {
        writePriceList({drugLine(1, QStringLiteral("AA00001100"), QString::number(month)),
                        drugLine(2, QStringLiteral("AA00002100"))});
        ASSERT_EQ(run().exitCode, 0) << month;
        for (const QString& file : keptFiles()) {
            if (!seen.contains(file))
                seen << file;
        }
    }
    ASSERT_EQ(seen.size(), 4);
    EXPECT_EQ(keptFiles(), seen.mid(1));
    // Their change files stay beside them.
    EXPECT_TRUE(QFile::exists(installation.path(QStringLiteral("Korvane/UpdateLog/") + seen[0].section(u' ', 0, 0) +
                                                QStringLiteral(" C52407301.csv"))));
}

// Whatever is wrong with the file kept, nothing is put back and the table stays as it is.
TEST_F(Undo, AKeptFileThatCannotBeTrustedIsRefused)
{
    // The same update in another installation, whose kept file is whole but of another database.
    UpdatletInstallation other;
    ClinicDatabase::create(other.path(kDatabase)).exec(QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES ('OTHER')"));
    other.write(QStringLiteral("pack/all.puf"),
                korvane::platform::ansiTextWithCrLf({korvane::test::priceListHeader(), drugLine(1, QStringLiteral("AA00001100"))}));
    ASSERT_EQ(other.run(other.packArguments()).exitCode, 0);
    const QStringList otherKept = QDir(other.path(QStringLiteral("Korvane/UpdateLog")))
                                      .entryList({QStringLiteral("* tblDrugs.before")}, QDir::Files);
    ASSERT_EQ(otherKept.size(), 1);
    const QByteArray fromOther = other.read(QStringLiteral("Korvane/UpdateLog/") + otherKept[0]);

    writeMonthlyList();
    ASSERT_EQ(run().exitCode, 0);
    const QString kept = QStringLiteral("Korvane/UpdateLog/") + keptFiles().value(0);
    const QByteArray whole = installation.read(kept);
    ASSERT_GT(whole.size(), 400);
    QByteArray changed = whole;
    changed[changed.size() - 20] = char(changed[changed.size() - 20] ^ 0x01);

    const struct
    {
        const char* what;
        QByteArray bytes; // empty: removed
        QString said;
    } cases[] = {{"cut short", whole.left(whole.size() / 2), QStringLiteral("還原資料檔不完整（檔案被截斷了）")},
                 {"a byte changed", changed, QStringLiteral("還原資料檔的內容與它記錄的摘要不符")},
                 {"not one at all", QByteArray("drugs\r\n"), QStringLiteral("這不是本系統的還原資料檔")},
                 {"of another database", fromOther, QStringLiteral("是從另一個資料庫")},
                 {"removed", QByteArray(), QStringLiteral("不存在（可能已被刪除或搬走），因此無法還原")}};
    const QByteArray database = installation.read(kDatabase);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.bytes.isEmpty())
            ASSERT_TRUE(QFile::remove(installation.path(kept)));
        else
            installation.write(kept, c.bytes);
        for (const bool dryRun : {true, false}) {
            const UpdatletResult result = run(dryRun ? QStringList{QStringLiteral("--dry-run"), kUndo} : QStringList{kUndo});
            EXPECT_EQ(result.exitCode, 1) << qPrintable(result.out + result.err);
            EXPECT_TRUE(result.err.contains(QStringLiteral("還原藥價更新沒有執行，原因如下：")) && result.err.contains(c.said) &&
                        result.err.contains(QStringLiteral("藥品資料沒有變更。")))
                << qPrintable(result.err);
            EXPECT_EQ(installation.read(kDatabase), database);
        }
    }
}

// The disk of the record fills while the table as it was is written: the update must not commit.
TEST(UndoOnAFullDisk, AnUpdateWhoseOldTableCannotBeKeptChangesNothing)
{
    UpdatletInstallation installation;
    const ClinicDatabase db = ClinicDatabase::create(installation.path(kDatabase));
    // Rows that compress little, so that their image cannot fit where the log does.
    db.exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
        "INSERT INTO tblDrugs (代碼, 藥價參考金額, 藥品英文名稱, 成份) "
        "SELECT printf('OLD%06d00', i), i * 0.25, hex(randomblob(24)), hex(randomblob(24)) FROM n"));
    const QList<QVariantList> before = db.rows(kExactRows);
    SmallDisk disk(installation.path(QStringLiteral("Korvane/UpdateLog")), 256 << 10);
    KORVANE_REQUIRE_SMALL_DISK(disk);
    QStringList lines{korvane::test::priceListHeader()};
    for (int i = 1; i <= 15000; ++i)
        lines << drugLine(i, QStringLiteral("NEW%1").arg(i, 6, 10, QLatin1Char('0')));
    const QByteArray list = korvane::platform::ansiTextWithCrLf(lines);
    installation.write(QStringLiteral("pack/all.puf"), list);

    const UpdatletResult result = installation.run(installation.packArguments(), 120000);

    EXPECT_EQ(result.exitCode, 1) << qPrintable(result.out.right(2000));
    EXPECT_TRUE(result.err.contains(QStringLiteral("更新藥價作業失敗，可能的原因為：\n更新前的藥品資料無法保留下來（供日後還原），"
                                                   "因此沒有更新：藥品資料維持原狀")) &&
                result.err.contains(QStringLiteral("磁碟空間不足")))
        << qPrintable(result.err);
    EXPECT_TRUE(db.rows(kExactRows) == before);
    EXPECT_EQ(installation.read(QStringLiteral("pack/all.puf")), list);
    // Nothing half-written stays behind.
    EXPECT_TRUE(QDir(installation.path(QStringLiteral("Korvane/UpdateLog")))
                    .entryList({QStringLiteral("*.before*")}, QDir::Files | QDir::Hidden)
                    .isEmpty());
}

TEST(UndoKilled, WhilePuttingRowsBackLeavesTheTableAsTheUpdateLeftIt)
{
    UpdatletInstallation installation;
    const ClinicDatabase db = ClinicDatabase::create(installation.path(kDatabase));
    db.exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) "
        "INSERT INTO tblDrugs (單複方註記, 代碼, 藥價參考金額, 藥價參考日期, 藥品英文名稱) "
        "SELECT '單方', printf('OLD%06d00', i), i * 0.25, '2024-03-01 00:00:00', 'OLD DRUG ' || i FROM n"));
    installation.write(QStringLiteral("pack/all.puf"),
                       korvane::platform::ansiTextWithCrLf({korvane::test::priceListHeader(), drugLine(1, QStringLiteral("AC12345100"))}));
    ASSERT_EQ(installation.run(installation.packArguments() << QStringLiteral("--allow-shrink"), 120000).exitCode, 0);
    const QList<QVariantList> updated = db.rows(kExactRows);
    ASSERT_EQ(updated.size(), 1);

    QProcess process;
    installation.start(process, installation.packArguments() << kUndo);
    static const QRegularExpression progress(QStringLiteral("進度：(\\d+)%"));
    const QByteArray insertStep = QStringLiteral("V\t還原藥品資料到資料庫中").toUtf8();
    QByteArray out;
    int percent = -1;
    QElapsedTimer waited;
    waited.start();
    while (percent <= 0 && waited.elapsed() < 60000 && process.state() == QProcess::Running) {
        process.waitForReadyRead(50);
        out += process.readAllStandardOutput();
        const qsizetype mark = out.indexOf(insertStep);
        if (mark < 0)
            continue;
        for (const auto& match : progress.globalMatch(QString::fromUtf8(out.mid(mark))))
            percent = std::max(percent, match.captured(1).toInt());
    }
    ASSERT_GT(percent, 0) << "the rows were not seen going back:\n" << QString::fromUtf8(out.right(800)).toStdString();
    ASSERT_LT(percent, 100) << "the undo ended before it could be killed";
    process.kill();
    ASSERT_TRUE(process.waitForFinished(10000));

    EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    EXPECT_TRUE(db.rows(kExactRows) == updated);
    // Nothing was recorded as taken back: the next undo does it whole.
    const UpdatletResult again = installation.run(installation.packArguments() << kUndo, 120000);
    EXPECT_EQ(again.exitCode, 0) << qPrintable(again.out.right(1000) + again.err);
    EXPECT_EQ(db.count(QStringLiteral("tblDrugs")), 200000);
}

} // namespace
