// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Connection.h"

#include "DatabaseDialect.h"
#include "StatementCache.h"
#include "StatementLog.h"
#include "platform/Error.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <algorithm>
#include <atomic>

namespace korvane::platform {

namespace {

QString nextQtConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("korvane-connection-") + QString::number(++counter);
}

// A statement after which the tables may look different.
bool changesSchema(const QString& statement)
{
    const QString head = statement.trimmed().left(6);
    return head.startsWith(QStringLiteral("CREATE"), Qt::CaseInsensitive) ||
           head.startsWith(QStringLiteral("ALTER"), Qt::CaseInsensitive) ||
           head.startsWith(QStringLiteral("DROP"), Qt::CaseInsensitive);
}

} // namespace

Connection::Connection() : m_qtName(nextQtConnectionName()) {}

Connection::~Connection()
{
    dropStatements();
    m_db = QSqlDatabase();
    if (QSqlDatabase::contains(m_qtName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_qtName, false);
            // An unfinished transaction is never committed by going away.
            if (m_inTransaction && db.isOpen())
                db.rollback();
            db.close();
        }
        QSqlDatabase::removeDatabase(m_qtName);
    }
}

void Connection::setConnectionString(const QString& text)
{
    if (State() != adStateClosed)
        throw Error(QStringLiteral("連線開啟時不能變更連線字串。"), Error::Kind::Database);
    m_connectionString = text;
}

void Connection::setMode(int mode)
{
    if (State() != adStateClosed)
        throw Error(QStringLiteral("連線開啟時不能變更開啟的方式。"), Error::Kind::Database);
    m_mode = mode;
}

OpenMode Connection::openMode(int mode)
{
    OpenMode open;
    open.readOnly = (mode & adModeReadWrite) == adModeRead;
    open.exclusive = (mode & adModeShareExclusive) != 0;
    return open;
}

void Connection::requireUnheld(const QString& connectionText)
{
    OpenMode mode;
    mode.exclusive = true;
    DatabaseDialect::forConnectionText(connectionText, mode)->requireUnheld();
}

int Connection::State() const
{
    return QSqlDatabase::contains(m_qtName) && QSqlDatabase::database(m_qtName, false).isOpen() ? adStateOpen
                                                                                              : adStateClosed;
}

void Connection::Open()
{
    if (State() != adStateClosed)
        throw Error(QStringLiteral("連線已經開啟。"), Error::Kind::Database);
    const OpenMode mode = openMode(m_mode);
    auto dialect = DatabaseDialect::forConnectionText(m_connectionString, mode);
    dialect->setStatementLog(m_log);
    if (m_log)
        m_log->opening(m_connectionString, mode);
    m_db = QSqlDatabase();
    if (QSqlDatabase::contains(m_qtName))
        QSqlDatabase::removeDatabase(m_qtName);
    QSqlDatabase db = QSqlDatabase::addDatabase(dialect->qtDriver(), m_qtName);
    if (!db.isValid())
        throw Error(QStringLiteral("找不到資料庫驅動程式：") + dialect->qtDriver(), Error::Kind::DatabaseUnreachable);
    dialect->prepare(db);
    if (!db.open())
        throw dialect->connectionError(db);
    try {
        dialect->opened(db);
    } catch (const Error&) {
        db.close();
        throw;
    }
    m_dialect = std::move(dialect);
    m_statements = std::make_unique<StatementCache>(db, *m_dialect);
    m_db = db;
    setInTransaction(false);
}

void Connection::Close()
{
    if (State() == adStateClosed)
        return;
    dropStatements();
    QSqlDatabase db = database();
    if (m_inTransaction)
        db.rollback();
    setInTransaction(false);
    db.close();
}

void Connection::setInTransaction(bool open)
{
    m_inTransaction = open;
    if (m_dialect)
        m_dialect->setTransactionBegun(open);
}

QSqlDatabase Connection::database() const
{
    // Kept from the open, rather than looked up by name (under a lock) for every statement.
    if (!m_db.isOpen() || !m_dialect)
        throw Error(QStringLiteral("資料庫連線已關閉，無法執行此作業。"), Error::Kind::Database);
    return m_db;
}

void Connection::dropStatements()
{
    // Prepared statements belong to the open database; they go before it closes.
    m_statements.reset();
}

StatementCache& Connection::statements() const
{
    if (!m_statements)
        throw Error(QStringLiteral("資料庫連線已關閉，無法執行此作業。"), Error::Kind::Database);
    return *m_statements;
}

const DatabaseDialect& Connection::dialect() const
{
    if (!m_dialect)
        throw Error(QStringLiteral("資料庫連線已關閉，無法執行此作業。"), Error::Kind::Database);
    return *m_dialect;
}

void Connection::Execute(const QString& statement, const QVariantList& values)
{
    QSqlDatabase db = database();
    if (m_inTransaction)
        m_dialect->requireTransaction(db);
    if (!values.isEmpty()) {
        RowStatement& prepared = statements().rowStatement(statement);
        for (qsizetype i = 0; i < values.size(); ++i)
            prepared.bind(int(i), values.at(i), ColumnInfo::Kind::Other);
        prepared.exec();
        return;
    }
    if (changesSchema(statement))
        m_statements->clear();
    m_dialect->execute(db, statement);
}

bool Connection::hasTable(const QString& name) const
{
    const QStringList tables = database().tables(QSql::Tables);
    return std::any_of(tables.begin(), tables.end(),
                       [&name](const QString& table) { return table.compare(name, Qt::CaseInsensitive) == 0; });
}

void Connection::BeginTrans()
{
    QSqlDatabase db = database();
    if (m_inTransaction)
        throw Error(QStringLiteral("交易已經開始。"), Error::Kind::Database);
    m_dialect->begin(db);
    ++m_transactionNumber;
    setInTransaction(true);
}

void Connection::CommitTrans()
{
    QSqlDatabase db = database();
    if (!m_inTransaction)
        throw Error(QStringLiteral("沒有進行中的交易。"), Error::Kind::Database);
    if (m_rowsWaiting > 0)
        throw Error(QStringLiteral("還有 ") + QString::number(m_rowsWaiting) +
                        QStringLiteral(" 筆新增的資料沒有送到資料庫（資料集沒有先執行 Flush），交易不能提交。"),
                    Error::Kind::Database);
    m_dialect->checkTransaction(db);
    if (!db.commit())
        throw m_dialect->connectionError(db);
    setInTransaction(false);
}

void Connection::RollbackTrans()
{
    QSqlDatabase db = database();
    if (!m_inTransaction)
        throw Error(QStringLiteral("沒有進行中的交易。"), Error::Kind::Database);
    setInTransaction(false);
    // Where the database has ended the transaction already there is nothing left to roll back,
    // and no second error to add to the one that ended it.
    if (!db.rollback() && !m_dialect->transactionEnded(db))
        throw m_dialect->connectionError(db);
}

bool Connection::transactionEnded() const
{
    if (!m_inTransaction)
        return false;
    return !m_db.isOpen() || !m_dialect || m_dialect->transactionEnded(m_db);
}

} // namespace korvane::platform
