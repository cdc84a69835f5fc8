// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// Deployment rolled out with updatlet, as a clinic's IT staff do: its exit statuses.

#include "DeployTestSupport.h"
#include "RunningProgram.h"
#include "UpdatletInstallation.h"

#include <gtest/gtest.h>

#ifndef Q_OS_WIN

using korvane::test::tree;

namespace {

TEST(DeployWithUpdatlet, ThePrinterIsAnsweredByOptionAndAnUnansweredQuestionCancels)
{
    korvane::test::UpdatletInstallation installation;
    installation.write(QStringLiteral("pack/001.exe"), "epson");
    installation.write(QStringLiteral("pack/002.exe"), "inkjet");
    const auto packBefore = tree(installation.path(QStringLiteral("pack")));
    const QStringList run = installation.packArguments() << QStringLiteral("CDrugDeployActioner");

    const auto cancelled = installation.run(run);
    EXPECT_EQ(cancelled.exitCode, 3) << qPrintable(cancelled.out);
    EXPECT_TRUE(
        cancelled.out.contains(QStringLiteral("[選項]\n請選擇您的印表機型號：\n\n1.Epson LQ 300+ II。\n")));
    EXPECT_EQ(tree(installation.path(QStringLiteral("pack"))), packBefore);

    const auto answered =
        installation.run(QStringList{QStringLiteral("--answer"), QStringLiteral("2")} << run);
    EXPECT_EQ(answered.exitCode, 0) << qPrintable(answered.out);
    EXPECT_EQ(
        tree(installation.path(QStringLiteral("Korvane/tools"))).value(QStringLiteral("DrugBagPrinter.exe")),
        "inkjet");
}

TEST(DeployWithUpdatlet, AFileThatCouldNotBeInstalledFailsTheRun)
{
    korvane::test::UpdatletInstallation installation;
    installation.write(QStringLiteral("pack/DrugBagPrinter.exe"), "new printer");
    QDir(installation.path(QStringLiteral("Korvane"))).mkpath(QStringLiteral("Tools"));
    korvane::test::RunningProgram module(
        korvane::test::RunningProgram::Use::RunFrom,
        installation.path(QStringLiteral("Korvane/Tools/DrugBagPrinter.exe")));
    const auto result =
        installation.run(installation.packArguments() << QStringLiteral("CExeUpdateActioner"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.contains(QStringLiteral("!! [更新未完成]"))) << qPrintable(result.out);
    EXPECT_TRUE(QFile::exists(installation.path(QStringLiteral("pack/DrugBagPrinter.exe"))));
}

} // namespace

#endif
