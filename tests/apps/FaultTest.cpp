// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// updatlet hurt from outside while it runs: killed in the middle of the import, the clinic
// database held by another writer, a price list that cannot be removed. Whatever happens, the
// clinic keeps either its old drug table or the complete new one, and the price list stays until
// the new one is safely in.

#include "ClinicDatabase.h"
#include "MachineAbility.h"
#include "SmallDisk.h"
#include "UpdatletInstallation.h"
#include "generators/PriceListGenerator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

using korvane::PriceListGenerator;
using korvane::test::ClinicDatabase;
using korvane::test::SmallDisk;
using korvane::test::UpdatletInstallation;
using korvane::test::UpdatletResult;

namespace {

const QString kFailure = QStringLiteral("更新藥價作業失敗，可能的原因為：");
const QString kCriticalMark = QStringLiteral("!! [錯誤]");
const QString kRefusal = QStringLiteral("!! [無法更新藥價]\n藥價更新沒有執行，原因如下：");

class UpdatletUnderFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = std::make_unique<ClinicDatabase>(
            ClinicDatabase::create(installation.path(QStringLiteral("Korvane/dbKorvane.mdb"))));
        // Last month's table, with every kind of value the import writes.
        db->exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40) "
            "INSERT INTO tblDrugs (新, 單複方註記, 代碼, 藥價參考金額, 藥價參考日期, 藥價參考截止日期, "
            "藥品英文名稱, "
            "藥品規格量, 藥品規格單位, 成份, 成份含量, 含量單位, 藥品劑型, 製造廠名稱) "
            "SELECT CASE WHEN i % 3 = 0 THEN '*' END, '單方', printf('OLD%04d100', i), i * 1.25, "
            "'2024-03-01 00:00:00', '2910-12-31 00:00:00', 'OLD DRUG ' || i, i, 'MG', '許功蓋', 0.5, 'MG', "
            "'錠劑', "
            "'台灣功學製藥' FROM n"));
        oldDrugs = drugs();
        ASSERT_EQ(oldDrugs.size(), 40);
    }

    QString pricePath() const { return installation.pricePath(); }

    void writePriceList(const QByteArray& bytes) { installation.write(QStringLiteral("pack/all.puf"), bytes); }

    // Whether the price list is still there with exactly these bytes.
    ::testing::AssertionResult priceListIs(const QByteArray& bytes) const
    {
        QFile file(pricePath());
        if (!file.open(QIODevice::ReadOnly))
            return ::testing::AssertionFailure() << "the price list is gone";
        const QByteArray now = file.readAll();
        if (now != bytes)
            return ::testing::AssertionFailure()
                   << "the price list changed: " << now.size() << " bytes instead of " << bytes.size();
        return ::testing::AssertionSuccess();
    }

    void start(QProcess& process) const { installation.start(process, installation.packArguments()); }
    UpdatletResult run(int limitMilliseconds = 60000) const
    {
        return installation.run(installation.packArguments(), limitMilliseconds);
    }

    QList<QVariantList> drugs() const
    {
        return db->rows(QStringLiteral("SELECT * FROM tblDrugs ORDER BY id"));
    }

    UpdatletInstallation installation;
    std::unique_ptr<ClinicDatabase> db;
    QList<QVariantList> oldDrugs;
};

TEST_F(UpdatletUnderFaults, KilledWhileAddingRowsLeavesTheOldDrugsAndThePriceList)
{
    const QByteArray priceList = PriceListGenerator::generate(250000, 52407301);
    writePriceList(priceList);

    QProcess process;
    start(process);
    // Rows are being added once the step list is marked on the insert step and the bar has
    // moved past 0% below it; the bar reaches 100% only after the last row.
    static const QRegularExpression progress(QStringLiteral("進度：(\\d+)%"));
    const QByteArray insertStep = QStringLiteral("V\t新增藥品資料到資料庫中").toUtf8();
    QByteArray out;
    int percent = -1;
    QElapsedTimer waited;
    waited.start();
    while (percent <= 0 && waited.elapsed() < 30000 && process.state() == QProcess::Running) {
        process.waitForReadyRead(50);
        out += process.readAllStandardOutput();
        const qsizetype mark = out.indexOf(insertStep);
        if (mark < 0)
            continue;
        const QString shown = QString::fromUtf8(out.mid(mark));
        for (const auto& match : progress.globalMatch(shown))
            percent = std::max(percent, match.captured(1).toInt());
    }
    ASSERT_GT(percent, 0) << "the insert phase was not seen:\n"
                          << QString::fromUtf8(out.right(800)).toStdString();
    ASSERT_LT(percent, 100) << "the import ended before it could be killed";
    const QString dbPath = db->path();
    EXPECT_TRUE(QFile::exists(dbPath + QStringLiteral("-journal")) ||
                QFile::exists(dbPath + QStringLiteral("-wal")))
        << "no write transaction is open";

    process.kill();
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);

    // The database as the kill left it, copied with its journal: reading the copy must not spare
    // the next run the recovery.
    const QString copyPath = installation.path(QStringLiteral("copy/dbKorvane.mdb"));
    ASSERT_TRUE(QDir().mkpath(installation.path(QStringLiteral("copy"))));
    for (const QString& suffix : {QString(), QStringLiteral("-journal"), QStringLiteral("-wal")}) {
        if (QFile::exists(dbPath + suffix)) {
            ASSERT_TRUE(QFile::copy(dbPath + suffix, copyPath + suffix));
        }
    }
    const ClinicDatabase leftBehind(copyPath);
    EXPECT_EQ(leftBehind.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    const QList<QVariantList> after = leftBehind.rows(QStringLiteral("SELECT * FROM tblDrugs ORDER BY id"));
    EXPECT_EQ(after.size(), oldDrugs.size());
    EXPECT_TRUE(after == oldDrugs) << "the old drug rows were changed";
    EXPECT_TRUE(priceListIs(priceList));

    // The next run starts from the interrupted one and completes.
    writePriceList(PriceListGenerator::generate(25, 2));
    const UpdatletResult again = run();
    EXPECT_EQ(again.exitCode, 0) << again.out.toStdString();
    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 25);
    EXPECT_EQ(db->scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

struct LockCase
{
    const char* name;
    QStringList statements; // what the other writer runs and keeps open
};

void PrintTo(const LockCase& c, std::ostream* os)
{
    *os << c.name;
}

class LockedDatabase : public UpdatletUnderFaults, public ::testing::WithParamInterface<LockCase>
{
};

TEST_P(LockedDatabase, failsWithinTheWaitAndChangesNothing)
{
    const QByteArray priceList = PriceListGenerator::generate(30, 1);
    writePriceList(priceList);
    const QString lockerName = QStringLiteral("other-writer");
    UpdatletResult result;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), lockerName);
        other.setDatabaseName(db->path());
        ASSERT_TRUE(other.open()) << other.lastError().text().toStdString();
        QSqlQuery query(other);
        for (const QString& statement : GetParam().statements)
            ASSERT_TRUE(query.exec(statement)) << query.lastError().text().toStdString();

        result = run(30000);

        query.exec(QStringLiteral("ROLLBACK"));
        query.finish();
        other.close();
    }
    QSqlDatabase::removeDatabase(lockerName);

    EXPECT_EQ(result.exitCode, 1) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(kRefusal + u'\n' + QStringLiteral("資料庫正被其他程式使用中")))
        << result.out.toStdString();
    // It tells the clinic what to do about it.
    EXPECT_TRUE(
        result.out.contains(QStringLiteral("請先關閉 Korvane 及其他開啟資料庫的程式，再重新執行本更新程式")))
        << result.out.toStdString();
    // Refused, for nothing had been changed: the lock is the first thing its transaction takes.
    EXPECT_TRUE(result.err.contains(QStringLiteral("更新作業沒有執行（見上方訊息），電腦中的資料都沒有變更。")))
        << result.err.toStdString();
    // It waits a while for the other writer to finish, but not for ever.
    EXPECT_GE(result.milliseconds, 4000);
    EXPECT_LT(result.milliseconds, 15000);
    EXPECT_EQ(drugs(), oldDrugs);
    EXPECT_TRUE(priceListIs(priceList));
}

INSTANTIATE_TEST_SUITE_P(
    OtherWriter, LockedDatabase,
    ::testing::Values(LockCase{"exclusive", {QStringLiteral("BEGIN EXCLUSIVE")}},
                      LockCase{"writing",
                               {QStringLiteral("BEGIN IMMEDIATE"),
                                QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES ('LOCKER0100')")}}),
    [](const ::testing::TestParamInfo<LockCase>& p_case) { return std::string(p_case.param.name); });

// Whether the process has the file open.
bool hasOpen(const QProcess& process, const QString& path)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(process.processId()));
    const QFileInfoList open =
        descriptors.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    return std::any_of(open.begin(), open.end(),
                       [&](const QFileInfo& fd) { return fd.symLinkTarget() == file; });
}

TEST_F(UpdatletUnderFaults, ALockHeldBrieflyIsWaitedFor)
{
    writePriceList(PriceListGenerator::generate(30, 1));
    // Korvane itself writing for a moment: the update waits for it instead of failing. The moment
    // counts from when updatlet has the database open, however late it gets there.
    const QString name = QStringLiteral("brief-writer");
    QProcess process;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        other.setDatabaseName(db->path());
        QSqlQuery query(other);
        ASSERT_TRUE(other.open() && query.exec(QStringLiteral("BEGIN EXCLUSIVE")))
            << "the other writer could not lock the database";
        start(process);
        EXPECT_TRUE(QTest::qWaitFor([&] { return hasOpen(process, db->path()); }, 30000))
            << "updatlet never opened the database";
        process.waitForFinished(1500);
        EXPECT_EQ(process.state(), QProcess::Running) << "updatlet did not wait for the lock to go";
        query.exec(QStringLiteral("ROLLBACK"));
        query.finish();
        other.close();
    }
    QSqlDatabase::removeDatabase(name);
    const UpdatletResult result = UpdatletInstallation::finish(process, 30000);

    EXPECT_EQ(result.exitCode, 0) << result.out.toStdString();
    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 30);
    EXPECT_FALSE(QFile::exists(pricePath()));
}

// A file made immutable for one test, and made ordinary again however the test ends.
class ImmutableFile
{
public:
    explicit ImmutableFile(QString path) : ivPath(std::move(path)) {}
    ~ImmutableFile()
    {
        if (ivSet)
            chattr(QStringLiteral("-i"));
    }
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;

    // Empty when the file is now immutable, else why not.
    QString set()
    {
        const QString why = chattr(QStringLiteral("+i"));
        ivSet = why.isEmpty();
        if (ivSet)
            return why;
        return why + QStringLiteral(" (the immutable flag needs the superuser, or CAP_LINUX_IMMUTABLE, and a "
                                    "file system that keeps it, such as ext4)");
    }

private:
    QString chattr(const QString& flag) const
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("chattr"), {flag, ivPath});
        if (!process.waitForFinished(10000))
            return QStringLiteral("chattr could not be run: ") + process.errorString();
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return QStringLiteral("chattr ") + flag + QStringLiteral(" failed: ") +
                   QString::fromLocal8Bit(process.readAll()).trimmed();
        return {};
    }

    QString ivPath;
    bool ivSet = false;
};

TEST_F(UpdatletUnderFaults, APriceListThatCannotBeRemovedLeavesTheNewPricesAndSaysSo)
{
    const QByteArray priceList = PriceListGenerator::generate(20, 3);
    writePriceList(priceList);
    ImmutableFile immutable(pricePath());
    KORVANE_REQUIRE_ABILITY("an undeletable price list", immutable.set());

    // Done, but a file is left beside the pack: not a clean run for whoever started it.
    const UpdatletResult result = run();
    EXPECT_EQ(result.exitCode, 1) << result.out.toStdString();
    EXPECT_FALSE(result.out.contains(kCriticalMark)) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(QStringLiteral("[訊息]\n藥價已更新完成，但無法刪除本次的藥價資料檔")))
        << result.out.toStdString();
    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 20);
    EXPECT_EQ(db->count(QStringLiteral("tblDrugs WHERE 代碼 LIKE 'OLD%'")), 0);
    EXPECT_TRUE(priceListIs(priceList));
}

TEST_F(UpdatletUnderFaults, ADatabaseThatCannotBeWrittenChangesNothing)
{
    const QByteArray priceList = PriceListGenerator::generate(20, 4);
    writePriceList(priceList);
    ImmutableFile immutable(db->path());
    KORVANE_REQUIRE_ABILITY("an unwritable database", immutable.set());

    const UpdatletResult result = run();
    EXPECT_EQ(result.exitCode, 1) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(kFailure + QStringLiteral("\n資料庫檔案無法寫入")))
        << result.out.toStdString();
    EXPECT_EQ(drugs(), oldDrugs);
    EXPECT_TRUE(priceListIs(priceList));
}

// The disk fills in the middle of a large import, and the database engine ends the transaction
// by itself: nothing of the new list may stay, not even the rows that come after, and the clinic
// is told why.
TEST(UpdatletOnAFullDisk, FailsWithTheOldDrugsTheListAndThePackKept)
{
    UpdatletInstallation installation;
    SmallDisk disk(installation.path(QStringLiteral("Korvane")), 24 << 20);
    KORVANE_REQUIRE_SMALL_DISK(disk);
    const ClinicDatabase db = ClinicDatabase::create(installation.path(QStringLiteral("Korvane/dbKorvane.mdb")));
    db.exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 45000) "
        "INSERT INTO tblDrugs (單複方註記, 代碼, 藥價參考金額, 藥價參考日期, 藥品英文名稱, 成份, 製造廠名稱) "
        "SELECT '單方', printf('OLD%06d00', i), i * 0.25, '2024-03-01 00:00:00', 'OLD DRUG TABLETS ' || i, "
        "'ACETAMINOPHEN 許功蓋', '台灣功學製藥股份有限公司' FROM n"));
    const QList<QVariantList> before = db.rows(QStringLiteral("SELECT * FROM tblDrugs ORDER BY id"));
    const QByteArray list = PriceListGenerator::generate(200000, 16);
    installation.write(QStringLiteral("pack/all.puf"), list);

    const UpdatletResult result = installation.run(installation.packArguments(), 300000);

    EXPECT_EQ(result.exitCode, 1) << qPrintable(result.out.right(2000));
    EXPECT_TRUE(result.err.contains(kFailure + QStringLiteral("\n磁碟空間不足"))) << qPrintable(result.err);
    EXPECT_TRUE(db.rows(QStringLiteral("SELECT * FROM tblDrugs ORDER BY id")) == before)
        << db.count(QStringLiteral("tblDrugs")) << " rows instead of " << before.size();
    EXPECT_EQ(installation.read(QStringLiteral("pack/all.puf")), list);
}

} // namespace
