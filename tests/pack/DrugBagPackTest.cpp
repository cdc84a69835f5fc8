// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The drug-bag packs as a clinic runs them: the real wizard around each action, headless.

#include "DrugProfileData.h"
#include "PackDriver.h"
#include "drugbag/C524011002.h"
#include "drugbag/C524011003.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using korvane::test::ClinicDatabase;
using korvane::test::TestMachine;

namespace {

template <typename Action> std::shared_ptr<korvane::IAction> make(const korvane::platform::Services& services)
{
    return std::make_shared<Action>(services);
}

class DrugBagPack : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(machine.installFolder()).mkpath(QStringLiteral("tools")));
        clinic = std::make_unique<ClinicDatabase>(
            ClinicDatabase::create(machine.installFile(QStringLiteral("dbKorvane.mdb"))));
        profile = std::make_unique<ClinicDatabase>(korvane::test::generatedDrugProfile(
            machine.installFile(QStringLiteral("tools/dbDrugProfile.mdb")), {300, 100, 100}, clinic.get()));
    }

    TestMachine machine;
    std::unique_ptr<ClinicDatabase> clinic;
    std::unique_ptr<ClinicDatabase> profile;
};

TEST_F(DrugBagPack, EachActionRunsFromOkAndThenRemovesItsPack)
{
    for (auto action : {&make<korvane::C524011003>, &make<korvane::C524011002>}) {
        const int labels = profile->count(QStringLiteral("tblDrugBag"));
        korvane::test::PackDriver pack{machine, action};
        pack.pressOk();
        EXPECT_TRUE(machine.dialogs.messages.empty());
        EXPECT_GT(profile->count(QStringLiteral("tblDrugBag")), labels);
        ASSERT_EQ(machine.processes.selfRemovals.size(), 1u);
        EXPECT_EQ(QFileInfo(machine.processes.selfRemovals.front().target).fileName(),
                  QStringLiteral("UP52401101.exe"));
        machine.processes.selfRemovals.clear();
    }
}

} // namespace
