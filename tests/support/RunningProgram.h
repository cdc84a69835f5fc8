// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QProcess>
#include <QString>
#include <functional>

namespace korvane::test {

// Another program that uses a file of the test until the test ends it, as a running pack or the
// installed application does on a clinic's machine. Not on Windows: it runs /bin programs.
class RunningProgram
{
public:
    enum class Use {
        RunFrom,  // the file becomes a copy of /bin/sleep, which runs from it
        HoldOpen, // a shell holds the existing file open on a descriptor
    };

    // Returns once the program uses the file; throws when it cannot start.
    RunningProgram(Use use, const QString& file);
    ~RunningProgram() { end(); }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Kills the program and waits until it has ended and is gone from the process table.
    void end();
    // Whether the program has ended (killed by someone else, say) within the time.
    bool endsWithin(int milliseconds)
    {
        return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(milliseconds);
    }
    qint64 processId() const { return m_process.processId(); }

private:
    QProcess m_process;
};

// Asks every 50 ms until the condition holds (true) or the time is up (false).
bool becomesTrueWithin(int milliseconds, const std::function<bool()>& condition);
// Asks every 50 ms for that long; false as soon as the condition fails once.
bool staysTrueFor(int milliseconds, const std::function<bool()>& condition);

} // namespace korvane::test
