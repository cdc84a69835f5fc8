// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// Deployment rolled out with updatlet, as a clinic's IT staff do: each action end to end, and its
// exit status.

#include "ClinicDatabase.h"
#include "KorvaneStandIns.h"
#include "RunningProgram.h"
#include "UpdatletInstallation.h"

#include <QDir>
#include <gtest/gtest.h>
#include <optional>

#ifndef Q_OS_WIN

using namespace korvane::test;

namespace {

TEST(DeployWithUpdatlet, EachActionInstallsItsFilesOrEndsWithItsStatus)
{
    const struct
    {
        const char* action;
        QStringList arguments;
        QStringList shipped;
        int exitCode;                      // not 0: nothing leaves the pack
        const char* installedAs = nullptr; // where the first shipped file goes
        bool moduleRuns = false;           // the installed tools/DrugBagPrinter.exe
    } cases[] = {
        {"CKorvaneUpdateActioner", {}, {"korvane.exe", "icd10"}, 0, "korvane.exe"},
        {"ActionImpl", {}, {"icd10"}, 0, "icd10"},
        {"CDrugDeployActioner", {"--answer", "2"}, {"002.exe", "001.exe"}, 0, "tools/DrugBagPrinter.exe"},
        // No answer and no terminal to ask: cancelled.
        {"CDrugDeployActioner", {}, {"002.exe", "001.exe"}, 3},
        // A running module is told before the question, which would cancel.
        {"CDrugDeployActioner", {}, {"002.exe", "001.exe"}, 1, nullptr, true},
        // A file that could not be installed fails the run, and stays.
        {"CExeUpdateActioner", {}, {"DrugBagPrinter.exe"}, 1, nullptr, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        UpdatletInstallation installation;
        ClinicDatabase::create(installation.path("Korvane/dbKorvane.mdb"));
        ship(installation.path("pack"), c.shipped);
        std::optional<RunningProgram> module;
        if (c.moduleRuns && QDir(installation.path("Korvane")).mkpath("tools"))
            module.emplace(RunningProgram::Use::RunFrom,
                           installation.path("Korvane/tools/DrugBagPrinter.exe"));
        const auto packBefore = tree(installation.path("pack"));

        const auto result = installation.run(QStringList(c.arguments) << installation.packArguments()
                                                                      << QString::fromLatin1(c.action));
        EXPECT_EQ(result.exitCode, c.exitCode) << qPrintable(result.out);
        EXPECT_EQ(tree(installation.path("pack")), c.exitCode ? packBefore : decltype(packBefore){});
        if (c.installedAs) {
            EXPECT_EQ(installation.read("Korvane/" + QString(c.installedAs)), c.shipped[0].toUtf8());
        }
    }
}

} // namespace

#endif
