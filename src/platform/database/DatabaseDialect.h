// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ColumnInfo.h"
#include "OpenMode.h"
#include "RowStatement.h"
#include "platform/Error.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;
class QSqlRecord;

namespace korvane::platform {

class StatementLog;

// What differs between the databases a connection text can name: which Qt driver serves it, how
// it is opened, how columns are described, how values are stored and how errors read.
class DatabaseDialect
{
public:
    virtual ~DatabaseDialect() = default;

    // Throws for a provider the system does not know.
    static std::unique_ptr<DatabaseDialect> forConnectionText(const QString& text, OpenMode mode = {});

    virtual QString qtDriver() const = 0;
    // Sets the database name and options; throws when the database cannot exist (a missing file).
    virtual void prepare(QSqlDatabase& db) const = 0;
    // The session settings the system relies on, once the connection is open; throws when the
    // database refuses them.
    virtual void opened(QSqlDatabase& db) const { Q_UNUSED(db); }
    // Throws the refusal a writing run's open or transaction would meet now because another
    // program holds the database (see Connection::requireUnheld); nothing where a database is
    // shared by its nature (a server).
    virtual void requireUnheld() const {}
    // Begins a transaction; throws when the database refuses.
    virtual void begin(QSqlDatabase& db) const;
    // Throws when the database has already given up the open transaction, so that a commit
    // can never quietly end as a rollback.
    virtual void checkTransaction(const QSqlDatabase& db) const { Q_UNUSED(db); }
    // Whether the database no longer has a transaction open that the connection began: it
    // rolled it back by itself, or the connection is lost. May cost a round trip.
    virtual bool transactionEnded(const QSqlDatabase& db) const
    {
        Q_UNUSED(db);
        return false;
    }
    // Throws before a statement that writes would run on its own, outside the transaction the
    // connection has begun, because the database has ended that transaction: it would be
    // committed at once. Only where the database tells without a round trip.
    virtual void requireTransaction(const QSqlDatabase& db) const { Q_UNUSED(db); }
    // Whether the connection has begun a transaction and not ended it, as the connection sees it;
    // kept here for the statements the dialect prepares (each connection has a dialect of its own).
    bool transactionBegun() const { return m_transactionBegun; }
    virtual void setTransactionBegun(bool begun) { m_transactionBegun = begun; }
    // Column descriptions of a result, given its record and the table it was read from.
    virtual std::vector<ColumnInfo> columns(const QSqlDatabase& db, const QString& table,
                                            const QSqlRecord& record) const = 0;

    // How many rows one INSERT may carry in its VALUES list, and how many values it may bind in
    // all. One row where rows gain nothing from going together (the embedded database, which
    // has no round trips) or where the driver takes one row a statement (the desktop driver).
    struct InsertLimits
    {
        int rows = 1;
        int values = 0;
    };
    virtual InsertLimits insertLimits(const QSqlDatabase& db) const
    {
        Q_UNUSED(db);
        return {};
    }

    // Every statement sent for the connection's callers goes through one of these three, so that
    // the connection's statement log (when it has one) is told each.
    // A statement to run once per row; throws when it cannot be prepared.
    std::unique_ptr<RowStatement> rowStatement(const QSqlDatabase& db, const QString& statement) const;
    // An INSERT of many rows (see insertLimits), run again and again with other values.
    std::unique_ptr<RowStatement> batchInsert(const QSqlDatabase& db, const QString& statement) const;
    // Runs a statement without values; throws when the database refuses it.
    void execute(const QSqlDatabase& db, const QString& statement) const;
    void setStatementLog(StatementLog* log) { m_log = log; }

    // A column's name as the statements of the recordsets write it.
    virtual QString quoteName(const QSqlDatabase& db, const QString& name) const;

    // The value as the driver should bind it for a column of this kind.
    virtual QVariant toStored(const QVariant& value, ColumnInfo::Kind kind) const { Q_UNUSED(kind); return value; }
    virtual QVariant fromStored(const QVariant& value, ColumnInfo::Kind kind) const { Q_UNUSED(kind); return value; }

    // A driver error as the user should read it.
    virtual Error translate(const QSqlError& error) const = 0;
    // The error of a failed statement, and of a failed open, commit or rollback on the
    // connection. A dialect that can ask its driver for more than Qt passes on reads it here.
    virtual Error statementError(const QSqlQuery& query) const;
    virtual Error connectionError(const QSqlDatabase& db) const;
    // The transaction is gone and nothing of it was written; cause, when known, says why.
    static Error transactionEndedError(const QString& cause);

protected:
    virtual std::unique_ptr<RowStatement> prepareRowStatement(const QSqlDatabase& db, const QString& statement) const;
    virtual std::unique_ptr<RowStatement> prepareBatchInsert(const QSqlDatabase& db, const QString& statement) const
    {
        return prepareRowStatement(db, statement);
    }

    // Refuses a desktop database file that is missing, or empty (zero bytes: a copy or a
    // restore that went wrong), before a driver makes a new empty database of it or reports
    // merely that it lacks tables. dataSource is the path as configured, path the local one.
    static void requireDatabaseFile(const QString& dataSource, const QString& path);
    // The wordings shared by every database, with the driver's own text appended for support.
    static Error lockedError(const QString& detail);
    static Error unreachableError(const QString& detail);
    // A database file that another program holds, so that a run cannot have it to itself; held
    // says what was held, detail (when there is one) what the driver said.
    static Error inUseError(const QString& held, const QString& detail);
    // Any other error: the driver's text alone would tell the clinic nothing.
    static Error otherError(const QString& detail);

private:
    // The clinic's database file of the Jet provider, at dataSource.
    static std::unique_ptr<DatabaseDialect> forDatabaseFile(const QString& text, const QString& dataSource,
                                                            OpenMode mode);

    bool m_transactionBegun = false;
    StatementLog* m_log = nullptr;
};

} // namespace korvane::platform
