// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "OdbcTrace.h"

#include <QBuffer>
#include <QRegularExpression>

namespace korvane {

namespace {

// Of one line, every byte as the character of that code: positions and lengths count the units
// the driver manager wrote.
QString latin1Line(const QByteArray& line)
{
    return QString::fromLatin1(line.endsWith('\n') ? line.chopped(1) : line);
}

} // namespace

std::vector<TracedStatement> OdbcTrace::statements(QIODevice& trace)
{
    // A call: "[ODBC][pid][time][SQLPrepareW.c][165]", "\t\tEntry:", "\t\t\tStatement = 0x...",
    // then "\t\t\tSQL = [text][length = n]" (" (SQL_NTS)" after n for a text ended by a zero),
    // the text cut short with "..." where it is longer than the trace keeps; it may span lines.
    static const QRegularExpression call(QStringLiteral(
        "^\\[ODBC\\]\\[[^\\]]*\\]\\[[^\\]]*\\]\\[(SQLPrepareW?|SQLExecDirectW?)\\.c\\]\\[\\d+\\]$"));
    static const QRegularExpression end(QStringLiteral("\\]\\[length = (-?\\d+)( \\(SQL_NTS\\))?\\]$"));
    const QString sqlStart = QStringLiteral("\t\t\tSQL = [");

    std::vector<TracedStatement> found;
    enum class State { Outside, Entry, Handle, Text } state = State::Outside;
    TracedStatement statement;
    bool started = false; // the text's first line has been read
    int number = 0;
    while (!trace.atEnd()) {
        const QString line = latin1Line(trace.readLine());
        ++number;
        if (state != State::Text || !started) {
            if (const auto match = call.match(line); match.hasMatch()) {
                statement = TracedStatement{match.captured(1), {}, 0, false, 0};
                state = State::Entry;
                continue;
            }
        }
        QStringView rest(line);
        switch (state) {
        case State::Outside:
            continue;
        case State::Entry:
            state = line == QStringLiteral("\t\tEntry:") ? State::Handle : State::Outside;
            continue;
        case State::Handle:
            state = line.startsWith(QStringLiteral("\t\t\tStatement = ")) ? State::Text : State::Outside;
            started = false;
            continue;
        case State::Text:
            if (started) {
                statement.text += u'\n';
            } else if (line.startsWith(sqlStart)) {
                statement.line = number;
                rest = rest.mid(sqlStart.size());
                started = true;
            } else {
                state = State::Outside;
                continue;
            }
            break;
        }
        const auto close = end.match(rest);
        if (!close.hasMatch()) {
            statement.text += rest;
            continue;
        }
        statement.text += rest.left(close.capturedStart());
        statement.length = close.captured(1).toLongLong();
        if (statement.text.endsWith(QStringLiteral("...")) && statement.text.size() - 3 < statement.length) {
            statement.text.chop(3);
            statement.cut = true;
        }
        found.push_back(std::move(statement));
        state = State::Outside;
    }
    return found;
}

std::vector<TracedStatement> OdbcTrace::statements(const QByteArray& trace)
{
    QBuffer buffer;
    buffer.setData(trace);
    buffer.open(QIODevice::ReadOnly);
    return statements(buffer);
}

} // namespace korvane
