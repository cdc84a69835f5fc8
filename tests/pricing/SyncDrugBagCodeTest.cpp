// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugProfileData.h"
#include "PriceListText.h"
#include "TestServices.h"
#include "drugbag/CDrugAdvInfoHome.h"
#include "pricing/C52407301.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace korvane {

// The way in to the drug-price update's private operations, for these tests only.
class C52407301TestAccess
{
public:
    static void syncDrugBagCode(C52407301& action, const QString& line, CDrugAdvInfoHome& home)
    {
        action.syncDrugBagCode(line, home);
    }
};

} // namespace korvane

using korvane::C52407301TestAccess;
using korvane::test::ClinicDatabase;
using korvane::test::drugLine;
using korvane::test::priceListHeader;

namespace {

class SyncDrugBagCode : public ::testing::Test, protected korvane::test::DrugProfileStore
{
protected:
    void addLabel(const QString& code) const
    {
        db.exec(QStringLiteral("INSERT INTO tblDrugBag (藥品代碼, 中文品名, 孕婦等級) VALUES (?, ?, 'B')"),
                {code, code + QStringLiteral("的標籤")});
    }

    // Code, name and pregnancy category of every label; a rewritten label has lost its category.
    QList<QVariantList> labels() const
    {
        return db.rows(QStringLiteral(
            "SELECT 藥品代碼, 中文品名, coalesce(孕婦等級, '-') FROM tblDrugBag ORDER BY 藥品代碼"));
    }

    void sync(const QString& line) { C52407301TestAccess::syncDrugBagCode(action, line, home); }

    korvane::test::TestMachine machine;
    korvane::C52407301 action{machine.services()};
};

TEST_F(SyncDrugBagCode, AFamilyLabelFollowsTheCodeOfThePriceLine)
{
    addLabel(QStringLiteral("A012345100"));
    addLabel(QStringLiteral("B099999900"));
    // A "G0" code of the family: the label is stored under it, ending in "00".
    sync(drugLine(1, QStringLiteral("AC123451G0")));
    EXPECT_EQ(labels(),
              (QList<QVariantList>{
                  {QStringLiteral("AC12345100"), QStringLiteral("A012345100的標籤"), QStringLiteral("-")},
                  {QStringLiteral("B099999900"), QStringLiteral("B099999900的標籤"), QStringLiteral("B")}}));
}

TEST_F(SyncDrugBagCode, LinesThatNeedNoChangeWriteNothing)
{
    addLabel(QStringLiteral("AC12345100"));
    const auto before = labels();
    for (const QString& line :
         {drugLine(1, QStringLiteral("AC12345100")), // the label carries the code already
          drugLine(2, QStringLiteral("A012345100"), QStringLiteral("0")), // no price
          drugLine(3, QStringLiteral("A012345100"), QStringLiteral("免費")), priceListHeader(),
          QStringLiteral("1\t\t單方\tA012345100\t12.5"), // too few fields
          drugLine(4, QStringLiteral("AC99999900"))})    // no label of its family
        sync(line);
    EXPECT_EQ(labels(), before);
}

} // namespace
