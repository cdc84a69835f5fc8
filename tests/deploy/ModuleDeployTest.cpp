// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The drug-bag printing module and the executable update on a real installation folder.

#include "DeployTestSupport.h"
#include "RunningProgram.h"
#include "TestServices.h"
#include "deploy/CDrugDeployActioner.h"
#include "deploy/CExeUpdateActioner.h"

#include <gtest/gtest.h>

using korvane::test::tree;

namespace {

class ModuleDeploy : public ::testing::Test
{
protected:
    void SetUp() override
    {
        machine.writeFile(machine.packFile(QStringLiteral("001.exe")), "epson");
        machine.writeFile(machine.packFile(QStringLiteral("002.exe")), "inkjet");
        machine.writeFile(machine.packFile(QStringLiteral("dbDrugProfile.mdb")), "new profile");
        QDir(machine.installFolder()).mkpath(QStringLiteral("Tools"));
        machine.writeFile(machine.installFile(QStringLiteral("Tools/DrugBagPrinter.exe")), "old printer");
        machine.writeFile(machine.installFile(QStringLiteral("Tools/dbDrugProfile.mdb")), "old profile");
    }
    void run(const QString& answer)
    {
        view = {};
        machine.dialogs.answers = QStringList{answer};
        korvane::CDrugDeployActioner(machine.services()).action(view);
    }
    QByteArray tool(const QString& name) const
    {
        return tree(machine.installFile(QStringLiteral("Tools"))).value(name);
    }

    korvane::test::TestMachine machine;
    korvane::test::FakeView view;
};

TEST_F(ModuleDeploy, TheAnswerChoosesTheBuildAndAnyOtherEndsTheProgramWithNothingChanged)
{
    const struct
    {
        QString answer;
        QByteArray installed; // empty: cancelled
    } cases[] = {{QStringLiteral("1"), "epson"},
                 {QStringLiteral(" 1 "), "epson"},
                 {QStringLiteral("2"), "inkjet"},
                 {QStringLiteral("3"), {}},
                 {QString(), {}},
                 {QStringLiteral("１"), {}},
                 {QStringLiteral("1."), {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        SetUp();
        const auto installationBefore = tree(machine.installFolder());
        const auto packBefore = tree(machine.packFolder());
        const int endsBefore = machine.processes.endCalls;
        run(c.answer);

        EXPECT_EQ(machine.dialogs.prompts.takeLast(),
                  QStringLiteral("請選擇您的印表機型號：\r\n\r\n1.Epson LQ 300+ "
                                 "II。\r\n2.噴墨印表機。\r\n3.取消更新作業|選項"));
        EXPECT_TRUE(machine.dialogs.messages.empty());
        EXPECT_EQ(machine.processes.endCalls, endsBefore + (c.installed.isEmpty() ? 1 : 0));
        if (c.installed.isEmpty()) {
            EXPECT_EQ(tree(machine.installFolder()), installationBefore);
            EXPECT_EQ(tree(machine.packFolder()), packBefore);
        } else {
            EXPECT_EQ(tool(QStringLiteral("DrugBagPrinter.exe")), c.installed);
            EXPECT_EQ(tool(QStringLiteral("dbDrugProfile.mdb")), "new profile");
            EXPECT_TRUE(tree(machine.packFolder()).isEmpty()) << "both builds go, whichever was chosen";
            EXPECT_EQ(view.progress, (std::vector<qint16>{30, 60, 100}));
        }
    }
}

#ifndef Q_OS_WIN
TEST_F(ModuleDeploy, ARunningModuleIsToldBeforeTheQuestion)
{
    QFile::remove(machine.installFile(QStringLiteral("Tools/DrugBagPrinter.exe")));
    korvane::test::RunningProgram module(korvane::test::RunningProgram::Use::RunFrom,
                                         machine.installFile(QStringLiteral("Tools/DrugBagPrinter.exe")));
    run(QStringLiteral("1"));
    EXPECT_TRUE(machine.dialogs.prompts.isEmpty());
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_EQ(machine.dialogs.messages[0].text,
              QStringLiteral("在進行更新程式前，請關閉目前正在執行的申報軟體。"));
    EXPECT_EQ(tool(QStringLiteral("dbDrugProfile.mdb")), "old profile");
}
#endif

TEST_F(ModuleDeploy, WhatIsNotShippedLeavesTheInstalledFileAlone)
{
    QFile::remove(machine.packFile(QStringLiteral("dbDrugProfile.mdb")));
    QFile::remove(machine.packFile(QStringLiteral("002.exe")));
    run(QStringLiteral("2"));
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_TRUE(machine.dialogs.messages[0].text.contains(QStringLiteral("002.exe")));
    EXPECT_EQ(tool(QStringLiteral("DrugBagPrinter.exe")), "old printer");

    run(QStringLiteral("1"));
    EXPECT_EQ(tool(QStringLiteral("DrugBagPrinter.exe")), "epson");
    EXPECT_EQ(tool(QStringLiteral("dbDrugProfile.mdb")), "old profile");
}

TEST(ExeUpdate, InstallsWhatIsShippedRemovesItAndRefusesToRunFromTheInstallation)
{
    korvane::test::TestMachine machine;
    korvane::test::FakeView view;
    machine.writeFile(machine.installFile(QStringLiteral("Korvane.exe")), "old program");
    // DrugBagPrinter.exe is not shipped: skipped, and the bar moves all the same.
    for (const char* name : {"korvane.exe", "dbDrugProfile.mdb"})
        machine.writeFile(machine.packFile(QString::fromLatin1(name)), name);
    korvane::CExeUpdateActioner(machine.services()).action(view);

    const auto files = tree(machine.installFolder());
    EXPECT_EQ(files.value(QStringLiteral("Korvane.exe")), "korvane.exe") << "one program file, replaced";
    EXPECT_FALSE(files.contains(QStringLiteral("korvane.exe")));
    EXPECT_EQ(files.value(QStringLiteral("Tools/dbDrugProfile.mdb")), "dbDrugProfile.mdb");
    EXPECT_TRUE(tree(machine.packFolder()).isEmpty());
    EXPECT_TRUE(machine.dialogs.messages.empty());
    EXPECT_EQ(view.progress, (std::vector<qint16>{30, 60, 100, 30, 60, 100}));
    EXPECT_EQ(view.messages,
              (QStringList{QStringLiteral("V\t複製更新檔案到電腦中\r\n\t刪除本次更新暫存檔\r\n"),
                           QStringLiteral("\t複製更新檔案到電腦中\r\nV\t刪除本次更新暫存檔\r\n")}));

    machine.writeFile(machine.packFile(QStringLiteral("korvane.exe")), "the installed program");
    machine.settings.setInstallationFolder(machine.packFolder());
    korvane::CExeUpdateActioner(machine.services()).action(view);
    EXPECT_EQ(tree(machine.packFolder()).value(QStringLiteral("korvane.exe")), "the installed program");
}

} // namespace
