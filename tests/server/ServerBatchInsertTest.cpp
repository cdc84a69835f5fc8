// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// New rows sent to the server several to a statement, as an import sends them: every row
// arrives once and exactly as given, the rows the server refuses are reported alone, and a
// transaction the server ends takes every row with it.

#include "ClinicServer.h"
#include "QtPrinters.h"
#include "platform/Error.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

#include <QDateTime>
#include <QSet>
#include <gtest/gtest.h>
#include <memory>

using korvane::platform::Connection;
using korvane::platform::Error;
using korvane::platform::Recordset;
using korvane::test::ClinicServer;

namespace {

// Rows of 14 columns, as an import sets them: 149 go in one statement.
constexpr int kRowsPerStatement = 149;

QString code(int n)
{
    return QStringLiteral("B%1").arg(n, 9, 10, QLatin1Char('0'));
}

class ServerBatchInsert : public korvane::test::ServerTest
{
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        recordset.setRefusedRowHandler([this](qint64 tag, const Error& reason) {
            refused << tag;
            EXPECT_EQ(reason.kind(), Error::Kind::DatabaseRefused) << qPrintable(reason.description());
        });
    }

    // The run's own connection, in a transaction, and its insert cursor: from here on the run
    // holds tblDrugs, and the test's own connections can only read it.
    void begin(const QString& driverSettings = {})
    {
        recordset.Close();
        connection = std::make_shared<Connection>();
        connection->setConnectionString(server.connectionText(driverSettings));
        connection->Open();
        connection->BeginTrans();
        recordset.Open(QStringLiteral("SELECT * FROM tblDrugs WHERE id=-2"), connection, Recordset::adOpenDynamic,
                       Recordset::adLockOptimistic);
    }

    // A drug row with its fourteen columns set, as an import sets them.
    void add(int n, double price = 12.5)
    {
        const QDateTime date(QDate(2024, 4, 1), QTime(0, 0));
        const QVariantList values{QStringLiteral("1"), QStringLiteral("單方"), code(n), price, date, date.addYears(2),
                                  QStringLiteral("DRUG %1").arg(n), 1, QStringLiteral("MG"), QStringLiteral("功"), 2,
                                  QStringLiteral("MG"), QStringLiteral("錠劑"), QStringLiteral("許")};
        recordset.AddNew(n);
        for (int i = 0; i < values.size(); ++i)
            recordset.setValue(i + 1, values[i]); // the columns after id
        recordset.Update();
    }

    // The rows this run's own connection sees, its uncommitted ones included.
    int rowsSeenByTheRun() const
    {
        Recordset count;
        count.Open(QStringLiteral("SELECT COUNT(*) FROM tblDrugs"), connection);
        return count.value(0).toInt();
    }

    // As drugCodes() reads them, in code order.
    static QStringList codes(int rows, const QSet<int>& leftOut = {})
    {
        QStringList result;
        for (int n = 0; n < rows; ++n) {
            if (!leftOut.contains(n))
                result << code(n);
        }
        return result + ClinicServer::oldCodes();
    }

    std::shared_ptr<Connection> connection;
    Recordset recordset;
    QList<qint64> refused;
};

TEST_F(ServerBatchInsert, EveryRowArrivesOnceWhereverTheStatementsEnd)
{
    for (const int rows : {0, 1, kRowsPerStatement - 1, kRowsPerStatement, kRowsPerStatement + 1,
                           2 * kRowsPerStatement + 1}) {
        SCOPED_TRACE(rows);
        server.resetTables();
        begin();
        for (int n = 0; n < rows; ++n)
            add(n);
        // Rows wait until a statement is full; those of a full one are in.
        EXPECT_EQ(rowsSeenByTheRun(), 3 + rows / kRowsPerStatement * kRowsPerStatement);
        recordset.Flush();
        EXPECT_EQ(rowsSeenByTheRun(), 3 + rows);
        connection->CommitTrans();
        EXPECT_EQ(server.drugCodes(), codes(rows));
        EXPECT_TRUE(refused.isEmpty());
    }
}

TEST_F(ServerBatchInsert, ExactlyTheRowsTheServerRefusesAreLeftOutAndReported)
{
    server.exec(
        QStringLiteral("ALTER TABLE tblDrugs ADD CONSTRAINT korvane_test_price CHECK (藥價參考金額 < 1000)"));
    // The first and last rows of the first statement, one in the middle one, the very last row.
    const int rows = 2 * kRowsPerStatement + 100;
    const QSet<int> expensive{0, kRowsPerStatement - 1, kRowsPerStatement + 70, rows - 1};
    begin();
    for (int n = 0; n < rows; ++n)
        add(n, expensive.contains(n) ? 5000 : 12.5);
    recordset.Flush();
    connection->CommitTrans();

    EXPECT_EQ(refused, (QList<qint64>{0, kRowsPerStatement - 1, kRowsPerStatement + 70, rows - 1}));
    EXPECT_EQ(server.drugCodes(), codes(rows, expensive));
}

TEST_F(ServerBatchInsert, RowsArriveExactlyAsGivenAndWhatARowLeavesUnsetTakesTheDefault)
{
    begin();
    const QString name = QStringLiteral("O'BRIEN \"X\" \\ 功許 -- ;");
    recordset.AddNew(1);
    recordset.setValue(QStringLiteral("代碼"), QStringLiteral("Q1"));
    recordset.setValue(QStringLiteral("藥品英文名稱"), name);
    recordset.setValue(QStringLiteral("藥品規格量"), 0.1 + 0.2);
    recordset.setValue(QStringLiteral("藥價參考日期"), QDateTime(QDate(2024, 2, 29), QTime(0, 0)));
    recordset.Update();
    // Leaves 藥品規格量 (default 0) and the date (no default) unset.
    recordset.AddNew(2);
    recordset.setValue(QStringLiteral("代碼"), QStringLiteral("Q2"));
    recordset.setValue(QStringLiteral("藥品英文名稱"), QStringLiteral("功\\許\\"));
    recordset.Update();
    // Sets them to nothing.
    recordset.AddNew(3);
    recordset.setValue(QStringLiteral("代碼"), QStringLiteral("Q3"));
    recordset.setValue(QStringLiteral("藥品規格量"), QVariant());
    recordset.setValue(QStringLiteral("藥價參考日期"), QVariant());
    recordset.Update();
    recordset.Flush();
    connection->CommitTrans();

    const auto rows = server.rows(QStringLiteral(
        "SELECT 代碼, 藥品英文名稱, 藥品規格量, 藥價參考日期 FROM tblDrugs WHERE 代碼 LIKE 'Q%' ORDER BY 代碼"));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0][1].toString(), name);
    EXPECT_EQ(rows[0][2].toDouble(), 0.1 + 0.2);
    EXPECT_EQ(rows[0][3].toDateTime(), QDateTime(QDate(2024, 2, 29), QTime(0, 0)));
    EXPECT_EQ(rows[1][1].toString(), QStringLiteral("功\\許\\"));
    EXPECT_EQ(rows[1][2].toDouble(), 0.0);
    EXPECT_TRUE(rows[1][3].isNull());
    EXPECT_TRUE(rows[2][2].isNull());
    EXPECT_TRUE(rows[2][3].isNull());
}

TEST_F(ServerBatchInsert, ATransactionTheServerEndsMidRunTakesEveryRowWithIt)
{
    const struct
    {
        const char* what;
        std::function<void()> end;
        QString says;
    } cases[] = {
        {"connection ended by the server",
         [this] {
             server.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = "
                                        "'clinic' AND pid <> pg_backend_pid()"));
         },
         QStringLiteral("無法連線到資料庫")},
        {"transaction aborted by the server",
         [this] { EXPECT_THROW(connection->Execute(QStringLiteral("SAVEPOINT korvane_test; SELECT 1/0")), Error); },
         QStringLiteral("資料庫伺服器已中止這次的交易")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        begin();
        connection->Execute(QStringLiteral("DELETE FROM tblDrugs"));
        int n = 0;
        while (n < kRowsPerStatement + 10)
            add(n++);
        c.end();
        try {
            while (n < 3 * kRowsPerStatement)
                add(n++);
            recordset.Flush();
            ADD_FAILURE() << "every row was taken after the transaction had ended";
        } catch (const Error& error) {
            EXPECT_TRUE(error.description().startsWith(c.says)) << qPrintable(error.description());
        }
        EXPECT_TRUE(connection->transactionEnded());
        EXPECT_THROW(connection->CommitTrans(), Error);
        EXPECT_NO_THROW(connection->RollbackTrans());
        recordset.Close();
        EXPECT_EQ(server.drugCodes(), ClinicServer::oldCodes());
        EXPECT_TRUE(refused.isEmpty());
    }
}

TEST_F(ServerBatchInsert, ACommitNeverLeavesWaitingRowsBehind)
{
    begin();
    add(1);
    add(2);
    EXPECT_THROW(connection->CommitTrans(), Error);
    // Closing drops them: the commit goes on without them.
    recordset.Close();
    connection->CommitTrans();
    EXPECT_EQ(server.drugCodes(), ClinicServer::oldCodes());
}

// The stand-in's driver rolls the whole transaction back by itself on an error when asked to, as
// SQL Server does under XACT_ABORT: a plain statement afterwards still succeeds, in a transaction
// of its own, and the rows after it would be committed without the ones before. The refused row
// ends the run instead, and nothing of it is kept.
TEST_F(ServerBatchInsert, ATransactionTheServerRolledBackByItselfAfterARefusedRowKeepsNothing)
{
    server.exec(
        QStringLiteral("ALTER TABLE tblDrugs ADD CONSTRAINT korvane_test_price CHECK (藥價參考金額 < 1000)"));
    begin(QStringLiteral("Protocol=7.4-1"));
    connection->Execute(QStringLiteral("DELETE FROM tblDrugs"));
    try {
        for (int n = 0; n < 3 * kRowsPerStatement; ++n)
            add(n, n == kRowsPerStatement + 5 ? 5000 : 12.5);
        recordset.Flush();
        ADD_FAILURE() << "the rows after the server's own rollback were taken";
    } catch (const Error& error) {
        EXPECT_TRUE(error.description().contains(QStringLiteral("資料庫已自行中止這次的交易，所有變更都沒有寫入。"))) << qPrintable(error.description());
    }
    EXPECT_TRUE(connection->transactionEnded());
    EXPECT_THROW(connection->CommitTrans(), Error);
    EXPECT_NO_THROW(connection->RollbackTrans());
    recordset.Close();
    EXPECT_EQ(server.drugCodes(), ClinicServer::oldCodes());
}

// A server's VARCHAR holds bytes of its code page (two a Chinese character), its NVARCHAR
// characters. The stand-in's driver describes its varchar as either kind, and a check in Big5
// bytes makes the first real. A value too long for its column leaves that column unset and the
// row stored, as the desktop road does; a value that fits is taken whole.
TEST_F(ServerBatchInsert, TextLimitsAreCountedInTheColumnsOwnUnit)
{
    const struct
    {
        const char* kind;
        const char* driverSettings;
        bool bigFiveBytes; // the server's check
        QString fits, tooLong, says;
    } cases[] = {{"VARCHAR(2)", "AB=0x4", true, QStringLiteral("功"), QStringLiteral("功許"), QStringLiteral("最多只能存放 2 個位元組")},
                 {"NVARCHAR(2)", "", false, QStringLiteral("功許"), QStringLiteral("功許功"), QStringLiteral("最多只能存放 2 個字元")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        server.resetTables();
        if (c.bigFiveBytes)
            server.exec(QStringLiteral("ALTER TABLE tblDrugs ADD CONSTRAINT korvane_test_bytes "
                                       "CHECK (octet_length(convert_to(新, 'BIG5')) <= 2)"));
        begin(QString::fromLatin1(c.driverSettings));
        recordset.AddNew(1);
        recordset.setValue(QStringLiteral("代碼"), QStringLiteral("T1"));
        recordset.setValue(QStringLiteral("新"), c.fits);
        recordset.Update();
        recordset.AddNew(2);
        recordset.setValue(QStringLiteral("代碼"), QStringLiteral("T2"));
        try {
            recordset.setValue(QStringLiteral("新"), c.tooLong);
            ADD_FAILURE() << "the column took a value too long for it";
        } catch (const Error& error) {
            EXPECT_TRUE(error.description().contains(c.says)) << qPrintable(error.description());
        }
        recordset.Update();
        recordset.Flush();
        connection->CommitTrans();
        EXPECT_TRUE(refused.isEmpty()) << "a row was refused";
        const auto rows = server.rows(QStringLiteral("SELECT 代碼, 新 FROM tblDrugs WHERE 代碼 LIKE 'T%' ORDER BY 代碼"));
        ASSERT_EQ(rows.size(), 2);
        EXPECT_EQ(rows[0][1].toString(), c.fits);
        EXPECT_TRUE(rows[1][1].isNull());
        refused.clear();
    }
}

} // namespace
