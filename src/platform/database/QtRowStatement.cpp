// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "QtRowStatement.h"

#include "DatabaseDialect.h"

#include <QSqlError>

namespace korvane::platform {

QtRowStatement::QtRowStatement(const QSqlDatabase& db, const QString& statement, const DatabaseDialect& dialect)
    : m_query(db), m_dialect(dialect)
{
    m_query.setForwardOnly(true);
    if (!m_query.prepare(statement))
        throw m_dialect.statementError(m_query);
}

void QtRowStatement::bind(int position, const QVariant& value, ColumnInfo::Kind kind)
{
    m_query.bindValue(position, m_dialect.toStored(value, kind));
}

void QtRowStatement::exec()
{
    if (!m_query.exec())
        throw m_dialect.statementError(m_query);
}

bool QtRowStatement::next()
{
    if (m_query.next())
        return true;
    if (m_query.lastError().isValid())
        throw m_dialect.statementError(m_query);
    m_query.finish();
    return false;
}

} // namespace korvane::platform
