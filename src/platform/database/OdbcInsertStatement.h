// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "RowStatement.h"

#include <QSqlDatabase>
#include <vector>

namespace korvane::platform {

class OdbcDialect;

// A statement that stores rows on a server, run straight through the ODBC driver on the
// connection that Qt opened. Qt's binding costs more than the driver's own work on a value, and
// an INSERT of many rows binds a couple of thousand values a run. It returns no rows.
class OdbcInsertStatement : public RowStatement
{
public:
    // Throws when the statement cannot be prepared.
    OdbcInsertStatement(const QSqlDatabase& db, const QString& statement, const OdbcDialect& dialect);
    ~OdbcInsertStatement() override;
    OdbcInsertStatement(const OdbcInsertStatement&) = delete;
    OdbcInsertStatement& operator=(const OdbcInsertStatement&) = delete;

    void bind(int position, const QVariant& value, ColumnInfo::Kind kind) override;
    void exec() override;
    void query() override;
    bool next() override { return false; }
    QVariant value(int column) const override;
    QSqlRecord record() const override;
    int columnCount() const override { return 0; }
    void finish() override {}

private:
    struct Parameter;
    [[noreturn]] void fail(const char* step) const;

    QSqlDatabase m_db; // keeps the connection the handle belongs to
    void* m_statement = nullptr;
    const OdbcDialect& m_dialect;
    std::vector<Parameter> m_parameters;
    size_t m_boundCount = 0; // values bound since the last run
};

} // namespace korvane::platform
