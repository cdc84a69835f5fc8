// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The drug-bag packs as a clinic runs them: the real wizard around each action, headless.

#include "DrugProfileData.h"
#include "PackDriver.h"
#include "drugbag/C524011002.h"
#include "drugbag/C524011003.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

template <typename Action> std::shared_ptr<korvane::IAction> make(const korvane::platform::Services& services)
{
    auto action = std::make_shared<Action>(services);
    action->setPackName(QStringLiteral("UP52401101.exe"));
    return action;
}

TEST(DrugBagPack, EachActionRunsFromOkAndThenRemovesItsPack)
{
    korvane::test::TestMachine machine;
    const auto clinic = korvane::test::ClinicDatabase::create(machine.installFile("dbKorvane.mdb"));
    const auto profile =
        korvane::test::drugProfile(machine.installFile("tools/dbDrugProfile.mdb"), {300, 100, 100}, &clinic);
    for (auto action : {&make<korvane::C524011003>, &make<korvane::C524011002>}) {
        const int labels = profile.count("tblDrugBag");
        korvane::test::PackDriver pack{machine, action};
        pack.pressOk();
        EXPECT_TRUE(machine.dialogs.messages.empty());
        EXPECT_GT(profile.count("tblDrugBag"), labels);
        ASSERT_EQ(machine.processes.selfRemovals.size(), 1u);
        EXPECT_EQ(QFileInfo(machine.processes.selfRemovals.front().target).fileName(), "UP52401101.exe");
        machine.processes.selfRemovals.clear();
    }
}

} // namespace
