// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The pack as the clinic runs it: the real wizard around the drug-price update, on a real
// clinic database and a real pack folder, headless.

#include "ClinicDatabase.h"
#include "TestServices.h"
#include "platform/AnsiText.h"
#include "pricing/C52407301.h"
#include "shell/frmOptionPanel.h"
#include "shell/modUpdatlet.h"
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

const QString kHeader = QStringLiteral("id\t新\t單複方註記\t代碼\t藥價參考金額\t藥價參考日期\t藥價參考截止日期\t藥品英文名稱\t"
                                       "藥品規格量\t藥品規格單位\t成份\t成份含量\t含量單位\t藥品劑型\t製造廠名稱");

QString drugLine(int id)
{
    return QString::number(id) + QStringLiteral("\t\t單方\tAC%1100\t12.50\t1130401\t9991231\tPANADOL 500MG\t500\tMG\t"
                                                "ACETAMINOPHEN（功許）\t500\tMG\t錠劑\t台灣功學製藥股份有限公司")
                                     .arg(id, 5, 10, QChar(u'0'));
}

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
        QStringList lines{kHeader};
        for (int i = 1; i <= drugs; ++i)
            lines << drugLine(i);
        machine.writeFile(machine.packFile(QStringLiteral("all.puf")), korvane::platform::ansiTextWithCrLf(lines));
    }
    void pressOk()
    {
        services = std::make_unique<korvane::platform::Services>(machine.services());
        form = korvane::modUpdatlet::Main(*services, std::make_shared<korvane::C52407301>(*services));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        auto* ok = form->findChild<QPushButton*>(QStringLiteral("btnOk"));
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
    }
    void TearDown() override { delete form.data(); }

    TestMachine machine;
    std::unique_ptr<korvane::platform::Services> services;
    std::unique_ptr<ClinicDatabase> db;
    QPointer<korvane::frmOptionPanel> form;
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

TEST_F(Pack, AFailedUpdateKeepsEverythingAndThePackStays)
{
    writePriceList(0); // only the header
    pressOk();

    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 1);
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_TRUE(machine.dialogs.messages.front().text.startsWith(QStringLiteral("更新藥價作業失敗，可能的原因為：\r\n")));
    EXPECT_TRUE(QFile::exists(machine.packFile(QStringLiteral("all.puf"))));
    // No script: the wizard closes and the pack can be run again once the cause is mended.
    EXPECT_FALSE(QFile::exists(machine.packFile(QStringLiteral("destroy.bat"))));
    EXPECT_TRUE(machine.processes.selfRemovals.empty());
    EXPECT_EQ(machine.processes.endCalls, 0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return form.isNull(); })); // unloaded
}

} // namespace
