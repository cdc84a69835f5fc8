// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The pack executable itself, headless, as a process: a Qt input plugin presses OK inside it.

#include "ClinicDatabase.h"
#include "PriceListText.h"
#include "RunningProgram.h"
#include "UpdatletInstallation.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace korvane::test {
namespace {

// The pack copied into an installation's pack folder with three drugs to import, started with
// the input plugin that presses one of the wizard's buttons.
class PackProcess : public ::testing::Test
{
protected:
    void SetUp() override
    {
        installation.write(QStringLiteral("pack/all.puf"), priceListFile(3));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KORVANE_PACK_C52407301), pack));
    }
    void start(const QString& button)
    {
        QProcessEnvironment hand;
        hand.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        hand.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(KORVANE_WIZARDHAND_PLUGINS));
        hand.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("korvanewizardhand"));
        hand.insert(QStringLiteral("KORVANE_WIZARDHAND_PRESS"), button);
        installation.start(process, pack, {}, hand);
    }

    UpdatletInstallation installation;
    const ClinicDatabase db = ClinicDatabase::create(installation.path(QStringLiteral("Korvane/dbKorvane.mdb")));
    const QString pack = installation.path(QStringLiteral("pack/UP52407301.exe"));
    QProcess process;
};

// A successful run hides the wizard; when the finishing step then unloads the hidden form (here
// because the view's IsNotClosedForm is set) the program must end with it, or it would hold the
// pack executable for ever and the self-removal script could never delete it.
TEST_F(PackProcess, EndsWhenTheWizardIsUnloadedAfterTheRunHidIt)
{
    start(QStringLiteral("btnOk"));
    // The run is over once the price list is gone; from then on only the unloading is left.
    EXPECT_TRUE(becomesTrueWithin(60000, [&] { return !QFile::exists(installation.pricePath()); }));
    const UpdatletResult result = UpdatletInstallation::finish(process, 10000);
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.out);
    EXPECT_EQ(db.count(QStringLiteral("tblDrugs")), 3);
    EXPECT_TRUE(becomesTrueWithin(10000, [&] { return !QFile::exists(pack); })) << "the pack was not removed";
}

// 取消 before a run: nothing is touched, the pack stays, and whoever started it learns that the
// update was cancelled.
TEST_F(PackProcess, CancelEndsWithThreeAndTouchesNothing)
{
    start(QStringLiteral("btn取消"));
    const UpdatletResult result = UpdatletInstallation::finish(process, 30000);
    EXPECT_EQ(result.exitCode, 3) << qPrintable(result.out);
    EXPECT_EQ(db.count(QStringLiteral("tblDrugs")), 0);
    EXPECT_TRUE(QFile::exists(installation.pricePath()));
    EXPECT_TRUE(QFile::exists(pack));
}

} // namespace
} // namespace korvane::test
