// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/database/AccessDialect.h"

#include "RunningProgram.h"
#include "platform/Error.h"
#include "platform/database/Connection.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using korvane::platform::AccessDialect;
using korvane::platform::Connection;
using korvane::platform::Error;
using korvane::platform::OpenMode;

namespace {

const QString kPriceText =
    QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password='Pk@Dolmira51840297';Data "
                   "Source=C:\\Korvane\\dbKorvane.mdb;");
const QString kInUse = QStringLiteral("在進行更新程式前，請關閉目前正在執行的申報軟體。\r\n");

// The runs' modes as the actions set them, and the desktop driver's text each gets.
TEST(AccessDialect, AWritingRunOpensTheFileExclusivelyAndAPreviewReadOnly)
{
    const int writing = Connection::adModeReadWrite | Connection::adModeShareExclusive;
    const struct
    {
        int mode;
        const char* attributes; // between DBQ and PWD
    } cases[] = {{writing, "Exclusive=1;"},
                 {Connection::adModeShareDenyWrite, "Exclusive=1;"}, // no narrower sharing than exclusive
                 {Connection::adModeRead, "ReadOnly=1;"},
                 // A preview of a writing run: refused as that run (by the check before the driver),
                 // opened beside whoever has the file.
                 {Connection::adModeRead | Connection::adModeShareExclusive, "ReadOnly=1;"},
                 {Connection::adModeUnknown, ""},
                 {Connection::adModeReadWrite | Connection::adModeShareDenyNone, ""}};
    for (const auto& c : cases) {
        const QString text = AccessDialect::connectionText(kPriceText, Connection::openMode(c.mode));
        EXPECT_TRUE(text.startsWith(QStringLiteral("DRIVER={Microsoft Access Driver (*.mdb")));
        EXPECT_TRUE(text.endsWith(QStringLiteral("};DBQ=C:\\Korvane\\dbKorvane.mdb;") + QString::fromLatin1(c.attributes) +
                                  QStringLiteral("PWD=Pk@Dolmira51840297;")))
            << c.mode << ": " << qPrintable(text);
    }
    // The start-up action's text gives no password.
    EXPECT_TRUE(AccessDialect::connectionText(
                    QStringLiteral("Provider=Microsoft.Jet.OleDb.4.0;data source=C:\\K\\dbKorvane.mdb"), {})
                    .endsWith(QStringLiteral("};DBQ=C:\\K\\dbKorvane.mdb;")));
}

class HeldFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile file(database);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
    }

    AccessDialect dialect(OpenMode mode) const
    {
        return AccessDialect(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + database,
                             mode);
    }

    // What the writing run is told when it would open the file.
    QString refusalOnOpen(OpenMode mode) const
    {
        QString refusal;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("held-file"));
            try {
                dialect(mode).prepare(db);
            } catch (const Error& error) {
                EXPECT_EQ(error.kind(), Error::Kind::DatabaseLocked);
                refusal = error.description();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("held-file"));
        return refusal;
    }

    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("dbKorvane.mdb"));
    const QString locks = dir.filePath(QStringLiteral("dbKorvane.ldb"));
};

// Asked of the system before the driver, so that it holds under a stand-in driver too. Windows
// refuses the exclusive open of a file another handle has open; elsewhere the processes are asked.
TEST_F(HeldFile, AWritingRunIsRefusedWhileAnotherProgramHasTheFileAndAPreviewIsNot)
{
    const OpenMode writing{false, true};
    EXPECT_EQ(refusalOnOpen(writing), QString());
    // A locking file left behind by a program that has ended is no hindrance.
    QFile leftLocks(locks);
    ASSERT_TRUE(leftLocks.open(QIODevice::WriteOnly));
    leftLocks.close();
    EXPECT_EQ(AccessDialect::heldFiles(database), QString());

    QFile holder(database);
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    const QString refusal = refusalOnOpen(writing);
    EXPECT_TRUE(refusal.startsWith(kInUse) && refusal.contains(QDir::toNativeSeparators(database)))
        << qPrintable(refusal);
    EXPECT_EQ(refusalOnOpen(OpenMode{true, false}), QString());
    // The preview of the writing run is refused with its words.
    EXPECT_EQ(refusalOnOpen(OpenMode{true, true}), refusal);

    // Korvane holding the database shared holds its locking file too: both are named.
    ASSERT_TRUE(leftLocks.open(QIODevice::ReadWrite));
    EXPECT_EQ(AccessDialect::heldFiles(database),
              QDir::toNativeSeparators(database) + QStringLiteral("、") + QDir::toNativeSeparators(locks));
    holder.close();
    EXPECT_EQ(AccessDialect::heldFiles(database), QDir::toNativeSeparators(locks));
    leftLocks.close();
    EXPECT_EQ(refusalOnOpen(writing), QString());
#ifndef Q_OS_WIN
    {
        // A program of its own, as Korvane is.
        const korvane::test::RunningProgram korvane(korvane::test::RunningProgram::Use::HoldOpen, database);
        EXPECT_TRUE(refusalOnOpen(writing).startsWith(kInUse));
        EXPECT_EQ(refusalOnOpen(OpenMode{true, true}), refusalOnOpen(writing));
    }
#endif
}

// Jet's own word for a file it cannot have (-1032) refuses a preview too, which the system's
// check lets through; other failures are the driver's.
TEST_F(HeldFile, TheDriversRefusalOfAHeldFileIsARefusal)
{
    const QSqlError cannotOpen(
        QStringLiteral("Unable to connect"),
        QStringLiteral("[Microsoft][ODBC Microsoft Access Driver] The Microsoft Jet database "
                       "engine cannot open the file '(unknown)'."),
        QSqlError::ConnectionError, QStringLiteral("-1032"));
    const auto held = dialect(OpenMode{true, false}).heldOpenFailure(cannotOpen);
    ASSERT_TRUE(held.has_value());
    EXPECT_EQ(held->kind(), Error::Kind::DatabaseLocked);
    EXPECT_TRUE(held->description().startsWith(kInUse) &&
                held->description().contains(QStringLiteral("'(unknown)'")))
        << qPrintable(held->description());
    const QSqlError notAFile(QStringLiteral("Unable to connect"), QStringLiteral("Not a valid file name."),
                             QSqlError::ConnectionError, QStringLiteral("-1044"));
    EXPECT_FALSE(dialect(OpenMode{false, true}).heldOpenFailure(notAFile).has_value());
}

} // namespace
