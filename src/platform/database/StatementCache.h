// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ColumnInfo.h"
#include "RowStatement.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>
#include <unordered_map>
#include <vector>

namespace korvane::platform {

class DatabaseDialect;

// What a recordset needs of the table it reads: the columns and, for finding a row again, the
// table's key.
struct TableShape
{
    QString table; // empty for a result that is not one table's rows
    std::vector<ColumnInfo> columns;
    std::vector<QString> quotedNames; // as the database's statements write them
    QHash<QString, int> exactIndex;
    QStringList keyColumns;
    // The insert statement for each set of assigned columns, made once.
    mutable std::unordered_map<std::string, QString> insertStatements;
};

// What an open connection keeps from statement to statement: statements run again and again
// with other values stay prepared, and a table is described once. Actions that look up and
// write one row per record of a scan spend most of their time here otherwise. Everything goes
// when the connection closes or a statement changes the schema.
class StatementCache
{
public:
    StatementCache(QSqlDatabase db, const DatabaseDialect& dialect);
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    struct Prepared
    {
        std::unique_ptr<RowStatement> statement;
        std::shared_ptr<const TableShape> shape; // of its rows, once read
    };
    // The statement prepared. A caller reads its rows to the end (or finishes it) before it asks
    // the cache for anything else. Throws when the statement cannot be prepared.
    Prepared& prepared(const QString& statement);
    RowStatement& rowStatement(const QString& statement) { return *prepared(statement).statement; }
    // An INSERT of many rows, prepared as the dialect prepares those.
    RowStatement& batchInsert(const QString& statement);
    // The shape of a table as a result of it shows it.
    std::shared_ptr<const TableShape> shape(const QString& table, const QSqlRecord& record);

    void clear();

private:
    // Enough for the statements of any one operation; beyond it the cache starts again, so a
    // caller that pastes values into its statements cannot make it grow without end.
    static constexpr size_t kMaxEntries = 64;

    QSqlDatabase m_db;
    const DatabaseDialect& m_dialect;
    std::unordered_map<QString, Prepared> m_prepared;
    std::unordered_map<QString, std::unique_ptr<RowStatement>> m_batchInserts;
    std::unordered_map<QString, std::shared_ptr<const TableShape>> m_shapes;
};

} // namespace korvane::platform
