// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/NativeProcesses.h"

#include "TempFolder.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

#ifndef Q_OS_WIN

using korvane::platform::NativeProcesses;
using korvane::platform::WindowStyle;
using korvane::test::TempFolder;

namespace {

bool becomesTrueWithin(int milliseconds, const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

TEST(NativeProcessesTest, SelfRemovalDeletesTheExecutableAndTheScript)
{
    TempFolder pack;
    const QString exe = pack.path("UP52407301.exe");
    ASSERT_TRUE(QFile::copy("/bin/sleep", exe));
    QFile::setPermissions(exe, QFile::permissions(exe) | QFileDevice::ExeOwner);
    QProcess running;
    running.start(exe, {"2"});
    ASSERT_TRUE(running.waitForStarted());
    pack.write("destroy.bat", "@echo off\r\n");

    // The folder is spelled as the Windows program would, with a different case.
    ASSERT_TRUE(NativeProcesses().startSelfRemoval(pack.path().replace('/', '\\'), "DESTROY.bat", exe));

    ASSERT_TRUE(running.waitForFinished(10000));
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
    EXPECT_FALSE(processes.startDetached("/nonexistent/KillIt.exe /all", QString(), WindowStyle::Normal));
}

} // namespace

#endif
