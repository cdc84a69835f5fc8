// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DatabaseDialect.h"

namespace korvane::platform {

// The embedded database: the Data Source file opened as SQLite. Dates are stored as
// "yyyy-MM-dd HH:mm:ss" text, which SQLite's own date functions read.
class SqliteDialect : public DatabaseDialect
{
public:
    explicit SqliteDialect(QString dataSource);

    QString qtDriver() const override { return QStringLiteral("QSQLITE"); }
    void prepare(QSqlDatabase& db) const override;
    void opened(QSqlDatabase& db) const override;
    std::vector<ColumnInfo> columns(const QSqlDatabase& db, const QString& table,
                                    const QSqlRecord& record) const override;
    std::unique_ptr<RowStatement> prepareRowStatement(const QSqlDatabase& db, const QString& statement) const override;
    QVariant toStored(const QVariant& value, ColumnInfo::Kind kind) const override;
    QVariant fromStored(const QVariant& value, ColumnInfo::Kind kind) const override;
    Error translate(const QSqlError& error) const override;
    // The driver leaves out SQLite's own code when a commit fails; it is read from the connection.
    Error connectionError(const QSqlDatabase& db) const override;

    // The kind and length that a declared column type such as "VARCHAR(50)" stands for.
    static ColumnInfo describeDeclaredType(const QString& name, const QString& declaredType);

private:
    QString m_dataSource;
};

} // namespace korvane::platform
