// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace korvane::test {

// The sqlite3 tool in a process of its own, with a database open and its statements run: another
// program reading or writing a database (Korvane, the drug-bag printer) while a run goes on. Its
// transaction stays open until the object goes, which kills the tool. Not on Windows.
class SqliteProgram
{
public:
    // Returns once the statements have run; throws when the tool cannot start or they fail.
    SqliteProgram(const QString& database, const QStringList& statements);
    ~SqliteProgram();
    SqliteProgram(const SqliteProgram&) = delete;
    SqliteProgram& operator=(const SqliteProgram&) = delete;

private:
    QProcess m_process;
};

} // namespace korvane::test
