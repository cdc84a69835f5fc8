// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// updatlet run as IT staff run it, against a clinic whose database is on a server: a real
// process, a real "\Korvane.config" in the server form, a real server that can refuse, lock,
// and go away in the middle of a run.

#include "ClinicServer.h"
#include "PriceListText.h"
#include "UpdatletInstallation.h"
#include "generators/PriceListGenerator.h"
#include "platform/AnsiText.h"
#include "platform/database/OdbcDialect.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <gtest/gtest.h>

using korvane::test::ClinicServer;
using korvane::test::UpdatletInstallation;
using korvane::test::UpdatletResult;

namespace {

const QString kHeader = korvane::test::priceListHeader();

const QString kAllColumns =
    QStringLiteral("新, 單複方註記, 代碼, 藥價參考金額, 藥價參考日期, 藥價參考截止日期, 藥品英文名稱, "
                   "藥品規格量, 藥品規格單位, 成份, 成份含量, 含量單位, 藥品劑型, 製造廠名稱");

// A date of the generated lists as the row should hold it: seven-digit ROC ("1130401"),
// "2024/4/1", "2024-04-01", "2024/4/1 上午 12:00:00" or "2024年4月1日", all at midnight; null
// when it is no date.
QVariant listDate(const QString& text)
{
    static const QRegularExpression written(
        QStringLiteral("^(\\d{4})[/年-](\\d{1,2})[/月-](\\d{1,2})日?( 上午 12:00:00)?$"));
    QDate date;
    if (const QRegularExpressionMatch match = written.match(text); match.hasMatch())
        date = QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    else if (text.size() == 7)
        date = QDate(text.left(3).toInt() + 1911, text.mid(3, 2).toInt(), text.mid(5, 2).toInt());
    return date.isValid() ? QVariant(QDateTime(date, QTime(0, 0)))
                          : QVariant(QMetaType::fromType<QDateTime>());
}

QVariant numberOrZero(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : 0.0;
}

// The row that one regular drug line should become, columns as in kAllColumns.
QVariantList expectedRow(const QString& line)
{
    const QStringList f = line.split(u'\t');
    return {f[1],
            f[2],
            f[3],
            f[4].toDouble(),
            listDate(f[5]),
            listDate(f[6]),
            f[7],
            numberOrZero(f[8]),
            f[9],
            f[10],
            numberOrZero(f[11]),
            f[12],
            f[13],
            f[14]};
}

// Values as the comparison should see them: dates and numbers by value, whatever Qt type the
// driver reads them as.
QString shown(const QVariant& value)
{
    if (value.isNull())
        return QStringLiteral("<null>");
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().toString(Qt::ISODate);
    if (value.metaType().id() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 17);
    return value.toString();
}

QStringList shownRow(const QVariantList& row)
{
    QStringList result;
    for (const QVariant& value : row)
        result << shown(value);
    return result;
}

class ServerUpdatlet : public korvane::test::ServerTest
{
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        if (stopped())
            return;
        installation.write(QStringLiteral("Korvane/Korvane.config"), server.configFile());
    }

    void write(const QString& relative, const QByteArray& bytes) { installation.write(relative, bytes); }

    void writePriceList(const QStringList& drugLines)
    {
        write(QStringLiteral("pack/all.puf"),
              korvane::platform::ansiTextWithCrLf(QStringList{kHeader} + drugLines));
    }

    bool priceListExists() const { return QFile::exists(installation.pricePath()); }

    void start(QProcess& process) { installation.start(process, installation.packArguments()); }
    static UpdatletResult finish(QProcess& process, int timeoutMs) { return UpdatletInstallation::finish(process, timeoutMs); }
    UpdatletResult run() { return installation.run(installation.packArguments(), 120000); }

    UpdatletInstallation installation;
};

TEST_F(ServerUpdatlet, ReplacesTheDrugTableOnTheServerWithEveryValueConverted)
{
    // Hand-made lines for what a generated list rarely has, then a generated list whose Big5
    // text is full of characters with a backslash as their second byte.
    QStringList lines{
        QStringLiteral("1\t*\t單方\tAC12345100\t12.5\t1130401\t1150331\tPANADOL \"500\"; TABLETS\t500\tMG\t"
                       "ACETAMINOPHEN（功許）\t500\tMG\t錠劑\t台灣功學;製藥'股份'有限公司"),
        QStringLiteral(
            "2\t\t複方\tBC23456200\t0\t1130230\t9991231\tX;Y=Z\t\tML\t蓋許功\t不明\tML\t注射劑\t許功蓋"),
    };
    korvane::PriceListGenerator generator(20260701);
    for (int i = 0; i < 300; ++i)
        lines << generator.nextLine();
    writePriceList(lines);

    const UpdatletResult result = run();

    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.out.right(2000));
    EXPECT_FALSE(priceListExists());
    const QList<QVariantList> rows =
        server.rows(QStringLiteral("SELECT ") + kAllColumns + QStringLiteral(" FROM tblDrugs ORDER BY id"));
    ASSERT_EQ(rows.size(), lines.size());
    // Line 2: no 30 February, so no start date; no numbers in fields 8 and 11, so zeros.
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_EQ(shownRow(rows[i]), shownRow(expectedRow(lines[i]))) << "line " << i + 1;
    // Prices and dates are stored as such, not as text.
    EXPECT_EQ(rows[0][3].metaType().id(), QMetaType::Double);
    EXPECT_EQ(rows[0][4].metaType().id(), QMetaType::QDateTime);
    EXPECT_EQ(server.count(QStringLiteral("tblDrugs WHERE 代碼 LIKE 'OLD%'")), 0);
}

// The stand-in server sorts rows without a date last; of a code's rows the price in force is
// still the one taking effect last, a row without a date counting as the earliest.
TEST_F(ServerUpdatlet, APreviewComparesWithThePriceTakingEffectLast)
{
    for (const auto& [date, price] : {std::pair{"2024-04-01", 20.0}, {nullptr, 5.0}, {"2024-01-01", 10.0}})
        server.exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 藥價參考日期, 藥價參考金額) VALUES ('AC12345100', ?, ?)"),
                    {date ? QVariant(QDateTime(QDate::fromString(QString::fromLatin1(date), Qt::ISODate), QTime(0, 0)))
                          : QVariant(QMetaType::fromType<QDateTime>()),
                     price});
    QStringList lines{korvane::test::drugLine(1, QStringLiteral("AC12345100"), QStringLiteral("20"))};
    for (const QString& code : ClinicServer::oldCodes())
        lines << korvane::test::drugLine(int(lines.size()) + 1, code, QStringLiteral("1.5"));
    writePriceList(lines);

    const UpdatletResult result = installation.run(installation.packArguments() << QStringLiteral("--dry-run"), 120000);

    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(QStringLiteral("價格變動 0 項，價格不變 4 項"))) << qPrintable(result.out);
}

TEST_F(ServerUpdatlet, AListWithoutDrugRecordsChangesNothing)
{
    writePriceList({});

    const UpdatletResult result = run();

    EXPECT_EQ(result.exitCode, 1);
    // Refused, not failed: the heading says the update did not run.
    EXPECT_TRUE(result.out.contains(QStringLiteral("藥價更新沒有執行，原因如下：")) &&
                !result.out.contains(QStringLiteral("更新藥價作業失敗")))
        << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(QStringLiteral("沒有任何可以匯入的藥品資料"))) << qPrintable(result.out);
    EXPECT_EQ(server.drugCodes(), ClinicServer::oldCodes());
    EXPECT_TRUE(priceListExists());
}

// A client uninstalled without its registration: the driver is there by name, its library is
// not. Said as such, never as a server that cannot be reached.
TEST_F(ServerUpdatlet, ADriverRegisteredWithoutItsLibraryIsNamedSo)
{
    writePriceList({korvane::test::drugLine(1, QStringLiteral("AC12345100"))});
    ASSERT_TRUE(QDir().mkpath(installation.path(QStringLiteral("odbc"))));
    write(QStringLiteral("odbc/odbcinst.ini"), "[SQL Server Native Client 10.0]\nDriver=" +
                                                   QFile::encodeName(installation.path(QStringLiteral("odbc/gone.so"))) +
                                                   "\n");
    QProcessEnvironment registry;
    registry.insert(QStringLiteral("ODBCSYSINI"), installation.path(QStringLiteral("odbc")));
    QProcess process;
    installation.start(process, QStringLiteral(KORVANE_UPDATLET), installation.packArguments(), registry);
    const UpdatletResult result = finish(process, 120000);

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(
        QStringLiteral("資料庫驅動程式「SQL Server Native Client 10.0」已登記在這台電腦上，但它的程式檔不見了或無法載入")) &&
                !result.err.contains(QStringLiteral("無法連線到資料庫，請確認資料庫伺服器已開啟")))
        << qPrintable(result.err);
    EXPECT_EQ(server.drugCodes(), ClinicServer::oldCodes());
    EXPECT_TRUE(priceListExists());
}

TEST_F(ServerUpdatlet, ALockedTableFailsWithinTheLockWaitAndSaysWhatToDo)
{
    writePriceList(
        {QStringLiteral("1\t\t單方\tAC12345100\t12.5\t1130401\t1150331\tX\t1\tMG\t功\t1\tMG\t錠劑\t許")});
    // Another workstation holds the table for the whole run.
    const QString name = QStringLiteral("lock-holder");
    {
        QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        holder.setDatabaseName(server.odbcText());
        ASSERT_TRUE(holder.open());
        ASSERT_TRUE(holder.transaction());
        QSqlQuery lock(holder);
        ASSERT_TRUE(lock.exec(QStringLiteral("LOCK TABLE tblDrugs IN ACCESS EXCLUSIVE MODE")));

        QElapsedTimer clock;
        clock.start();
        const UpdatletResult result = run();
        const qint64 elapsed = clock.elapsed();

        holder.rollback();
        holder.close();
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_LT(elapsed, (korvane::platform::OdbcDialect::lockWaitSeconds + 30) * 1000);
        EXPECT_TRUE(result.out.contains(QStringLiteral("更新藥價作業失敗，可能的原因為：")))
            << qPrintable(result.out);
        EXPECT_TRUE(result.out.contains(QStringLiteral("資料庫正被其他程式使用中（已鎖定）")))
            << qPrintable(result.out);
    }
    QSqlDatabase::removeDatabase(name);
    EXPECT_EQ(server.drugCodes(), ClinicServer::oldCodes());
    EXPECT_TRUE(priceListExists());
}

TEST_F(ServerUpdatlet, AServerStoppedDuringTheInsertKeepsTheOldRowsAndThePriceList)
{
    write(QStringLiteral("pack/all.puf"), korvane::PriceListGenerator::generate(250000, 7));

    QProcess process;
    start(process);
    // The insert phase has begun once the run's own connection is sending rows.
    QElapsedTimer clock;
    clock.start();
    bool inserting = false;
    while (!inserting && process.state() == QProcess::Running && clock.elapsed() < 120000) {
        QThread::msleep(100);
        inserting =
            !server
                 .rows(QStringLiteral("SELECT pid FROM pg_stat_activity WHERE datname = 'clinic' "
                                      "AND pid <> pg_backend_pid() AND query ILIKE '%INSERT INTO tblDrugs%'"))
                 .isEmpty();
    }
    ASSERT_TRUE(inserting) << qPrintable(QString::fromUtf8(process.readAll()).right(2000));
    server.halt();
    const UpdatletResult result = finish(process, 180000);
    server.resume();

    EXPECT_EQ(result.exitCode, 1);
    const qsizetype failure = result.out.indexOf(QStringLiteral("更新藥價作業失敗，可能的原因為："));
    EXPECT_GT(failure, result.out.indexOf(QStringLiteral("V\t新增藥品資料到資料庫中")))
        << qPrintable(result.out.right(2000));
    EXPECT_TRUE(result.out.contains(QStringLiteral("無法連線到資料庫")))
        << qPrintable(result.out.right(2000));
    EXPECT_EQ(server.drugCodes(), ClinicServer::oldCodes());
    EXPECT_TRUE(priceListExists());
}

TEST_F(ServerUpdatlet, ARowTheServerRefusesIsSkippedNamedAndTheRunGoesOn)
{
    server.exec(
        QStringLiteral("ALTER TABLE tblDrugs ADD CONSTRAINT korvane_test_price CHECK (藥價參考金額 < 1000)"));
    writePriceList(
        {QStringLiteral("1\t\t單方\tAC00001100\t12.5\t1130401\t1150331\tA\t1\tMG\t功\t1\tMG\t錠劑\t許"),
         QStringLiteral("2\t\t單方\tAC00002100\t5000\t1130401\t1150331\tB\t1\tMG\t功\t1\tMG\t錠劑\t許"),
         QStringLiteral("3\t\t單方\tAC00003100\t7.5\t1130401\t1150331\tC\t1\tMG\t功\t1\tMG\t錠劑\t許")});

    const UpdatletResult result = run();

    // The other rows are stored; the refused one is named with the server's reason, and the list
    // stays to be run again once that is mended.
    EXPECT_EQ(result.exitCode, 1) << qPrintable(result.out);
    EXPECT_EQ(server.drugCodes(), (QStringList{QStringLiteral("AC00001100"), QStringLiteral("AC00003100")}));
    EXPECT_TRUE(result.err.contains(QStringLiteral("第 3 行（代碼 AC00002100）：")) &&
                result.err.contains(QStringLiteral("korvane_test_price")))
        << qPrintable(result.err);
    EXPECT_TRUE(priceListExists());
}

// A table that refuses most rows commits nothing: the old drugs stay, the list stays, and the
// server's reason for the first refused rows is named.
TEST_F(ServerUpdatlet, ATableThatRefusesMostRowsCommitsNothingAndSaysWhy)
{
    server.exec(QStringLiteral("CREATE UNIQUE INDEX korvane_test_unique ON tblDrugs (成份)"));
    QStringList lines;
    for (int n = 1; n <= 30; ++n)
        lines << QStringLiteral("%1\t\t單方\t%2\t12.5\t1130401\t1150331\tX\t1\tMG\t%3\t1\tMG\t錠劑\t許")
                     .arg(n)
                     .arg(korvane::test::drugCode(n), n <= 5 ? QStringLiteral("成份%1").arg(n) : QStringLiteral("功"));
    writePriceList(lines);

    const UpdatletResult result = run();

    EXPECT_EQ(result.exitCode, 1) << qPrintable(result.out);
    EXPECT_TRUE(result.err.contains(QStringLiteral("資料庫拒絕了本次藥價資料檔 30 筆藥品資料中的 24 筆"))) << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains(QStringLiteral("第 8 行（代碼 AC00007100）：資料不符合資料表的限制")) &&
                result.err.contains(QStringLiteral("korvane_test_unique")))
        << qPrintable(result.err);
    EXPECT_EQ(server.drugCodes(), ClinicServer::oldCodes());
    EXPECT_TRUE(priceListExists());
}

// A quote in the server's address once ended its setting and carried the login into the server's
// name, and the driver's complaint about that name then showed the password: now the address is
// the address, and no text the run shows or records holds a password.
TEST_F(ServerUpdatlet, AQuoteInTheServerAddressNeverShowsThePassword)
{
    write(QStringLiteral("Korvane/Korvane.config"), "<Korvane><SQLNCLI>10</SQLNCLI><IP>'127.0.0.1</IP><DB>clinic</DB></Korvane>\r\n");
    writePriceList({QStringLiteral("1\t\t單方\tAC00001100\t12.5\t1130401\t1150331\tA\t1\tMG\t功\t1\tMG\t錠劑\t許")});

    const UpdatletResult result = run();

    EXPECT_EQ(result.exitCode, 1) << qPrintable(result.out);
    EXPECT_TRUE(result.err.contains(QStringLiteral("更新藥價作業失敗"))) << qPrintable(result.err);
    const QString log = QString::fromUtf8(installation.read(QStringLiteral("Korvane/UpdateLog/updates.log")));
    for (const QString& shown : {result.out, log}) {
        EXPECT_FALSE(shown.contains(QStringLiteral("62913057"))) << qPrintable(shown);
        EXPECT_TRUE(shown.contains(QStringLiteral("'127.0.0.1"))) << qPrintable(shown);
    }
    EXPECT_EQ(server.drugCodes(), ClinicServer::oldCodes());
}

} // namespace
