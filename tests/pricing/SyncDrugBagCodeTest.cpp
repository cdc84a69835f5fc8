// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "C52407301TestAccess.h"
#include "DrugProfileData.h"
#include "PriceListText.h"
#include "TestServices.h"

#include <gtest/gtest.h>

using korvane::test::drugLine;

namespace {

class SyncDrugBagCode : public ::testing::Test, protected korvane::test::DrugProfileStore
{
protected:
    QStringList labels() const
    {
        return korvane::test::rowTexts(
            db, "SELECT 藥品代碼, 中文品名, 孕婦等級 FROM tblDrugBag ORDER BY 藥品代碼");
    }
    void sync(const QString& line) { korvane::C52407301TestAccess::syncDrugBagCode(action, line, home); }

    korvane::test::TestMachine machine;
    korvane::C52407301 action{machine.services()};
};

TEST_F(SyncDrugBagCode, AFamilyLabelFollowsTheCodeOfAPricedDrugLine)
{
    korvane::test::addRows(db, "tblDrugBag (藥品代碼, 中文品名, 孕婦等級)",
                           {"A012345100|A0的|B", "B099999900|B0的|B"});
    const QStringList before = labels();
    for (const QString& line : {drugLine(1, "B099999900"),      // the label carries the code already
                                drugLine(2, "AC12345100", "0"), // no price
                                drugLine(3, "AC12345100", "免費"), korvane::test::priceListHeader(),
                                QString("1\t\t單方\tAC12345100\t12.5"), // too few fields
                                drugLine(4, "AC99999900")})             // no label of its family
        sync(line);
    EXPECT_EQ(labels(), before);

    // A "G0" code of the family: the label is stored under it ending in "00", written anew (so
    // without the pregnancy category the store never writes).
    sync(drugLine(5, "AC123451G0"));
    EXPECT_EQ(labels(), (QStringList{"AC12345100|A0的|<null>", "B099999900|B0的|B"}));
}

} // namespace
