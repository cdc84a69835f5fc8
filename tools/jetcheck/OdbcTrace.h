// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <vector>

namespace korvane {

// A statement as the unixODBC driver manager's trace shows it (Trace=Yes in odbcinst.ini).
struct TracedStatement
{
    QString function; // SQLPrepareW, SQLExecDirectW, or their narrow forms
    // As the trace shows it: of a wide call, each UTF-16 unit cut to its low byte, so that text
    // beyond ASCII reads as other characters (never as the statement's own quotes and brackets
    // where it stood in a literal or a bracketed name of its own).
    QString text;
    // The statement's length in characters as the driver manager was told it (Qt counts the zero
    // that ends the text).
    qsizetype length = 0;
    bool cut = false; // the trace shows only the first characters (it keeps fewer than 128)
    int line = 0;     // of the trace, from 1
};

// Reads the statements sent to the drivers out of a driver-manager trace.
class OdbcTrace
{
public:
    // Line by line: a trace of a whole import is large.
    static std::vector<TracedStatement> statements(QIODevice& trace);
    static std::vector<TracedStatement> statements(const QByteArray& trace);
};

} // namespace korvane
