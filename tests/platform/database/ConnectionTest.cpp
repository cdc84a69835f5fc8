// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ClinicDatabase.h"
#include "platform/Error.h"
#include "platform/database/Connection.h"
#include "platform/database/OdbcDialect.h"
#include "platform/database/OleDbConnectionText.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using korvane::platform::Connection;
using korvane::platform::Error;
using korvane::platform::OdbcDialect;
using korvane::platform::OleDbConnectionText;
using korvane::test::ClinicDatabase;

TEST(OleDbConnectionText, ReadsSettingsAsTheProviderDoes)
{
    const OleDbConnectionText text(QStringLiteral(
        "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password='Pk@;x''y';data source = C:\\K\\db.mdb;"));
    EXPECT_EQ(text.provider(), QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
    EXPECT_EQ(text.value(QStringLiteral("Jet OLEDB:Database Password")), QStringLiteral("Pk@;x'y"));
    EXPECT_EQ(text.value(QStringLiteral("Data Source")), QStringLiteral("C:\\K\\db.mdb"));
    EXPECT_FALSE(text.contains(QStringLiteral("User ID")));

    // As the drug-bag actions write theirs: an unquoted password and no closing semicolon.
    const OleDbConnectionText drugBag(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=True;"
                       "Jet OLEDB:Database Password=Pk@rhTB40518;Data Source=/k/tools/x.mdb"));
    EXPECT_EQ(drugBag.value(QStringLiteral("Jet OLEDB:Database Password")), QStringLiteral("Pk@rhTB40518"));
    EXPECT_EQ(drugBag.value(QStringLiteral("Data Source")), QStringLiteral("/k/tools/x.mdb"));
}

// A value of Korvane.config goes into its own setting and nowhere else, whatever it holds: read
// back it is itself, and the login stays in its own settings.
TEST(OleDbConnectionText, AQuotedValueReadsBackAsItselfAndEndsNoOtherSetting)
{
    for (const QString& value : {QStringLiteral("'127.0.0.1"), QStringLiteral("a;User ID=x;Password=y"),
                                 QStringLiteral("\"q\""), QStringLiteral("it's \"both\";"), QStringLiteral(" padded "),
                                 QStringLiteral("{b}"), QStringLiteral("192.168.1.20,1433"), QString()}) {
        const QString text = QStringLiteral("Provider=SQLNCLI10;Data Source=") + OleDbConnectionText::quoted(value) +
                             QStringLiteral(";User ID=sa;Password=Pk@62913057;Initial Catalog=") +
                             OleDbConnectionText::quoted(value);
        const OleDbConnectionText read(text);
        EXPECT_EQ(read.value(QStringLiteral("Data Source")), value) << qPrintable(text);
        EXPECT_EQ(read.value(QStringLiteral("Initial Catalog")), value) << qPrintable(text);
        EXPECT_EQ(read.value(QStringLiteral("User ID")), QStringLiteral("sa")) << qPrintable(text);
        EXPECT_EQ(read.value(QStringLiteral("Password")), QStringLiteral("Pk@62913057")) << qPrintable(text);
        const QString odbc = OdbcDialect::forSqlServer(text);
        EXPECT_EQ(odbc.count(QStringLiteral("Pk@62913057")), 1) << qPrintable(odbc);
        EXPECT_TRUE(odbc.contains(QStringLiteral(";UID=sa;PWD=Pk@62913057;"))) << qPrintable(odbc);
    }
    // Ordinary values go as they always have.
    EXPECT_EQ(OleDbConnectionText::quoted(QStringLiteral("C:\\Korvane\\dbKorvane.mdb")),
              QStringLiteral("C:\\Korvane\\dbKorvane.mdb"));
}

TEST(OdbcDialect, NamesTheServerDriverByItsVersion)
{
    const struct
    {
        const char* provider;
        const char* driver;
    } cases[] = {{"SQLNCLI10", "DRIVER={SQL Server Native Client 10.0};"},
                 {"SQLNCLI11", "DRIVER={SQL Server Native Client 11.0};"},
                 {"SQLNCLI", "DRIVER={SQL Native Client};"},
                 {"sqlncli10", "DRIVER={SQL Server Native Client 10.0};"}};
    for (const auto& c : cases) {
        const QString odbc = OdbcDialect::forSqlServer(QStringLiteral("Provider=") + QString::fromUtf8(c.provider) +
                                                       QStringLiteral(";Data Source=db1;User ID=sa;Password=Pk@62913057;Initial Catalog=clinic"));
        EXPECT_TRUE(odbc.startsWith(QString::fromUtf8(c.driver))) << qPrintable(odbc);
        EXPECT_TRUE(odbc.contains(QStringLiteral("UID=sa;PWD=Pk@62913057;"))) << qPrintable(odbc);
        EXPECT_TRUE(odbc.contains(QStringLiteral("DATABASE=clinic;"))) << qPrintable(odbc);
    }
}

TEST(OdbcDialect, HandsOnTheServerPortAndBracesUnsafeValues)
{
    const QString odbc = OdbcDialect::forSqlServer(
        QStringLiteral("Provider=SQLNCLI10;Data Source=127.0.0.1,5433;User ID=sa;Password=a;b};Initial Catalog=x"));
#ifdef Q_OS_WIN
    EXPECT_TRUE(odbc.contains(QStringLiteral("SERVER=127.0.0.1,5433;")));
#else
    EXPECT_TRUE(odbc.contains(QStringLiteral("SERVER=127.0.0.1;PORT=5433;"))) << qPrintable(odbc);
#endif
    // The password ends at the first ";" of the OLE DB text, as the provider reads it.
    EXPECT_TRUE(odbc.contains(QStringLiteral("PWD=a;"))) << qPrintable(odbc);

    const QString braced = OdbcDialect::forSqlServer(
        QStringLiteral("Provider=SQLNCLI10;Data Source=h;User ID=sa;Password='p;w}d';Initial Catalog=x"));
    EXPECT_TRUE(braced.contains(QStringLiteral("PWD={p;w}}d};"))) << qPrintable(braced);
}

class ConnectionTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("dbKorvane.mdb")); }
};

// The embedded database, which these cases open, is not in the Windows build.
#ifndef Q_OS_WIN
TEST_F(ConnectionTest, OpensTheEmbeddedDatabaseNamedByTheDesktopProvider)
{
    const auto db = ClinicDatabase::create(path());
    for (const QString& provider : {QStringLiteral("Microsoft.Jet.OLEDB.4.0"), QStringLiteral("Microsoft.Jet.OleDb.4.0")}) {
        Connection connection;
        connection.setConnectionString(QStringLiteral("Provider=") + provider + QStringLiteral(";data source=") + path());
        EXPECT_EQ(connection.State(), Connection::adStateClosed);
        connection.Open();
        EXPECT_EQ(connection.State(), Connection::adStateOpen);
        connection.Execute(QStringLiteral("INSERT INTO tblTemp (pKey, pValue) VALUES ('a', 'b')"));
        connection.Close();
        EXPECT_EQ(connection.State(), Connection::adStateClosed);
        connection.Open(); // reopens with the same text
        connection.Close();
    }
    EXPECT_EQ(db.count(QStringLiteral("tblTemp")), 2);
}
#endif

TEST_F(ConnectionTest, NeverCreatesAMissingDatabase)
{
    Connection connection;
    connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path() + u';');
    try {
        connection.Open();
        FAIL() << "opened a missing database";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), Error::Kind::FileNotFound);
        EXPECT_TRUE(e.description().contains(path()));
    }
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_EQ(connection.State(), Connection::adStateClosed);
}

TEST_F(ConnectionTest, RefusesWhatIsNotADatabase)
{
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, '\x5a'));
    file.close();
    Connection connection;
    connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path());
    EXPECT_THROW(connection.Open(), Error);
    EXPECT_EQ(connection.State(), Connection::adStateClosed);

    Connection unknown;
    unknown.setConnectionString(QStringLiteral("Provider=MSDASQL;Data Source=x"));
    EXPECT_THROW(unknown.Open(), Error);
    Connection empty;
    EXPECT_THROW(empty.Open(), Error);
}

// These too open the embedded database.
#ifndef Q_OS_WIN
TEST_F(ConnectionTest, BindsValuesVerbatim)
{
    const auto db = ClinicDatabase::create(path());
    Connection connection;
    connection.setConnectionString(db.jetConnectionText());
    connection.Open();
    const QString hostile = QStringLiteral("x'); DROP TABLE tblDrugs; -- \"q\"");
    connection.Execute(QStringLiteral("INSERT INTO tblTemp (pKey, pValue) VALUES (?, ?)"), {hostile, QStringLiteral("v")});
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT pKey FROM tblTemp")).toString(), hostile);
    EXPECT_EQ(db.count(QStringLiteral("tblDrugs")), 0);
    EXPECT_THROW(connection.Execute(QStringLiteral("DELETE FROM noSuchTable")), Error);

    // A statement stays prepared from one run to the next: a run with a value missing must not
    // take the value of the run before.
    EXPECT_THROW(connection.Execute(QStringLiteral("INSERT INTO tblTemp (pKey, pValue) VALUES (?, ?)"),
                                    {QStringLiteral("k")}),
                 Error);
    EXPECT_EQ(db.count(QStringLiteral("tblTemp")), 1);
}

TEST_F(ConnectionTest, UncommittedWorkNeverSurvives)
{
    const auto db = ClinicDatabase::create(path());
    db.exec(QStringLiteral("INSERT INTO tblTemp (pKey) VALUES ('old')"));
    {
        Connection connection;
        connection.setConnectionString(db.jetConnectionText());
        connection.Open();
        connection.BeginTrans();
        connection.Execute(QStringLiteral("DELETE FROM tblTemp"));
        connection.RollbackTrans();
        EXPECT_FALSE(connection.InTransaction());
        connection.BeginTrans();
        connection.Execute(QStringLiteral("DELETE FROM tblTemp"));
        connection.Close(); // closing rolls back
        connection.Open();
        connection.BeginTrans();
        connection.Execute(QStringLiteral("DELETE FROM tblTemp"));
    } // so does going away
    EXPECT_EQ(db.count(QStringLiteral("tblTemp")), 1);

    Connection connection;
    connection.setConnectionString(db.jetConnectionText());
    connection.Open();
    connection.BeginTrans();
    connection.Execute(QStringLiteral("DELETE FROM tblTemp"));
    connection.CommitTrans();
    EXPECT_EQ(db.count(QStringLiteral("tblTemp")), 0);
}

TEST_F(ConnectionTest, ALockedDatabaseSaysSo)
{
    const auto db = ClinicDatabase::create(path());
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-writer"));
    other.setDatabaseName(path());
    ASSERT_TRUE(other.open());
    {
        QSqlQuery lock(other);
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
    }
    Connection connection;
    connection.setConnectionString(db.jetConnectionText());
    connection.Open();
    try {
        connection.Execute(QStringLiteral("DELETE FROM tblTemp"));
        FAIL() << "wrote to a locked database";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), Error::Kind::DatabaseLocked);
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("資料庫正被其他程式使用中"))) << qPrintable(e.description());
        // The driver's words follow, Qt's part of them in Chinese.
        EXPECT_TRUE(e.description().contains(QStringLiteral("database is locked 無法抓取列"))) << qPrintable(e.description());
    }
    QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));

    // A reader keeps the writer's commit waiting: that too is a lock, not an unknown failure.
    QSqlQuery reading(other);
    ASSERT_TRUE(reading.exec(QStringLiteral("BEGIN")));
    ASSERT_TRUE(reading.exec(QStringLiteral("SELECT count(*) FROM tblTemp")) && reading.next());
    connection.BeginTrans();
    connection.Execute(QStringLiteral("DELETE FROM tblTemp"));
    try {
        connection.CommitTrans();
        FAIL() << "committed under a reader's lock";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), Error::Kind::DatabaseLocked) << qPrintable(e.description());
    }
    connection.RollbackTrans();
    reading.finish();
    QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("other-writer"));
}

// An error the dialect has no words of its own for still begins with a sentence for the clinic.
TEST_F(ConnectionTest, AnyOtherDatabaseErrorIsToldInChineseBeforeTheDriversText)
{
    const auto db = ClinicDatabase::create(path());
    Connection connection;
    connection.setConnectionString(db.jetConnectionText());
    connection.Open();
    try {
        connection.Execute(QStringLiteral("DELETE FROM tblNoSuchTable"));
        FAIL() << "ran a statement on a missing table";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("資料庫回報了錯誤，這個動作沒有完成。請記下這段訊息並告訴資訊人員。（")) &&
                    e.description().contains(QStringLiteral("no such table: tblNoSuchTable")))
            << qPrintable(e.description());
    }
}
#endif
