// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "RowStatement.h"

#include <QSqlDatabase>
#include <QStringEncoder>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace korvane::platform {

class SqliteDialect;

// A row statement run directly on the SQLite connection that the Qt driver opened. The Qt
// driver's binding costs several times what SQLite itself spends on a row; a price list of
// tens of thousands of rows goes through here.
class SqliteRowStatement : public RowStatement
{
public:
    // Throws when the statement cannot be prepared.
    SqliteRowStatement(const QSqlDatabase& db, const QString& statement, const SqliteDialect& dialect);
    ~SqliteRowStatement() override;
    SqliteRowStatement(const SqliteRowStatement&) = delete;
    SqliteRowStatement& operator=(const SqliteRowStatement&) = delete;

    void bind(int position, const QVariant& value, ColumnInfo::Kind kind) override;
    void exec() override;
    void query() override;
    bool next() override;
    QVariant value(int column) const override;
    void appendStored(int column, QByteArray& out) const override;
    QSqlRecord record() const override;
    int columnCount() const override;
    void finish() override;

    // "yyyy-MM-dd HH:mm:ss", as dates are stored; buffer holds at least 20 bytes.
    static int formatDateTime(const QDateTime& value, char* buffer);

private:
    [[noreturn]] void fail(int code) const;
    // Throws unless every placeholder has a value since the last run.
    void requireBound();

    QSqlDatabase m_db; // keeps the connection the handle belongs to
    sqlite3* m_handle = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    const SqliteDialect& m_dialect;
    std::vector<QVariant> m_bound;        // holds bound values until the row has run
    size_t m_boundCount = 0;              // values bound since the last run
    std::vector<std::vector<char>> m_utf8; // bound text, already in the database's encoding
    QStringEncoder m_encoder{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};

} // namespace korvane::platform
