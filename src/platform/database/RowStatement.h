// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ColumnInfo.h"
#include "StoredValues.h"

#include <QByteArray>
#include <QSqlRecord>
#include <QVariant>

namespace korvane::platform {

// A statement prepared once and run once per row, with the row's values bound to its "?"
// placeholders. Imports run one per record, and actions look up rows one per record, so this is
// the hot path of database work.
class RowStatement
{
public:
    virtual ~RowStatement() = default;
    // The value, already converted for its column, for placeholder position (from 0).
    virtual void bind(int position, const QVariant& value, ColumnInfo::Kind kind) = 0;
    // Runs the statement with the values bound; throws platform::Error.
    virtual void exec() = 0;

    // Runs a statement that returns rows with the values bound, before its first row; throws.
    virtual void query() = 0;
    // The next row; false after the last one, when the statement is done. Throws.
    virtual bool next() = 0;
    // A column of the current row as stored: null, a whole number, a double, text or bytes.
    virtual QVariant value(int column) const = 0;
    // The same value appended to out in the form of StoredValues; a statement that reads its
    // values without making them QVariants first says so here.
    virtual void appendStored(int column, QByteArray& out) const { StoredValues::append(out, value(column)); }
    // The result's columns, by name.
    virtual QSqlRecord record() const = 0;
    virtual int columnCount() const = 0;
    // Lets go of the rows not read, so that the statement holds nothing of the database.
    virtual void finish() = 0;
};

} // namespace korvane::platform
