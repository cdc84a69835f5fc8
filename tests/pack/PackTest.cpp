// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The pack as the clinic runs it: the real wizard around the drug-price update, on a real
// clinic database and a real pack folder, headless.

#include "ClinicDatabase.h"
#include "PackDriver.h"
#include "PriceListText.h"
#include "shell/utlUpdatorView.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using korvane::test::ClinicDatabase;
using korvane::test::TestMachine;

namespace {

class Pack : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = std::make_unique<ClinicDatabase>(ClinicDatabase::create(machine.installFile(QStringLiteral("dbKorvane.mdb"))));
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES ('OLD')"));
    }
    void writePriceList(int drugs)
    {
        machine.writeFile(machine.packFile(QStringLiteral("all.puf")), korvane::test::priceListFile(drugs));
    }
    void pressOk() { pack.pressOk(); }

    TestMachine machine;
    std::unique_ptr<ClinicDatabase> db;
    korvane::test::PackDriver pack{machine};
    QPointer<korvane::frmOptionPanel>& form = pack.form;
};

TEST_F(Pack, OkUpdatesTheDrugTableThenHidesTheWizardAndRemovesThePack)
{
    writePriceList(250);
    pressOk();

    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 250);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT 代碼 FROM tblDrugs WHERE 代碼 = 'OLD'")), QVariant());
    EXPECT_TRUE(machine.dialogs.messages.empty());
    EXPECT_FALSE(QFile::exists(machine.packFile(QStringLiteral("all.puf"))));
    ASSERT_FALSE(form.isNull());
    EXPECT_FALSE(form->isVisible());

    auto* view = form->findChild<korvane::utlUpdatorView*>(QStringLiteral("ComponentName"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->progressValue(), 100); // 249 / 250 rounds to 100

    // The finishing step wrote the script naming the pack executable, started it and ended.
    QFile script(machine.packFile(QStringLiteral("destroy.bat")));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    const QByteArray target = QDir::toNativeSeparators(machine.packFile(QStringLiteral("UP52407301.exe"))).toLocal8Bit();
    EXPECT_TRUE(script.readAll().contains("     del \"" + target + "\"\r\n"));
    ASSERT_EQ(machine.processes.selfRemovals.size(), 1u);
    EXPECT_EQ(machine.processes.selfRemovals.front().scriptName, QStringLiteral("destroy.bat"));
    EXPECT_EQ(machine.processes.endCalls, 1);
}

TEST_F(Pack, ARefusedUpdateKeepsEverythingAndThePackStays)
{
    writePriceList(0); // only the header
    pressOk();

    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 1);
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_TRUE(machine.dialogs.messages.front().text.startsWith(QStringLiteral("藥價更新沒有執行，原因如下：\r\n")));
    EXPECT_TRUE(QFile::exists(machine.packFile(QStringLiteral("all.puf"))));
    // No script: the wizard closes and the pack can be run again once the cause is mended.
    EXPECT_FALSE(QFile::exists(machine.packFile(QStringLiteral("destroy.bat"))));
    EXPECT_TRUE(machine.processes.selfRemovals.empty());
    EXPECT_EQ(machine.processes.endCalls, 0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return form.isNull(); })); // unloaded
}

// A list with fewer than half of the drugs now in tblDrugs: the wizard asks, No being the
// default; No keeps everything and the pack, Yes applies it.
TEST_F(Pack, AListThatWouldShrinkTheDrugTableIsAppliedOnlyWhenTheUserSaysYes)
{
    for (int i = 1; i <= 4; ++i)
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES (?)"), {korvane::test::drugCode(100 + i)});
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        machine.dialogs = {};
        machine.dialogs.questionAnswers = {yes};
        writePriceList(2);
        korvane::test::PackDriver driver(machine);
        driver.pressOk();
        ASSERT_EQ(machine.dialogs.questions.size(), 1u);
        EXPECT_FALSE(machine.dialogs.questions.front().defaultYes);
        EXPECT_TRUE(machine.dialogs.questions.front().text.contains(QStringLiteral("只有 2 筆藥品資料，不到目前藥品資料 5 筆的一半")));
        EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), yes ? 2 : 5);
        EXPECT_EQ(QFile::exists(machine.packFile(QStringLiteral("all.puf"))), !yes);
        EXPECT_EQ(QFile::exists(machine.packFile(QStringLiteral("destroy.bat"))), yes);
        ASSERT_EQ(machine.dialogs.messages.size(), yes ? 0u : 1u);
        if (!yes) {
            EXPECT_TRUE(machine.dialogs.messages.front().text.endsWith(
                QStringLiteral("未經確認不進行更新。藥品資料與藥價資料檔維持原狀，未做任何變更。")));
        }
    }
}

} // namespace
