// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DatabaseDialect.h"

#include <optional>

struct sqlite3;

namespace korvane::platform {

// The embedded database: the Data Source file opened as SQLite. Dates are stored as
// "yyyy-MM-dd HH:mm:ss" text, which SQLite's own date functions read. It stands in for the
// Access file under the same name, so it is sent the same statements, names bracketed as Jet
// takes them; the few it sends for itself are named in SqliteDialect.cpp and go to no other
// database. A writing run takes the write lock as its transaction begins (BEGIN IMMEDIATE); a
// preview's connection refuses every write.
class SqliteDialect : public DatabaseDialect
{
public:
    explicit SqliteDialect(QString dataSource, OpenMode mode = {});

    QString qtDriver() const override { return QStringLiteral("QSQLITE"); }
    void prepare(QSqlDatabase& db) const override;
    void opened(QSqlDatabase& db) const override;
    // Takes the write lock for a moment on a connection of its own, as a writing run's
    // transaction takes it, waiting as long.
    void requireUnheld() const override;
    QString quoteName(const QSqlDatabase& db, const QString& name) const override;
    std::vector<ColumnInfo> columns(const QSqlDatabase& db, const QString& table,
                                    const QSqlRecord& record) const override;
    QVariant toStored(const QVariant& value, ColumnInfo::Kind kind) const override;
    QVariant fromStored(const QVariant& value, ColumnInfo::Kind kind) const override;
    Error translate(const QSqlError& error) const override;
    Error statementError(const QSqlQuery& query) const override;
    // The driver leaves out SQLite's own code when a commit fails; it is read from the connection.
    Error connectionError(const QSqlDatabase& db) const override;

    // SQLite rolls a transaction back by itself on some failures (a full disk, an I/O error)
    // and carries on in autocommit: every later statement would be committed on its own.
    void begin(QSqlDatabase& db) const override;
    void checkTransaction(const QSqlDatabase& db) const override;
    bool transactionEnded(const QSqlDatabase& db) const override;
    void requireTransaction(const QSqlDatabase& db) const override;
    void setTransactionBegun(bool begun) override;
    // The same for the row statements, on the handle they run on.
    void requireTransaction(sqlite3* handle) const;
    // A statement failed with error: when the transaction went with it, error is the cause that
    // later statements name.
    void statementFailed(sqlite3* handle, const Error& error) const;

    // The kind and length that a declared column type such as "VARCHAR(50)" stands for.
    static ColumnInfo describeDeclaredType(const QString& name, const QString& declaredType);

protected:
    std::unique_ptr<RowStatement> prepareRowStatement(const QSqlDatabase& db, const QString& statement) const override;

private:
    QString m_dataSource;
    OpenMode m_mode;
    mutable std::optional<Error> m_transactionEndedBy;
};

} // namespace korvane::platform
