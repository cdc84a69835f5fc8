// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The pack as a clinic with a shared database runs it: the real wizard around the drug-price
// update, headless, with "\Korvane.config" naming a real server.

#include "ClinicServer.h"
#include "PackDriver.h"
#include "PriceListText.h"
#include "shell/utlUpdatorView.h"

#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using korvane::test::ClinicServer;
using korvane::test::TestMachine;
using korvane::test::drugCode;

namespace {

class ServerWizard : public korvane::test::ServerTest
{
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        if (stopped())
            return;
        machine.writeFile(machine.installFile(QStringLiteral("Korvane.config")), server.configFile());
    }

    void writePriceList(int drugs)
    {
        machine.writeFile(machine.packFile(QStringLiteral("all.puf")), korvane::test::priceListFile(drugs));
    }

    void pressOk() { pack.pressOk(); }

    TestMachine machine;
    korvane::test::PackDriver pack{machine};
    QPointer<korvane::frmOptionPanel>& form = pack.form;
};

TEST_F(ServerWizard, OkReplacesTheDrugTableOnTheServerThenRemovesThePack)
{
    writePriceList(250);
    pressOk();

    EXPECT_TRUE(machine.dialogs.messages.empty());
    QStringList codes;
    for (int i = 1; i <= 250; ++i)
        codes << drugCode(i);
    EXPECT_EQ(server.drugCodes(), codes);
    const auto row = server.rows(
        QStringLiteral("SELECT 成份, 製造廠名稱, 藥價參考金額 FROM tblDrugs WHERE 代碼 = 'AC00250100'"));
    ASSERT_EQ(row.size(), 1);
    EXPECT_EQ(row[0], (QVariantList{QStringLiteral("ACETAMINOPHEN（功許）"),
                                    QStringLiteral("台灣功學製藥股份有限公司"), 12.5}));
    EXPECT_FALSE(QFile::exists(machine.packFile(QStringLiteral("all.puf"))));

    ASSERT_FALSE(form.isNull());
    EXPECT_FALSE(form->isVisible());
    auto* view = form->findChild<korvane::utlUpdatorView*>(QStringLiteral("ComponentName"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->progressValue(), 100);
    ASSERT_EQ(machine.processes.selfRemovals.size(), 1u);
    EXPECT_EQ(machine.processes.endCalls, 1);
}

TEST_F(ServerWizard, ACommitTheServerRefusesKeepsEverythingAndThePackStays)
{
    // The server accepts every row and refuses the transaction only when it is committed, as
    // a deferred constraint of the clinic's database would.
    server.exec(
        QStringLiteral("CREATE OR REPLACE FUNCTION korvane_test_refuse() RETURNS trigger LANGUAGE plpgsql AS "
                       "$$ BEGIN RAISE EXCEPTION 'drug AC00007100 is refused'; END $$"));
    server.exec(QStringLiteral("CREATE CONSTRAINT TRIGGER korvane_test_refuse AFTER INSERT ON tblDrugs "
                               "DEFERRABLE INITIALLY DEFERRED FOR EACH ROW WHEN (NEW.代碼 = 'AC00007100') "
                               "EXECUTE FUNCTION korvane_test_refuse()"));
    writePriceList(20);
    pressOk();

    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    const QString text = machine.dialogs.messages.front().text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("更新藥價作業失敗，可能的原因為：\r\n"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("drug AC00007100 is refused"))) << qPrintable(text);
    EXPECT_EQ(server.drugCodes(), ClinicServer::oldCodes());
    EXPECT_TRUE(QFile::exists(machine.packFile(QStringLiteral("all.puf"))));
    EXPECT_TRUE(machine.processes.selfRemovals.empty());
    EXPECT_EQ(machine.processes.endCalls, 0);
}

} // namespace
