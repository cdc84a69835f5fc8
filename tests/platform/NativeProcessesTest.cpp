// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/NativeProcesses.h"

#include "RunningProgram.h"
#include "TempFolder.h"

#include <QFile>
#include <gtest/gtest.h>

#ifndef Q_OS_WIN

using korvane::platform::NativeProcesses;
using korvane::platform::WindowStyle;
using korvane::test::becomesTrueWithin;
using korvane::test::RunningProgram;
using korvane::test::staysTrueFor;
using korvane::test::TempFolder;

namespace {

TEST(NativeProcessesTest, SelfRemovalDeletesTheExecutableOnceTheProgramHasEndedThenTheScript)
{
    TempFolder pack;
    const QString exe = pack.path("UP52407301.exe");
    RunningProgram running(RunningProgram::Use::RunFrom, exe);
    pack.write("destroy.bat", "@echo off\r\n");

    // The folder is spelled as the Windows program would, with a different case.
    ASSERT_TRUE(NativeProcesses().startSelfRemoval(pack.path().replace('/', '\\'), "DESTROY.bat", exe));

    // The loop has had many turns while the program still runs.
    EXPECT_TRUE(staysTrueFor(1500, [&] { return pack.exists("UP52407301.exe"); }))
        << "deleted while the program ran";
    running.end();
    EXPECT_TRUE(becomesTrueWithin(
        10000, [&] { return !pack.exists("UP52407301.exe") && !pack.exists("destroy.bat"); }))
        << "left behind in " << pack.path().toStdString();
}

TEST(NativeProcessesTest, StartDetachedRunsTheCommandLineInTheWorkingFolder)
{
    TempFolder folder;
    ASSERT_TRUE(NativeProcesses().startDetached(R"(/bin/sh -c "pwd > 'out put.txt'")", folder.path(),
                                                WindowStyle::MinimizedFocus));
    EXPECT_TRUE(becomesTrueWithin(10000, [&] {
        return folder.exists("out put.txt") &&
               folder.read("out put.txt") == QFile::encodeName(folder.path()) + '\n';
    }));
}

TEST(NativeProcessesTest, StartDetachedReportsWhatCouldNotStart)
{
    NativeProcesses processes;
    EXPECT_FALSE(processes.startDetached("", QString(), WindowStyle::Normal));
    // With the system's reason, for the message that names the program.
    QString whyNot;
    EXPECT_FALSE(processes.startDetached("/nonexistent/KillIt.exe /all", QString(), WindowStyle::Normal, &whyNot));
    EXPECT_FALSE(whyNot.isEmpty());
}

} // namespace

#endif
