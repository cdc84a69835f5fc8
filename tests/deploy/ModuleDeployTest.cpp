// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The drug-bag printing module and the executable update on a real installation folder, and the
// deployment actions that must not start at all.

#include "KorvaneStandIns.h"
#include "ReadOnlyFolder.h"
#include "TestServices.h"
#include "catalogue/ActionCatalogue.h"
#include "deploy/CDrugDeployActioner.h"
#include "deploy/CExeUpdateActioner.h"

#include <gtest/gtest.h>

using namespace korvane::test;

namespace {

TEST(ModuleDeploy, TheAnswerChoosesTheBuildAndAnyOtherCancelsWithNothingChanged)
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
        const korvane::Outcome outcome = korvane::CDrugDeployActioner(machine.services()).action(view);

        EXPECT_EQ(machine.dialogs.prompts.size(), 1);
        EXPECT_EQ(outcome, *c.unshipped       ? korvane::Outcome::Refused
                           : c.build.isEmpty() ? korvane::Outcome::Cancelled
                                               : korvane::Outcome::Done);
        // The databases kept before they were replaced are named.
        ASSERT_EQ(machine.dialogs.messages.size(), *c.unshipped || !c.build.isEmpty() ? 1u : 0u);
        EXPECT_TRUE(!*c.unshipped ||
                    (machine.dialogs.messages[0].text.startsWith(QStringLiteral("本更新程式沒有附上所選印表機用的藥袋列印模組，本次更新沒有執行，"
                                                                                "電腦中的藥袋列印模組維持原狀。")) &&
                     machine.dialogs.messages[0].text.contains(QString::fromLatin1(c.unshipped))));
        EXPECT_TRUE(*c.unshipped || c.build.isEmpty() ||
                    machine.dialogs.messages[0].text ==
                        QStringLiteral("檔案已更新完成，不需要再做什麼。\r\n\r\n更新前的資料庫已另外保留一份（更新後的資料若有問題，"
                                       "資訊人員可以用它還原）：\r\n") +
                            machine.installFile("tools/dbDrugProfile.mdb.bak"))
            << qPrintable(machine.dialogs.messages[0].text);
        // Both builds go, whichever was chosen.
        const std::pair installed{QMap<QString, QByteArray>{{"Tools", "/"},
                                                            {"Tools/DrugBagPrinter.exe", c.build},
                                                            {"Tools/dbDrugProfile.mdb", "dbDrugProfile.mdb"},
                                                            {"Tools/dbDrugProfile.mdb.bak", "old dbDrugProfile.mdb"}},
                                  QMap<QString, QByteArray>{}};
        EXPECT_EQ(folders(), c.build.isEmpty() ? before : installed);
    }
}

TEST(ExeUpdate, InstallsWhatIsShippedAndRemovesIt)
{
    const QStringList all{"korvane.exe", "DrugBagPrinter.exe", "dbDrugProfile.mdb"};
    for (const QStringList& shipped : {all, QStringList{"korvane.exe", "dbDrugProfile.mdb"},
                                       QStringList{"DrugBagPrinter.exe"}}) {
        SCOPED_TRACE(shipped.join(u' ').toStdString());
        TestMachine machine;
        FakeView view;
        ship(machine.installFolder(), {"Korvane.exe"}, "old ");
        ship(machine.packFolder(), shipped);
        EXPECT_EQ(korvane::CExeUpdateActioner(machine.services()).action(view), korvane::Outcome::Done);

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

// Without an installation folder, run from the installation folder itself (however the setting
// or the pack's folder spell it), or with nothing to install, every action refuses before it
// touches anything, and says why: run from the installation, the program updates would copy
// every file onto itself and then remove it.
TEST(Deployment, RefusesBeforeTouchingAnythingWithoutAnInstallationRunFromItOrWithNothingShipped)
{
    enum class Setting { None, Pack, PackWithSeparator, LinkToPack, Elsewhere };
    const struct
    {
        const char* action;
        Setting setting;
        QStringList shipped;
        const char* says;
    } cases[] = {
        {"CKorvaneUpdateActioner", Setting::None, {"korvane.exe"}, "找不到 Korvane 的安裝資料夾"},
        {"ActionImpl", Setting::None, {"korvane.exe"}, "找不到 Korvane 的安裝資料夾"},
        {"CDrugDeployActioner", Setting::None, {"001.exe"}, "找不到 Korvane 的安裝資料夾"},
        {"CExeUpdateActioner", Setting::None, {"korvane.exe"}, "找不到 Korvane 的安裝資料夾"},
        {"C524011003", Setting::None, {}, "找不到 Korvane 的安裝資料夾"},
        {"C524011002", Setting::None, {}, "找不到 Korvane 的安裝資料夾"},
        {"CKorvaneUpdateActioner", Setting::Pack, {"korvane.exe"}, "安裝資料夾裡執行"},
        {"CExeUpdateActioner", Setting::PackWithSeparator, {"korvane.exe"}, "安裝資料夾裡執行"},
        {"CKorvaneUpdateActioner", Setting::PackWithSeparator, {"korvane.exe"}, "安裝資料夾裡執行"},
        {"CKorvaneUpdateActioner", Setting::LinkToPack, {"korvane.exe"}, "安裝資料夾裡執行"},
        {"ActionImpl", Setting::LinkToPack, {"korvane.exe"}, "安裝資料夾裡執行"},
        {"C524011003", Setting::PackWithSeparator, {}, "安裝資料夾裡執行"},
        {"C524011002", Setting::LinkToPack, {}, "安裝資料夾裡執行"},
        {"CKorvaneUpdateActioner", Setting::Elsewhere, {}, "沒有要安裝的檔案"},
        {"CExeUpdateActioner", Setting::Elsewhere, {"korvane.exe/inside"}, "是資料夾"},
        {"CDrugDeployActioner", Setting::Elsewhere, {"dbDrugProfile.mdb"}, "沒有要安裝的檔案"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.action) + " " + std::to_string(int(c.setting)));
        TestMachine machine;
        FakeView view;
        const QString pack = machine.packFolder();
        const QString link = machine.installFile("link");
        ASSERT_TRUE(QDir().mkpath(pack) && QFile::link(pack, link));
        const QString settings[] = {{}, pack, pack + "/", link, machine.installFolder()};
        machine.settings.setInstallationFolder(settings[int(c.setting)]);
        ship(pack, c.shipped);
        ship(pack, {"tools/dbDrugProfile.mdb"});
        const auto before = tree(machine.installFolder());
        const korvane::Outcome outcome =
            korvane::ActionCatalogue::find(QString::fromLatin1(c.action))->create(machine.services())->action(view);
        EXPECT_EQ(outcome, korvane::Outcome::Refused);
        EXPECT_EQ(tree(machine.installFolder()), before);
        EXPECT_TRUE(machine.dialogs.prompts.isEmpty() && machine.processes.started.empty() &&
                    !view.completedCalls);
        ASSERT_EQ(machine.dialogs.messages.size(), 1u);
        EXPECT_TRUE(machine.dialogs.messages[0].text.contains(QString::fromUtf8(c.says)))
            << qPrintable(machine.dialogs.messages[0].text);
    }
}

// A protected folder (under Program Files, run without elevation) refuses the run, and its dry
// run, before anything is touched, and the message says how to run it as the administrator. The folder really refuses
// writing: its permissions taken away, or as the superuser a read-only mount over it.
TEST(Deployment, EveryActionRefusesAnInstallationFolderItMayNotWrite)
{
    for (const korvane::ActionEntry& entry : korvane::ActionCatalogue::entries()) {
        SCOPED_TRACE(entry.name.toStdString());
        TestMachine machine;
        FakeView view;
        ship(machine.packFolder(), {"korvane.exe", "001.exe", "dbDrugProfile.mdb", "all.puf"});
        ship(machine.installFolder(), {"Korvane.exe", "tools/dbDrugProfile.mdb"}, "old ");
        const auto before = tree(machine.installFolder());
        const ReadOnlyFolder protectedFolder(machine.installFolder());
        KORVANE_REQUIRE_READ_ONLY(protectedFolder);

        EXPECT_EQ(entry.create(machine.services())->action(view), korvane::Outcome::Refused);
        EXPECT_EQ(tree(machine.installFolder()), before);
        EXPECT_EQ(tree(machine.packFolder()).size(), 4);
        EXPECT_TRUE(machine.dialogs.prompts.isEmpty() && machine.processes.started.empty());
        ASSERT_EQ(machine.dialogs.messages.size(), 1u);
        const QString text = machine.dialogs.messages[0].text;
        EXPECT_TRUE(text.contains(machine.installFolder()) &&
                    text.contains(QStringLiteral("請在程式上按右鍵，選擇「以系統管理員身分執行」。")))
            << qPrintable(text);
        // The dry run says the same; the price update's keeps its own reading.
        if (entry.name == korvane::ActionCatalogue::DefaultAction)
            continue;
        EXPECT_EQ(entry.create(machine.services())->unattended()->previewChanges().outcome, korvane::Outcome::Refused);
        EXPECT_EQ(tree(machine.installFolder()), before);
        ASSERT_EQ(machine.dialogs.messages.size(), 2u);
        EXPECT_EQ(machine.dialogs.messages[1].text, text);
    }
}

} // namespace
