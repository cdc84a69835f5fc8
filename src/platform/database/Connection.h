// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "OpenMode.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

namespace korvane::platform {

class DatabaseDialect;
class StatementCache;
class StatementLog;

// A database connection in the manner of an ADO Connection. The connection text is an OLE DB
// text ("Provider=...;Data Source=...") and is mapped onto the Qt SQL driver that serves it.
// Every failure throws platform::Error with a description a clinic can act on.
class Connection
{
public:
    enum { adStateClosed = 0, adStateOpen = 1 };
    // How the connection opens its database, as ADO's ConnectModeEnum. A run that writes asks
    // for adModeShareExclusive: no other program may have the database open meanwhile (the
    // desktop database's file is opened exclusively; the embedded one takes its write lock with
    // the transaction, as always). A preview asks for adModeRead: shared, and nothing written;
    // with adModeShareExclusive too, it is refused where the run that writes would be (another
    // program has the desktop database open, or writes to the embedded one), yet opens shared.
    // adModeUnknown opens it as the connection text alone says.
    enum {
        adModeUnknown = 0,
        adModeRead = 1,
        adModeWrite = 2,
        adModeReadWrite = 3,
        adModeShareDenyRead = 4,
        adModeShareDenyWrite = 8,
        adModeShareExclusive = 12,
        adModeShareDenyNone = 16,
    };

    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const QString& ConnectionString() const { return m_connectionString; }
    void setConnectionString(const QString& text);

    int Mode() const { return m_mode; }
    // What a mode asks of the database: any share denied is taken as exclusive, for the desktop
    // database has no narrower sharing.
    static OpenMode openMode(int mode);
    // Only while closed, so that the connection text stays what the settings give.
    void setMode(int mode);
    // Every statement the connection sends for its callers is told to log (see StatementLog),
    // from the next Open on; null for none. The log must outlive the connection's open.
    void setStatementLog(StatementLog* log) { m_log = log; }

    // Whether a run that writes could have the database the text names to itself now: throws
    // the refusal its open would meet (Error::Kind::DatabaseLocked: another program holds the
    // desktop database's file, or another writer the embedded one's lock), and returns otherwise.
    // Asked without opening the database so and without writing anything: for a preview, which
    // must refuse what the run would refuse.
    static void requireUnheld(const QString& connectionText);

    int State() const;
    void Open();
    void Close();

    // Runs a statement that returns no rows. Values are bound to the "?" placeholders in order;
    // a statement run with values stays prepared for the next values.
    void Execute(const QString& statement, const QVariantList& values = {});

    // Whether the database has a table of this name, compared without regard to case.
    bool hasTable(const QString& name) const;

    void BeginTrans();
    // Throws, and leaves the transaction to be rolled back, when the database no longer has it
    // open: a commit never quietly ends as a rollback, nor commits only what came after it.
    void CommitTrans();
    // Ends the transaction without an error of its own when the database has already ended it.
    void RollbackTrans();
    // Whether BeginTrans was called and neither CommitTrans nor RollbackTrans since.
    bool InTransaction() const { return m_inTransaction; }
    // Whether the database has ended that transaction by itself: it rolled it back (a full disk,
    // an I/O error, a server that aborted it) or the connection is lost. False outside a
    // transaction. On a server this costs a round trip, so ask after a statement has failed.
    // Nothing more can be written in it then: on the embedded database every further statement
    // that writes throws instead of running, and being committed, on its own; CommitTrans throws.
    bool transactionEnded() const;

    // For the recordsets of this connection.
    QSqlDatabase database() const;
    const DatabaseDialect& dialect() const;
    StatementCache& statements() const;
    // New rows that recordsets hold back to send in batches, counted by the recordsets as they
    // take and send or drop them: CommitTrans refuses to commit without them.
    void countRowsWaiting(qint64 change) { m_rowsWaiting += change; }
    // Changes with every BeginTrans: rows held back belong to the transaction they were added in.
    quint64 transactionNumber() const { return m_transactionNumber; }

private:
    void dropStatements();
    void setInTransaction(bool open);

    QString m_connectionString;
    int m_mode = adModeUnknown;
    StatementLog* m_log = nullptr;
    QString m_qtName;
    QSqlDatabase m_db; // while open
    std::unique_ptr<DatabaseDialect> m_dialect;
    std::unique_ptr<StatementCache> m_statements; // while open
    bool m_inTransaction = false;
    quint64 m_transactionNumber = 0;
    qint64 m_rowsWaiting = 0;
};

} // namespace korvane::platform
