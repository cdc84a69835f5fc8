// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "RowStatement.h"

#include <QSqlQuery>

namespace korvane::platform {

class DatabaseDialect;

// A row statement through the Qt SQL driver.
class QtRowStatement : public RowStatement
{
public:
    // Throws when the statement cannot be prepared.
    QtRowStatement(const QSqlDatabase& db, const QString& statement, const DatabaseDialect& dialect);

    void bind(int position, const QVariant& value, ColumnInfo::Kind kind) override;
    void exec() override;
    void query() override { exec(); }
    bool next() override;
    QVariant value(int column) const override { return m_query.value(column); }
    QSqlRecord record() const override { return m_query.record(); }
    int columnCount() const override { return m_query.record().count(); }
    void finish() override { m_query.finish(); }

private:
    QSqlQuery m_query;
    const DatabaseDialect& m_dialect;
};

} // namespace korvane::platform
