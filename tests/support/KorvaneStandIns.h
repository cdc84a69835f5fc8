// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>

namespace korvane::test {

// Korvane's own programs in a test installation, as shell scripts (not on Windows).

// "tools/KillIt.exe" of the installation: writes its arguments, one a line, to "KillIt.args"
// beside it and, given exactly the argument Korvane, ends process pid (0: ends nothing).
void writeKillTool(const QString& installationFolder, qint64 pid);

// An application at path that, started, writes "<process id> <marker>" to "started" in its
// folder and keeps running.
void writeApplication(const QString& path, const QString& marker);

// The application that the code under test started from folder; ended with the test.
class StartedApplication
{
public:
    explicit StartedApplication(QString folder) : m_folder(std::move(folder)) {}
    ~StartedApplication();
    StartedApplication(const StartedApplication&) = delete;
    StartedApplication& operator=(const StartedApplication&) = delete;

    // Whether it told within the time that it runs.
    bool startsWithin(int milliseconds);
    const QString& marker() const { return m_marker; }
    bool running() const;

private:
    QString m_folder;
    qint64 m_pid = 0;
    QString m_marker;
};

} // namespace korvane::test
