// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace korvane::platform {

// A construct of a statement that the desktop database's engine (Jet 4.0, through its ODBC
// driver) refuses, where it stands in the statement.
struct JetRefusal
{
    QString construct; // as a developer would search for it: "CASE", "||", "DEFAULT VALUES"
    QString reason;    // what Jet has instead
    qsizetype position = 0;
};

// Looks over a statement for what Jet SQL lacks: the common SQL that the embedded engine and the
// servers take and Jet refuses. Text in string literals ('...') and in bracketed names ([...])
// is data, never a construct. A check, not a parser: it catches what this system could write.
class JetSql
{
public:
    static std::vector<JetRefusal> refusals(QStringView statement);
    // Each refusal on a line of its own: "CASE (at 12): reason", counting characters from 1.
    static QString describe(const std::vector<JetRefusal>& refusals);
};

} // namespace korvane::platform
