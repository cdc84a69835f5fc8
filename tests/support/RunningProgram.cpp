// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "RunningProgram.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <stdexcept>

namespace korvane::test {

RunningProgram::RunningProgram(Use use, const QString& file)
{
    // Long enough for any test; the test ends it.
    const QString seconds = QStringLiteral("600");
    if (use == Use::RunFrom) {
        if (!QFile::copy(QStringLiteral("/bin/sleep"), file) ||
            !QFile::setPermissions(file, QFile::permissions(file) | QFileDevice::ExeOwner))
            throw std::runtime_error("cannot copy the program");
        m_process.start(file, {seconds});
    } else {
        // The line tells that the descriptor is open; sleep inherits it.
        m_process.start(QStringLiteral("/bin/sh"),
                        {QStringLiteral("-c"), QStringLiteral(R"(exec 3<"$1" && echo && exec sleep "$2")"),
                         QStringLiteral("sh"), file, seconds});
    }
    if (!m_process.waitForStarted(10000) || (use == Use::HoldOpen && !m_process.waitForReadyRead(10000)))
        throw std::runtime_error("the program does not run");
}

void RunningProgram::end()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(10000);
}

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

bool staysTrueFor(int milliseconds, const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(milliseconds);
    while (condition()) {
        if (deadline.hasExpired())
            return true;
        QThread::msleep(50);
    }
    return false;
}

} // namespace korvane::test
