// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>

namespace korvane::platform {

class Connection;
class RowStatement;

// The rows of one statement read once, first to last, one at a time, each value as the database
// stores it: for reading a whole table in one pass, where a recordset would keep every row and
// convert every value. Nothing can be changed through it. The statement is sent as a
// recordset's is, to the connection's statement log too.
class RowReader
{
public:
    // Runs the statement; throws platform::Error when the database refuses it.
    RowReader(const std::shared_ptr<Connection>& connection, const QString& statement);
    ~RowReader();
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    // Moves to the next row, the first one at the first call; false after the last. Throws.
    bool next();
    int columnCount() const;
    // A column of the current row as stored: null, a whole number, a double, text, bytes or a
    // date and time as the driver gives it.
    QVariant value(int column) const;
    // The same value appended to out as StoredValues writes it.
    void appendStored(int column, QByteArray& out) const;

private:
    std::shared_ptr<Connection> m_connection; // keeps the statement's database open
    std::unique_ptr<RowStatement> m_statement;
};

} // namespace korvane::platform
