// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// updatlet as IT staff run it: a real process, a real installation found through the settings
// store, a real pack folder.

#include "ClinicDatabase.h"
#include "PriceListText.h"
#include "UpdatletInstallation.h"
#include "catalogue/ActionCatalogue.h"
#include "platform/AnsiText.h"

#include <QFile>
#include <gtest/gtest.h>

using korvane::test::ClinicDatabase;
using korvane::test::UpdatletInstallation;
using korvane::test::UpdatletResult;

namespace {

const QString kHeader = korvane::test::priceListHeader();

class Updatlet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = std::make_unique<ClinicDatabase>(ClinicDatabase::create(installation.path(QStringLiteral("Korvane/dbKorvane.mdb"))));
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES ('OLD')"));
    }

    void writePriceList(const QStringList& lines)
    {
        installation.write(QStringLiteral("pack/all.puf"), korvane::platform::ansiTextWithCrLf(lines));
    }

    UpdatletInstallation installation;
    std::unique_ptr<ClinicDatabase> db;
};

TEST_F(Updatlet, RunsTheDrugPriceUpdateAndShowsItsSteps)
{
    writePriceList({kHeader, QStringLiteral("1\t\t單方\tAC12345100\t12.5\t1130401\t9991231\tX\t1\tMG\t功\t1\tMG\t錠劑\t許")});
    const UpdatletResult result = installation.run(installation.packArguments() << QStringLiteral("C52407301"));
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.out);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT group_concat(代碼) FROM tblDrugs")).toString(), QStringLiteral("AC12345100"));
    EXPECT_TRUE(result.out.contains(QStringLiteral(" 藥價更新程式序號 v1.0.0.6"))) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(QStringLiteral("V\t新增藥品資料到資料庫中"))) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(QStringLiteral("開始時間："))) << qPrintable(result.out);
    EXPECT_FALSE(QFile::exists(installation.pricePath()));
    // It never writes a self-removal script.
    EXPECT_FALSE(QFile::exists(installation.path(QStringLiteral("pack/destroy.bat"))));
}

TEST_F(Updatlet, AFailureShowsTheCriticalMessageAndExitsWithOne)
{
    writePriceList({kHeader});
    const UpdatletResult result = installation.run();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.contains(QStringLiteral("更新藥價作業失敗，可能的原因為："))) << qPrintable(result.out);
    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 1);
    EXPECT_TRUE(QFile::exists(installation.pricePath()));
}

TEST_F(Updatlet, UsageErrorsExitWithTwo)
{
    for (const QStringList& arguments : {QStringList{QStringLiteral("CNoSuchAction")},
                                         QStringList{QStringLiteral("C52407301"), QStringLiteral("extra")},
                                         QStringList{QStringLiteral("--no-such-option")},
                                         QStringList{QStringLiteral("--pack-folder"), installation.path(QStringLiteral("missing"))}}) {
        const UpdatletResult result = installation.run(arguments);
        EXPECT_EQ(result.exitCode, 2) << qPrintable(arguments.join(u' '));
        EXPECT_TRUE(result.out.contains(QStringLiteral("usage: updatlet"))) << qPrintable(result.out);
    }
    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 1);
}

TEST_F(Updatlet, HelpListsTheCatalogueTheDefaultAndTheExitStatuses)
{
    const UpdatletResult result = installation.run({QStringLiteral("--help")});
    EXPECT_EQ(result.exitCode, 0);
    for (const korvane::ActionEntry& entry : korvane::ActionCatalogue::entries()) {
        QString row = entry.name + QStringLiteral("  [") + entry.packExecutable + u']';
        if (entry.name == korvane::ActionCatalogue::DefaultAction)
            row += QStringLiteral("  (default)");
        EXPECT_TRUE(result.out.contains(row + u'\n')) << qPrintable(result.out);
        EXPECT_TRUE(result.out.contains(entry.summary)) << qPrintable(entry.summary);
    }
    EXPECT_TRUE(result.out.contains(QStringLiteral("Exit status: 0"))) << qPrintable(result.out);
}

} // namespace
