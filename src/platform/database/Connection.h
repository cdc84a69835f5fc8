// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

namespace korvane::platform {

class DatabaseDialect;
class StatementCache;

// A database connection in the manner of an ADO Connection. The connection text is an OLE DB
// text ("Provider=...;Data Source=...") and is mapped onto the Qt SQL driver that serves it.
// Every failure throws platform::Error with a description a clinic can act on.
class Connection
{
public:
    enum { adStateClosed = 0, adStateOpen = 1 };

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const QString& ConnectionString() const { return m_connectionString; }
    void setConnectionString(const QString& text);

    int State() const;
    void Open();
    void Close();

    // Runs a statement that returns no rows. Values are bound to the "?" placeholders in order;
    // a statement run with values stays prepared for the next values.
    void Execute(const QString& statement, const QVariantList& values = {});

    // Whether the database has a table of this name, compared without regard to case.
    bool hasTable(const QString& name) const;

    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const { return m_inTransaction; }

    // For the recordsets of this connection.
    QSqlDatabase database() const;
    const DatabaseDialect& dialect() const;
    StatementCache& statements() const;

private:
    void dropStatements();

    QString m_connectionString;
    QString m_qtName;
    QSqlDatabase m_db; // while open
    std::unique_ptr<DatabaseDialect> m_dialect;
    std::unique_ptr<StatementCache> m_statements; // while open
    bool m_inTransaction = false;
};

} // namespace korvane::platform
