// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "SqliteProgram.h"

#include <QDeadlineTimer>
#include <stdexcept>

namespace korvane::test {

SqliteProgram::SqliteProgram(const QString& database, const QStringList& statements)
{
    // Stopped at the first error; the last line tells that the others have run.
    m_process.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), database});
    if (!m_process.waitForStarted(10000))
        throw std::runtime_error("the sqlite3 tool does not start");
    m_process.write(
        (statements.join(QStringLiteral(";\n")) + QStringLiteral(";\nSELECT 'held';\n")).toUtf8());
    QByteArray out;
    const QDeadlineTimer deadline(10000);
    while (!out.contains("held\n") && m_process.state() == QProcess::Running && !deadline.hasExpired()) {
        m_process.waitForReadyRead(int(deadline.remainingTime()));
        out += m_process.readAllStandardOutput();
    }
    if (!out.contains("held\n"))
        throw std::runtime_error("sqlite3 did not run the statements: " +
                                 m_process.readAllStandardError().toStdString());
}

SqliteProgram::~SqliteProgram()
{
    m_process.kill();
    m_process.waitForFinished(10000);
}

} // namespace korvane::test
