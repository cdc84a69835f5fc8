// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "StatementCache.h"

#include "DatabaseDialect.h"

#include <QSqlIndex>
#include <QSqlRecord>

namespace korvane::platform {

StatementCache::StatementCache(QSqlDatabase db, const DatabaseDialect& dialect)
    : m_db(std::move(db)), m_dialect(dialect)
{
}

StatementCache::~StatementCache() = default;

StatementCache::Prepared& StatementCache::prepared(const QString& statement)
{
    const auto found = m_prepared.find(statement);
    if (found != m_prepared.end())
        return found->second;
    Prepared entry{m_dialect.rowStatement(m_db, statement), nullptr};
    if (m_prepared.size() >= kMaxEntries)
        m_prepared.clear();
    return m_prepared.emplace(statement, std::move(entry)).first->second;
}

RowStatement& StatementCache::batchInsert(const QString& statement)
{
    const auto found = m_batchInserts.find(statement);
    if (found != m_batchInserts.end())
        return *found->second;
    auto prepared = m_dialect.batchInsert(m_db, statement);
    if (m_batchInserts.size() >= kMaxEntries)
        m_batchInserts.clear();
    return *m_batchInserts.emplace(statement, std::move(prepared)).first->second;
}

std::shared_ptr<const TableShape> StatementCache::shape(const QString& table, const QSqlRecord& record)
{
    // A result of the same table with other columns (an explicit column list) is another shape.
    QString key = table;
    for (int i = 0; i < record.count(); ++i) {
        key += u'\x1f';
        key += record.fieldName(i);
    }
    const auto found = m_shapes.find(key);
    if (found != m_shapes.end())
        return found->second;

    auto shape = std::make_shared<TableShape>();
    shape->table = table;
    shape->columns = m_dialect.columns(m_db, table, record);
    for (size_t i = 0; i < shape->columns.size(); ++i) {
        shape->exactIndex.insert(shape->columns[i].name, int(i));
        shape->quotedNames.push_back(m_dialect.quoteName(m_db, shape->columns[i].name));
    }
    if (!table.isEmpty()) {
        const QSqlIndex primary = m_db.primaryIndex(table);
        for (int i = 0; i < primary.count(); ++i)
            shape->keyColumns << primary.fieldName(i);
    }
    if (m_shapes.size() >= kMaxEntries)
        m_shapes.clear();
    m_shapes.emplace(key, shape);
    return shape;
}

void StatementCache::clear()
{
    m_prepared.clear();
    m_batchInserts.clear();
    m_shapes.clear();
}

} // namespace korvane::platform
