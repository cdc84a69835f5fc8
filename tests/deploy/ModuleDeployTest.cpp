// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The drug-bag printing module and the executable update on a real installation folder, and the
// deployment actions that must not start at all.

#include "KorvaneStandIns.h"
#include "TestServices.h"
#include "catalogue/ActionCatalogue.h"
#include "deploy/CDrugDeployActioner.h"
#include "deploy/CExeUpdateActioner.h"

#include <gtest/gtest.h>

using namespace korvane::test;

namespace {

TEST(ModuleDeploy, TheAnswerChoosesTheBuildAndAnyOtherEndsTheProgramWithNothingChanged)
{
    // The build each answer installs; none for the others, and none for a build the pack lacks.
    const struct
    {
        QString answer;
        QByteArray build;
        const char* unshipped = "";
    } cases[] = {{"1", "001.exe"}, {" 1 ", "001.exe"}, {"2", "002.exe"}, {"3", {}},
                 {"", {}},         {"１", {}},         {"1.", {}},       {"2", {}, "002.exe"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.toStdString() + c.unshipped);
        TestMachine machine;
        FakeView view;
        ship(machine.packFolder(), {"001.exe", "002.exe", "dbDrugProfile.mdb"});
        ship(machine.installFile("Tools"), {"DrugBagPrinter.exe", "dbDrugProfile.mdb"}, "old ");
        QFile::remove(machine.packFile(QString::fromLatin1(c.unshipped)));
        const auto folders = [&] {
            return std::pair(tree(machine.installFolder()), tree(machine.packFolder()));
        };
        const auto before = folders();
        machine.dialogs.answers = QStringList{c.answer};
        korvane::CDrugDeployActioner(machine.services()).action(view);

        EXPECT_EQ(machine.dialogs.prompts.size(), 1);
        EXPECT_EQ(machine.processes.endCalls, c.build.isEmpty() && !*c.unshipped ? 1 : 0);
        ASSERT_EQ(machine.dialogs.messages.size(), *c.unshipped ? 1u : 0u);
        EXPECT_TRUE(!*c.unshipped ||
                    machine.dialogs.messages[0].text.contains(QString::fromLatin1(c.unshipped)));
        // Both builds go, whichever was chosen.
        const std::pair installed{QMap<QString, QByteArray>{{"Tools", "/"},
                                                            {"Tools/DrugBagPrinter.exe", c.build},
                                                            {"Tools/dbDrugProfile.mdb", "dbDrugProfile.mdb"}},
                                  QMap<QString, QByteArray>{}};
        EXPECT_EQ(folders(), c.build.isEmpty() ? before : installed);
    }
}

TEST(ExeUpdate, InstallsWhatIsShippedAndRemovesIt)
{
    const QStringList all{"korvane.exe", "DrugBagPrinter.exe", "dbDrugProfile.mdb"};
    for (const QStringList& shipped : {all, QStringList{"korvane.exe", "dbDrugProfile.mdb"},
                                       QStringList{"DrugBagPrinter.exe"}, QStringList{}}) {
        SCOPED_TRACE(shipped.join(u' ').toStdString());
        TestMachine machine;
        FakeView view;
        ship(machine.installFolder(), {"Korvane.exe"}, "old ");
        ship(machine.packFolder(), shipped);
        korvane::CExeUpdateActioner(machine.services()).action(view);

        EXPECT_TRUE(machine.dialogs.messages.empty());
        EXPECT_TRUE(tree(machine.packFolder()).isEmpty());
        // One program file: "korvane.exe" replaces "Korvane.exe".
        QMap<QString, QByteArray> installed{
            {"Korvane.exe", shipped.contains(all[0]) ? "korvane.exe" : "old Korvane.exe"}, {"Tools", "/"}};
        for (const QString& name : shipped.mid(shipped.contains(all[0]) ? 1 : 0))
            installed.insert("Tools/" + name, name.toUtf8());
        EXPECT_EQ(tree(machine.installFolder()), installed);
    }
}

// Without an installation folder every action stops at once; run from the installation folder
// itself, the program updates would copy every file onto itself and then remove it.
TEST(Deployment, StopsBeforeTouchingAnythingWithoutAnInstallationOrRunFromIt)
{
    const std::pair<const char*, bool> cases[] = {
        {"CKorvaneUpdateActioner", false}, {"ActionImpl", false},
        {"CDrugDeployActioner", false},    {"CExeUpdateActioner", false},
        {"CKorvaneUpdateActioner", true},  {"CExeUpdateActioner", true}};
    for (const auto& [action, fromInstallation] : cases) {
        SCOPED_TRACE(std::string(action) + (fromInstallation ? " from the installation" : ""));
        TestMachine machine;
        FakeView view;
        machine.settings.setInstallationFolder(fromInstallation ? machine.packFolder() : QString());
        ship(machine.packFolder(), {"korvane.exe", "001.exe", "DrugBagPrinter.exe"});
        const auto packBefore = tree(machine.packFolder());
        korvane::ActionCatalogue::find(QString::fromLatin1(action))->create(machine.services())->action(view);
        EXPECT_EQ(tree(machine.packFolder()), packBefore);
        EXPECT_TRUE(machine.dialogs.prompts.isEmpty() && machine.processes.started.empty() &&
                    !view.completedCalls);
        ASSERT_EQ(machine.dialogs.messages.size(), fromInstallation ? 0u : 1u);
        EXPECT_TRUE(fromInstallation ||
                    machine.dialogs.messages[0].text.startsWith(QStringLiteral("找不到 Korvane 的安裝位置")));
    }
}

} // namespace
