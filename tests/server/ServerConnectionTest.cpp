// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The database layer on a real server: how its failures read, what a transaction promises,
// and that values arrive exactly as they were given.

#include "ClinicServer.h"
#include "platform/Error.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <memory>

using korvane::platform::Connection;
using korvane::platform::Error;
using korvane::platform::Recordset;
using korvane::test::ClinicServer;

namespace {

class ServerConnection : public korvane::test::ServerTest
{
protected:
    std::shared_ptr<Connection> open(const QString& text) const
    {
        auto connection = std::make_shared<Connection>();
        connection->setConnectionString(text);
        connection->Open();
        return connection;
    }
};

TEST_F(ServerConnection, OpenFailuresTellTheClinicWhatToCheck)
{
    const QString port = QString::number(server.port());
    const struct
    {
        const char* what;
        QString text;
        Error::Kind kind;
        QString begins;
    } cases[] = {
        {"wrong password",
         QStringLiteral("Provider=SQLNCLI10;Data Source=127.0.0.1,") + port +
             QStringLiteral(";User ID=sa;Password=wrong;Initial Catalog=clinic"),
         Error::Kind::DatabaseUnreachable, QStringLiteral("無法連線到資料庫，請確認資料庫伺服器已開啟")},
        {"no such database",
         QStringLiteral("Provider=SQLNCLI10;Data Source=127.0.0.1,") + port +
             QStringLiteral(";User ID=sa;Password=Pk@62913057;Initial Catalog=nosuchclinic"),
         Error::Kind::DatabaseUnreachable, QStringLiteral("無法連線到資料庫，請確認資料庫伺服器已開啟")},
        {"nothing listening",
         QStringLiteral("Provider=SQLNCLI10;Data Source=127.0.0.1,1;User ID=sa;Password=Pk@62913057;Initial "
                        "Catalog=clinic"),
         Error::Kind::DatabaseUnreachable, QStringLiteral("無法連線到資料庫，請確認資料庫伺服器已開啟")},
        {"client driver not installed",
         QStringLiteral("Provider=SQLNCLI11;Data Source=127.0.0.1,") + port +
             QStringLiteral(";User ID=sa;Password=Pk@62913057;Initial Catalog=clinic"),
         Error::Kind::DatabaseUnreachable,
         QStringLiteral("找不到資料庫驅動程式「SQL Server Native Client 11.0」")},
        {"unversioned client driver not installed",
         QStringLiteral("Provider=SQLNCLI;Data Source=127.0.0.1,") + port +
             QStringLiteral(";User ID=sa;Password=Pk@62913057;Initial Catalog=clinic"),
         Error::Kind::DatabaseUnreachable, QStringLiteral("找不到資料庫驅動程式「SQL Native Client」")},
    };
    for (const auto& c : cases) {
        Connection connection;
        connection.setConnectionString(c.text);
        try {
            connection.Open();
            ADD_FAILURE() << c.what << ": opened";
        } catch (const Error& error) {
            EXPECT_EQ(error.kind(), c.kind) << c.what << ": " << qPrintable(error.description());
            EXPECT_TRUE(error.description().startsWith(c.begins))
                << c.what << ": " << qPrintable(error.description());
        }
        EXPECT_EQ(connection.State(), Connection::adStateClosed) << c.what;
    }
}

TEST_F(ServerConnection, ATransactionTheServerHasAbortedIsNeverReportedAsCommitted)
{
    const auto connection = open(server.connectionText());
    connection->BeginTrans();
    connection->Execute(QStringLiteral("INSERT INTO tblTemp (pKey, pValue) VALUES (?, ?)"),
                        {QStringLiteral("UP52407301"), QStringLiteral("done")});
    // A statement that leaves the server's transaction aborted behind the driver's back: from
    // here the server answers a commit with a rollback.
    EXPECT_THROW(connection->Execute(QStringLiteral("SAVEPOINT korvane_test; SELECT 1/0")), Error);

    try {
        connection->CommitTrans();
        ADD_FAILURE() << "the commit was reported as done";
    } catch (const Error& error) {
        EXPECT_TRUE(error.description().startsWith(QStringLiteral("資料庫伺服器已中止這次的交易")))
            << qPrintable(error.description());
    }
    connection->RollbackTrans();
    EXPECT_EQ(server.count(QStringLiteral("tblTemp")), 0);

    // The connection goes on working after the rollback.
    connection->Execute(QStringLiteral("INSERT INTO tblTemp (pKey, pValue) VALUES (?, ?)"),
                        {QStringLiteral("k"), QStringLiteral("v")});
    EXPECT_EQ(server.count(QStringLiteral("tblTemp")), 1);
}

TEST_F(ServerConnection, RowsArriveExactlyAsGivenAndTooLongTextIsRefusedByColumn)
{
    const auto connection = open(server.connectionText());
    Recordset recordset;
    recordset.Open(QStringLiteral("SELECT * FROM tblDrugs WHERE id=-2"), connection, Recordset::adOpenDynamic,
                   Recordset::adLockOptimistic);
    const QString name = QStringLiteral("O'BRIEN \"X\"; DROP TABLE tblDrugs; --");
    const QString ingredients = QStringLiteral("功許蓋").repeated(3000); // longer than any fixed length
    recordset.AddNew();
    recordset.setValue(QStringLiteral("代碼"), QStringLiteral("AB12345678"));
    recordset.setValue(QStringLiteral("藥品英文名稱"), name);
    recordset.setValue(QStringLiteral("成份"), ingredients);
    recordset.setValue(QStringLiteral("藥價參考金額"), 0.1 + 0.2);
    recordset.setValue(QStringLiteral("藥價參考日期"), QDateTime(QDate(2024, 2, 29), QTime(0, 0)));
    // The server's column lengths hold: 13 characters do not fit 代碼 (12) and leave it as it was.
    EXPECT_THROW(recordset.setValue(QStringLiteral("代碼"), QStringLiteral("AB12345678901")), Error);
    recordset.Update();
    recordset.Close();

    const auto rows = server.rows(
        QStringLiteral("SELECT 代碼, 藥品英文名稱, 成份, 藥價參考金額, 藥價參考日期 FROM tblDrugs "
                       "WHERE 代碼 NOT LIKE 'OLD%'"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][0].toString(), QStringLiteral("AB12345678"));
    EXPECT_EQ(rows[0][1].toString(), name);
    EXPECT_EQ(rows[0][2].toString(), ingredients);
    EXPECT_EQ(rows[0][3].toDouble(), 0.1 + 0.2);
    EXPECT_EQ(rows[0][4].toDateTime(), QDateTime(QDate(2024, 2, 29), QTime(0, 0)));
    EXPECT_EQ(server.count(QStringLiteral("tblDrugs")), ClinicServer::oldCodes().size() + 1);
}

} // namespace
