// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The record of a run as updatlet keeps it on a real installation: what it names, and where it
// never writes.

#include "ClinicDatabase.h"
#include "PriceListText.h"
#include "UpdatletInstallation.h"
#include "platform/AnsiText.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

using korvane::test::ClinicDatabase;
using korvane::test::UpdatletInstallation;
using korvane::test::UpdatletResult;
using korvane::test::drugCode;
using korvane::test::drugLine;

namespace {

const QString kLog = QStringLiteral("Korvane/UpdateLog/updates.log");

QByteArray priceList()
{
    return korvane::platform::ansiTextWithCrLf(
        {korvane::test::priceListHeader(), drugLine(1, drugCode(1), QStringLiteral("12.5"), QStringLiteral("1130401")),
         drugLine(2, drugCode(2), QStringLiteral("3"), QStringLiteral("2015/1/5")),
         drugLine(3, drugCode(3), QStringLiteral("4"), QStringLiteral("2025-12-31")), QStringLiteral("not a drug line")});
}

TEST(RunRecord, NamesThePriceListItApplied)
{
    UpdatletInstallation installation;
    ClinicDatabase::create(installation.path(QStringLiteral("Korvane/dbKorvane.mdb")));
    const QByteArray list = priceList();
    installation.write(QStringLiteral("pack/all.puf"), list);

    const UpdatletResult result = installation.run();
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.out);
    const QString log = QString::fromUtf8(installation.read(kLog));
    const QString named = QStringLiteral("\r\n藥價資料檔：") + QDir::toNativeSeparators(installation.pricePath()) +
                          QStringLiteral("（%1 位元組，SHA-256 %2；藥品資料 3 行，藥價參考日期 2015-01-05 至 2025-12-31）\r\n")
                              .arg(QLocale::c().toString(list.size()),
                                   QString::fromLatin1(QCryptographicHash::hash(list, QCryptographicHash::Sha256).toHex()));
    EXPECT_TRUE(log.contains(named)) << qPrintable(named) << '\n' << qPrintable(log);
}

// Links only where a user can make them without the superuser.
#ifndef Q_OS_WIN

// A link planted at the log's folder or at any of its files leads somewhere else: the record is
// not written there and says so, and the run itself stands as it ended. Where the table as it
// was cannot be kept safely (the folder, the lock), the update is not made at all.
TEST(RunRecord, IsRefusedWhereALinkStandsAndTheRunGoesOn)
{
    const struct
    {
        const char* what;
        const char* entry; // below the installation folder
        bool rotates = false;
        bool changeFile = false;
        bool updates = true;
    } cases[] = {{"the log's folder", "UpdateLog", false, false, false},
                 {"the log", "UpdateLog/updates.log"},
                 {"the old log, at the rotation", "UpdateLog/updates.old.log", true},
                 {"the lock", "UpdateLog/updates.log.lock", false, false, false},
                 {"the change file's temporary", "UpdateLog/%1 C52407301.csv.part", false, true},
                 {"the kept table's temporary", "UpdateLog/%1 tblDrugs.before.part", false, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UpdatletInstallation installation;
        const ClinicDatabase db = ClinicDatabase::create(installation.path(QStringLiteral("Korvane/dbKorvane.mdb")));
        installation.write(QStringLiteral("pack/all.puf"), priceList());
        ASSERT_TRUE(QDir(installation.path(QString())).mkpath(QStringLiteral("elsewhere")) &&
                    QDir(installation.path(QStringLiteral("Korvane"))).mkpath(QStringLiteral("UpdateLog")));
        const QByteArray outside = "a file of somebody else's\r\n";
        installation.write(QStringLiteral("elsewhere/file"), outside);
        if (c.rotates) {
            // A log at its limit: this run's block moves its older half aside.
            const QByteArray filler = "===== 更新記錄 2026-01-01 00:00:00 +08:00 =====\r\n" + QByteArray(900, 'x') + "\r\n\r\n";
            installation.write(QStringLiteral("Korvane/UpdateLog/updates.log"), "\xEF\xBB\xBF" + filler.repeated(5600));
        }
        QStringList entries;
        if (c.changeFile) {
            // The run names its change file after the second it started in.
            const QDateTime now = QDateTime::currentDateTime();
            for (int s = -2; s < 30; ++s)
                entries << QString::fromLatin1(c.entry).arg(now.addSecs(s).toString(QStringLiteral("yyyyMMdd-HHmmss")));
        } else {
            entries << QString::fromLatin1(c.entry);
        }
        for (const QString& entry : entries) {
            const QString at = installation.path(QStringLiteral("Korvane/") + entry);
            QDir(at).removeRecursively();
            const QString target = installation.path(entry == QStringLiteral("UpdateLog") ? QStringLiteral("elsewhere")
                                                                                         : QStringLiteral("elsewhere/file"));
            ASSERT_TRUE(QFile::link(target, at)) << qPrintable(at);
        }
        const QByteArray logBefore = installation.read(kLog);

        const UpdatletResult result = installation.run();
        EXPECT_EQ(result.exitCode, c.updates ? 0 : 1) << qPrintable(result.out);
        EXPECT_EQ(db.count(QStringLiteral("tblDrugs")), c.updates ? 3 : 0);
        EXPECT_EQ(installation.read(QStringLiteral("elsewhere/file")), outside);
        EXPECT_EQ(QDir(installation.path(QStringLiteral("elsewhere"))).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("file")});
        if (c.updates)
            EXPECT_TRUE(result.err.contains(QStringLiteral("警告：")) && result.err.contains(QStringLiteral("是捷徑（連結）")))
                << qPrintable(result.err);
        else
            EXPECT_TRUE(result.err.contains(QStringLiteral("更新前的藥品資料無法保留下來")) &&
                        result.err.contains(QStringLiteral("是捷徑（連結）")))
                << qPrintable(result.err);
        if (c.changeFile && c.updates) {
            // The block itself is written, and names what became of the change file.
            EXPECT_TRUE(QString::fromUtf8(installation.read(kLog)).contains(QStringLiteral("\r\n明細檔：")));
        } else if (!c.changeFile && entries.first() != QStringLiteral("UpdateLog/updates.log")) {
            EXPECT_EQ(installation.read(kLog), logBefore);
        }
    }
}

#endif

} // namespace
