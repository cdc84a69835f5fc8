// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ClinicConnection.h"
#include "platform/Error.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"
#include "platform/database/SqliteRowStatement.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every case works on the embedded database, which is not in the Windows build.
#ifndef Q_OS_WIN

using korvane::platform::Connection;
using korvane::platform::Error;
using korvane::platform::Recordset;
using korvane::platform::SqliteRowStatement;
using korvane::test::ClinicConnection;

class RecordsetTest : public ::testing::Test
{
protected:
    void openInsertCursor(Recordset& rs)
    {
        rs.Open(QStringLiteral("SELECT * FROM tblDrugs WHERE id=-2"), clinic.connection, Recordset::adOpenDynamic,
                Recordset::adLockOptimistic);
    }

    QTemporaryDir dir;
    ClinicConnection clinic{dir.filePath(QStringLiteral("dbKorvane.mdb"))};
};

TEST_F(RecordsetTest, AnEmptyResultIsAtBothEnds)
{
    Recordset rs;
    openInsertCursor(rs);
    EXPECT_TRUE(rs.Bof());
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_THROW(rs.value(QStringLiteral("代碼")), Error);
    EXPECT_THROW(rs.MoveNext(), Error);
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("代碼")), 3);
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("ID")), 0); // names compare without regard to case
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("nothing")), -1);
}

TEST_F(RecordsetTest, AddsRowsWithConvertedValuesAndLeavesUnsetColumnsToTheirDefaults)
{
    clinic.db.exec(QStringLiteral("ALTER TABLE tblDrugs ADD COLUMN 自費 BOOLEAN DEFAULT 0"));
    Recordset rs;
    openInsertCursor(rs);
    rs.AddNew();
    rs.setValue(QStringLiteral("代碼"), QStringLiteral("AC12345100"));
    rs.setValue(QStringLiteral("藥價參考金額"), QStringLiteral("1,234.50"));
    rs.setValue(QStringLiteral("藥價參考日期"), QStringLiteral("1130401"));
    rs.setValue(QStringLiteral("藥品英文名稱"), QStringLiteral("it's \"quoted\"; -- not SQL"));
    rs.Update();
    EXPECT_FALSE(rs.Eof());
    EXPECT_EQ(rs.value(QStringLiteral("代碼")).toString(), QStringLiteral("AC12345100"));
    EXPECT_EQ(rs.RecordCount(), 1);

    const auto rows = clinic.db.rows(QStringLiteral(
        "SELECT 代碼, 藥價參考金額, 藥價參考日期, 藥品英文名稱, 藥品規格量, 自費, 藥價參考截止日期 FROM tblDrugs"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][0].toString(), QStringLiteral("AC12345100"));
    EXPECT_DOUBLE_EQ(rows[0][1].toDouble(), 1234.5);
    EXPECT_EQ(rows[0][2].toString(), QStringLiteral("2024-04-01 00:00:00"));
    EXPECT_EQ(rows[0][3].toString(), QStringLiteral("it's \"quoted\"; -- not SQL"));
    EXPECT_EQ(rows[0][4].toInt(), 0); // column default
    EXPECT_EQ(rows[0][5].toInt(), 0);
    EXPECT_TRUE(rows[0][6].isNull());
}

TEST_F(RecordsetTest, AValueTheColumnRefusesFailsThatAssignmentAlone)
{
    Recordset rs;
    openInsertCursor(rs);
    rs.AddNew();
    rs.setValue(QStringLiteral("代碼"), QStringLiteral("AC1"));
    EXPECT_THROW(rs.setValue(QStringLiteral("代碼"), QString(13, u'X')), Error); // VARCHAR(12)
    rs.setValue(QStringLiteral("代碼"), QString(12, u'功'));                      // characters, not bytes
    EXPECT_THROW(rs.setValue(QStringLiteral("藥價參考日期"), QStringLiteral("2024/2/30")), Error);
    EXPECT_THROW(rs.setValue(QStringLiteral("藥價參考金額"), QStringLiteral("12元")), Error);
    EXPECT_THROW(rs.setValue(QStringLiteral("沒有這欄"), 1), Error);
    rs.setValue(QStringLiteral("藥價參考金額"), 0);
    rs.Update();
    const auto rows = clinic.db.rows(QStringLiteral("SELECT 代碼, 藥價參考日期, 藥價參考金額 FROM tblDrugs"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][0].toString(), QString(12, u'功'));
    EXPECT_TRUE(rows[0][1].isNull());
    EXPECT_EQ(rows[0][2].toDouble(), 0.0);
}

TEST_F(RecordsetTest, ARowTheDatabaseRefusesIsDroppedAndTheNextStartsClean)
{
    clinic.db.exec(QStringLiteral("CREATE TABLE strict (id INTEGER PRIMARY KEY, name VARCHAR(10) NOT NULL, note VARCHAR(10))"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM strict WHERE id=-2"), clinic.connection, Recordset::adOpenDynamic,
            Recordset::adLockOptimistic);
    rs.AddNew();
    rs.setValue(QStringLiteral("note"), QStringLiteral("first"));
    EXPECT_THROW(rs.Update(), Error);
    rs.AddNew();
    rs.setValue(QStringLiteral("name"), QStringLiteral("second"));
    rs.Update();
    const auto rows = clinic.db.rows(QStringLiteral("SELECT name, note FROM strict"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][0], QStringLiteral("second"));
    EXPECT_TRUE(rows[0][1].isNull());
}

TEST_F(RecordsetTest, WithAHandlerTheRowsTheDatabaseRefusesAreReportedByTagAndTheRestStored)
{
    clinic.db.exec(QStringLiteral("CREATE TABLE strict (id INTEGER PRIMARY KEY, name VARCHAR(10) NOT NULL UNIQUE, "
                            "note VARCHAR(10) CHECK (note <> 'bad'))"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM strict WHERE id=-2"), clinic.connection, Recordset::adOpenDynamic,
            Recordset::adLockOptimistic);
    QList<qint64> refused;
    rs.setRefusedRowHandler([&refused](qint64 tag, const Error& reason) {
        refused << tag;
        EXPECT_EQ(reason.kind(), Error::Kind::DatabaseRefused) << qPrintable(reason.description());
    });
    const struct
    {
        qint64 tag;
        QVariant name;
        QVariant note;
    } rows[] = {
        {10, QStringLiteral("a"), QStringLiteral("fine")},
        {11, QVariant(), QStringLiteral("no name")}, // NOT NULL
        {12, QStringLiteral("a"), QVariant()},       // UNIQUE
        {13, QStringLiteral("c"), QStringLiteral("bad")},
        {14, QStringLiteral("b"), QVariant()},
    };
    clinic.connection->BeginTrans();
    for (const auto& row : rows) {
        rs.AddNew(row.tag);
        if (!row.name.isNull())
            rs.setValue(QStringLiteral("name"), row.name);
        rs.setValue(QStringLiteral("note"), row.note);
        // A value the column refuses still fails its assignment, at once.
        EXPECT_THROW(rs.setValue(QStringLiteral("note"), QString(11, u'x')), Error);
        EXPECT_NO_THROW(rs.Update());
    }
    rs.Flush();
    clinic.connection->CommitTrans();
    EXPECT_EQ(refused, (QList<qint64>{11, 12, 13}));
    EXPECT_EQ(clinic.db.rows(QStringLiteral("SELECT name FROM strict ORDER BY name")),
              (QList<QVariantList>{{QStringLiteral("a")}, {QStringLiteral("b")}}));
}

// Rows added one after the other share nothing: what the second row leaves unset is not the
// first row's text or date, also where the second row's own value was refused.
TEST_F(RecordsetTest, EachNewRowHoldsOnlyWhatItSets)
{
    Recordset rs;
    openInsertCursor(rs);
    const int code = rs.fieldIndex(QStringLiteral("代碼"));
    const int name = rs.fieldIndex(QStringLiteral("藥品英文名稱"));
    rs.AddNew();
    rs.setText(code, u"FIRST00100");
    rs.setText(name, u"FIRST NAME");
    rs.setValue(QStringLiteral("藥價參考日期"), QDateTime(QDate(2024, 4, 1), QTime(0, 0), Qt::UTC));
    rs.AddNew();
    EXPECT_TRUE(rs.value(name).isNull());
    rs.setText(code, u"SECOND0100");
    EXPECT_THROW(rs.setText(name, QString(256, u'N')), Error); // VARCHAR(255)
    rs.Update();
    EXPECT_TRUE(rs.value(name).isNull());
    EXPECT_EQ(rs.value(code).toString(), QStringLiteral("SECOND0100"));
    const auto rows = clinic.db.rows(QStringLiteral("SELECT 代碼, 藥品英文名稱, 藥價參考日期 FROM tblDrugs ORDER BY id"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], (QVariantList{QStringLiteral("FIRST00100"), QStringLiteral("FIRST NAME"),
                                     QStringLiteral("2024-04-01 00:00:00")}));
    EXPECT_EQ(rows[1][0], QStringLiteral("SECOND0100"));
    EXPECT_TRUE(rows[1][1].isNull() && rows[1][2].isNull());
}

// Dates as written are stored by their own arithmetic; it must agree with the calendar's.
TEST(SqliteDates, AreStoredAsWrittenAcrossTheCalendar)
{
    char buffer[24];
    for (QDate date(1, 1, 1); date <= QDate(9999, 12, 31); date = date.addDays(97)) {
        for (const QTime time : {QTime(0, 0), QTime(12, 34, 56), QTime(23, 59, 59)}) {
            const int length = SqliteRowStatement::formatDateTime(QDateTime(date, time, Qt::UTC), buffer);
            ASSERT_EQ(QString::fromLatin1(buffer, length),
                      date.toString(QStringLiteral("yyyy-MM-dd ")) + time.toString(QStringLiteral("HH:mm:ss")));
        }
    }
}

TEST_F(RecordsetTest, AddNewSavesTheRowBeingAdded)
{
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM tblTemp WHERE pKey='@'"), clinic.connection, Recordset::adOpenDynamic,
            Recordset::adLockOptimistic);
    for (const char* key : {"a", "b", "c"}) {
        rs.AddNew();
        rs.setValue(QStringLiteral("pKey"), QString::fromUtf8(key));
    }
    rs.Update();
    EXPECT_EQ(clinic.db.count(QStringLiteral("tblTemp")), 3);
}

TEST_F(RecordsetTest, ReadsChangesAndDeletesStoredRows)
{
    clinic.db.exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 藥價參考金額, 藥價參考日期) VALUES ('A', 1.5, '2024-04-01 00:00:00')"));
    clinic.db.exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 藥價參考金額) VALUES ('B', 2)"));
    clinic.db.exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 藥價參考金額) VALUES ('C', 3)"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM tblDrugs ORDER BY 代碼"), clinic.connection, Recordset::adOpenDynamic,
            Recordset::adLockOptimistic);
    EXPECT_FALSE(rs.Bof());
    EXPECT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(rs.value(QStringLiteral("藥價參考日期")).toDateTime(), QDateTime(QDate(2024, 4, 1), QTime(0, 0)));
    rs.MoveNext();
    rs.setValue(QStringLiteral("藥價參考金額"), 20.25);
    rs.MoveNext(); // moving on saves the change
    rs.Delete();
    EXPECT_THROW(rs.value(QStringLiteral("代碼")), Error);
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(clinic.db.rows(QStringLiteral("SELECT 代碼, 藥價參考金額 FROM tblDrugs ORDER BY 代碼")),
              (QList<QVariantList>{{QStringLiteral("A"), 1.5}, {QStringLiteral("B"), 20.25}}));

    Recordset readOnly;
    readOnly.Open(QStringLiteral("SELECT * FROM tblDrugs"), clinic.connection);
    EXPECT_THROW(readOnly.setValue(QStringLiteral("代碼"), QStringLiteral("X")), Error);
    EXPECT_THROW(readOnly.AddNew(), Error);
}

TEST_F(RecordsetTest, AKeysetCursorCountsItsRowsAndReadsThemInOrder)
{
    for (const char* code : {"C", "A", "B"})
        clinic.db.exec(QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES (?)"), {QString::fromUtf8(code)});
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM tblDrugs WHERE 代碼 <> ? ORDER BY 代碼;"), clinic.connection,
            Recordset::adOpenKeyset, Recordset::adLockOptimistic, {QStringLiteral("B")});
    EXPECT_FALSE(rs.Bof());
    EXPECT_EQ(rs.RecordCount(), 2);
    QStringList codes;
    for (; !rs.Eof(); rs.MoveNext()) {
        codes << rs.value(QStringLiteral("代碼")).toString();
        rs.setValue(QStringLiteral("藥價參考金額"), 9.5); // saved on moving on
    }
    EXPECT_EQ(codes, (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
    EXPECT_EQ(clinic.db.rows(QStringLiteral("SELECT 代碼 FROM tblDrugs WHERE 藥價參考金額 = 9.5 ORDER BY 代碼")),
              (QList<QVariantList>{{QStringLiteral("A")}, {QStringLiteral("C")}}));
    EXPECT_FALSE(rs.Bof()); // it had rows, though it has read them all
    EXPECT_THROW(rs.MoveNext(), Error);

    Recordset none;
    none.Open(QStringLiteral("SELECT * FROM tblDrugs WHERE 代碼 = 'X'"), clinic.connection, Recordset::adOpenKeyset,
              Recordset::adLockOptimistic);
    EXPECT_TRUE(none.Bof());
    EXPECT_TRUE(none.Eof());
    EXPECT_EQ(none.RecordCount(), 0);
}

TEST_F(RecordsetTest, ValuesAreBoundSoNoValueChangesTheStatement)
{
    clinic.db.exec(QStringLiteral("INSERT INTO tblTemp (pKey, pValue) VALUES ('a', '1'), ('b''', '2')"));
    const QString statement = QStringLiteral("SELECT * FROM tblTemp WHERE pKey=?");
    for (const auto& [key, rows] :
         std::initializer_list<std::pair<QString, long>>{{QStringLiteral("a"), 1},
                                                         {QStringLiteral("x' OR '1'='1"), 0},
                                                         {QStringLiteral("b'"), 1},
                                                         {QStringLiteral("a"), 1}}) {
        Recordset rs;
        rs.Open(statement, clinic.connection, Recordset::adOpenDynamic, Recordset::adLockOptimistic, {key});
        EXPECT_EQ(rs.RecordCount(), rows) << qPrintable(key);
    }
    // One statement at a time: what follows a first statement is refused, not passed over.
    Recordset rs;
    EXPECT_THROW(rs.Open(QStringLiteral("SELECT * FROM tblTemp WHERE pKey=?; DELETE FROM tblTemp"),
                         clinic.connection, Recordset::adOpenDynamic, Recordset::adLockOptimistic,
                         {QStringLiteral("a")}),
                 Error);
    EXPECT_EQ(clinic.db.count(QStringLiteral("tblTemp")), 2);
}

TEST_F(RecordsetTest, AFieldGivenTheValueItHoldsIsNotWrittenAgain)
{
    clinic.db.exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 藥價參考金額) VALUES ('A', 1)"));
    clinic.db.exec(QStringLiteral("CREATE TRIGGER touched AFTER UPDATE OF 代碼 ON tblDrugs "
                            "BEGIN INSERT INTO tblTemp (pKey) VALUES ('代碼 written'); END"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM tblDrugs"), clinic.connection, Recordset::adOpenDynamic,
            Recordset::adLockOptimistic);
    rs.setValue(QStringLiteral("代碼"), QStringLiteral("A"));
    rs.setValue(QStringLiteral("藥價參考金額"), 2.0);
    rs.Update();
    EXPECT_EQ(clinic.db.scalar(QStringLiteral("SELECT 藥價參考金額 FROM tblDrugs")).toDouble(), 2.0);
    EXPECT_EQ(clinic.db.count(QStringLiteral("tblTemp")), 0);
}
#endif
