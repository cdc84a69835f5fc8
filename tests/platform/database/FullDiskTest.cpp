// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// A disk that fills up in the middle of a transaction, on a real file system: a small one of
// the test's own. SQLite then rolls the whole transaction back by itself; nothing written after
// that may be committed on its own.

#include "ClinicConnection.h"
#include "QtPrinters.h"
#include "SmallDisk.h"
#include "platform/Error.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>

// The embedded database is not in the Windows build.
#ifndef Q_OS_WIN

using korvane::platform::Connection;
using korvane::platform::Error;
using korvane::platform::Recordset;

namespace {

class FullDisk : public ::testing::Test
{
protected:
    void SetUp() override { KORVANE_REQUIRE_SMALL_DISK(disk); }

    QTemporaryDir dir;
    // Room for the empty database, the old rows and a few dozen new ones.
    korvane::test::SmallDisk disk{dir.path(), 192 << 10};
};

TEST_F(FullDisk, EndsTheTransactionAndEveryLaterStatementRefusesToWrite)
{
    const QString ingredients = QStringLiteral("功許").repeated(1000);
    const struct
    {
        const char* what;
        std::function<void(Connection&, Recordset&, int)> add; // one new row; throws when it fails
    } roads[] = {
        {"recordset with a refused-row handler",
         [&](Connection&, Recordset& rs, int n) {
             rs.AddNew(n);
             rs.setValue(QStringLiteral("代碼"), QStringLiteral("NEW%1").arg(n));
             rs.setValue(QStringLiteral("成份"), ingredients);
             rs.Update();
         }},
        {"statement with values",
         [&](Connection& connection, Recordset&, int n) {
             connection.Execute(QStringLiteral("INSERT INTO tblDrugs (代碼, 成份) VALUES (?, ?)"),
                                {QStringLiteral("NEW%1").arg(n), ingredients});
         }},
    };
    for (const auto& road : roads) {
        SCOPED_TRACE(road.what);
        const QString path = dir.filePath(QStringLiteral("dbKorvane.mdb"));
        QFile::remove(path);
        korvane::test::ClinicConnection clinic(path);
        clinic.db.exec(QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES ('OLD1'), ('OLD2')"));
        {
            const auto& connection = clinic.connection;
            // A small page cache: the new rows go to the disk long before the commit.
            connection->Execute(QStringLiteral("PRAGMA cache_size=8"));
            connection->BeginTrans();
            connection->Execute(QStringLiteral("DELETE FROM tblDrugs"));
            Recordset rs;
            rs.Open(QStringLiteral("SELECT * FROM tblDrugs WHERE id=-2"), connection, Recordset::adOpenDynamic,
                    Recordset::adLockOptimistic);
            rs.setRefusedRowHandler([](qint64 tag, const Error&) { ADD_FAILURE() << "row " << tag << " refused"; });
            int n = 0;
            try {
                for (; n < 1000; ++n)
                    road.add(*connection, rs, n);
                FAIL() << "the disk never filled up";
            } catch (const Error& error) {
                EXPECT_TRUE(error.description().contains(QStringLiteral("磁碟空間不足"))) << qPrintable(error.description());
            }
            EXPECT_TRUE(connection->transactionEnded());

            // Whatever comes next writes nothing on its own, and says why.
            for (const auto& later : std::initializer_list<std::function<void()>>{
                     [&] { road.add(*connection, rs, n + 1); },
                     [&] { connection->Execute(QStringLiteral("DELETE FROM tblTemp")); },
                     [&] { connection->Execute(QStringLiteral("INSERT INTO tblTemp (pKey) VALUES (?)"), {1}); },
                     [&] { connection->CommitTrans(); },
                 }) {
                try {
                    later();
                    ADD_FAILURE() << "a statement ran after the transaction had ended";
                } catch (const Error& error) {
                    // The cause first, then what became of the transaction.
                    EXPECT_TRUE(error.description().startsWith(QStringLiteral("磁碟空間不足")) &&
                                error.description().contains(QStringLiteral("資料庫已自行中止這次的交易")))
                        << qPrintable(error.description());
                }
            }
            EXPECT_NO_THROW(connection->RollbackTrans());
        }
        EXPECT_EQ(clinic.db.rows(QStringLiteral("SELECT 代碼 FROM tblDrugs ORDER BY 代碼")),
                  (QList<QVariantList>{{QStringLiteral("OLD1")}, {QStringLiteral("OLD2")}}));
        EXPECT_EQ(clinic.db.count(QStringLiteral("tblTemp")), 0);
    }
}

} // namespace

#endif
