// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "SqliteDialect.h"

#include "AccessDialect.h"
#include "SqliteRowStatement.h"
#include "platform/Paths.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>
#include <sqlite3.h>

namespace korvane::platform {

namespace {

const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// The engine's own statements, sent by this dialect alone and never to the Access file it stands
// in for: a file that is not a database opens without complaint, and the first statement tells;
// the page cache; a preview's refusal of every write; the write lock a transaction takes first,
// and its release after a preview's probe of it; the declared types of a table's columns.
const QString kIsDatabase = QStringLiteral("SELECT count(*) FROM sqlite_master");
const QString kPageCache = QStringLiteral("PRAGMA cache_size=-16384");
const QString kQueryOnly = QStringLiteral("PRAGMA query_only=1");
const QString kBeginWriting = QStringLiteral("BEGIN IMMEDIATE");
const QString kRollback = QStringLiteral("ROLLBACK");
const QString kTableInfo = QStringLiteral("PRAGMA table_info('%1')");

// SQLite's primary result codes that the user can do something about.
enum {
    SqliteBusy = 5,
    SqliteLocked = 6,
    SqliteReadOnly = 8,
    SqliteCantOpen = 14,
    SqliteNotADb = 26,
    SqliteFull = 13,
    SqliteTooBig = 18,
    SqliteConstraint = 19,
    SqliteMismatch = 20,
};

// The connection the driver opened; null when there is none.
sqlite3* handleOf(const QSqlDriver* driver)
{
    const QVariant handle = driver ? driver->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

} // namespace

SqliteDialect::SqliteDialect(QString dataSource, OpenMode mode) : m_dataSource(std::move(dataSource)), m_mode(mode) {}

void SqliteDialect::prepare(QSqlDatabase& db) const
{
    const QString path = localPath(m_dataSource);
    // SQLite would create a missing file, and takes an empty one for an empty database; neither
    // may stand in for the clinic's own.
    requireDatabaseFile(m_dataSource, path);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
}

void SqliteDialect::opened(QSqlDatabase& db) const
{
    {
        QSqlQuery probe(db);
        if (!probe.exec(kIsDatabase))
            throw statementError(probe);
    }
    // A page cache that holds the drug table's code index (and more) while a price list of a
    // few hundred thousand rows goes in: with the default 2 MB, SQLite writes pages out early and
    // reads them back, one system call each, for most rows. Memory is taken only as pages are.
    QSqlQuery(db).exec(kPageCache);
    // Rather than a read-only open, which could not roll back what a killed writer left in the
    // journal and would fail where the reading itself can go on.
    if (m_mode.readOnly) {
        // A preview of a run that writes: refused where another program writes, after the wait
        // the run's transaction would give it; the lock is given back at once.
        if (m_mode.exclusive) {
            QSqlQuery lock(db);
            if (!lock.exec(kBeginWriting))
                throw statementError(lock);
            lock.exec(QStringLiteral("ROLLBACK"));
        }
        QSqlQuery queryOnly(db);
        if (!queryOnly.exec(kQueryOnly))
            throw statementError(queryOnly);
    }
}

void SqliteDialect::requireUnheld() const
{
    static std::atomic<int> probes{0};
    const QString name = QStringLiteral("korvane-lock-probe-") + QString::number(++probes);
    std::optional<Error> refusal;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(qtDriver(), name);
        try {
            prepare(db);
            if (!db.open()) {
                refusal = connectionError(db);
            } else {
                QSqlQuery lock(db);
                if (!lock.exec(kBeginWriting))
                    refusal = translate(lock.lastError());
                else
                    lock.exec(kRollback);
            }
        } catch (const Error& error) {
            refusal = error;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (refusal)
        throw *refusal;
}

QString SqliteDialect::quoteName(const QSqlDatabase& db, const QString& name) const
{
    // As the Access file takes them; SQLite takes brackets too, but cannot put a "]" in them.
    return name.contains(u']') ? DatabaseDialect::quoteName(db, name) : AccessDialect::bracketed(name);
}

ColumnInfo SqliteDialect::describeDeclaredType(const QString& name, const QString& declaredType)
{
    ColumnInfo info;
    info.name = name;
    const QString type = declaredType.toUpper();
    static const QRegularExpression length(QStringLiteral("\\(\\s*(\\d+)"));
    if (type.contains(QStringLiteral("CHAR")) || type.contains(QStringLiteral("TEXT")) ||
        type.contains(QStringLiteral("CLOB")) || type.contains(QStringLiteral("MEMO"))) {
        info.kind = ColumnInfo::Kind::Text;
        const auto match = length.match(type);
        if (match.hasMatch())
            info.maxLength = match.captured(1).toInt();
    } else if (type.contains(QStringLiteral("INT")) || type == QStringLiteral("COUNTER") ||
               type == QStringLiteral("AUTOINCREMENT") || type == QStringLiteral("LONG")) {
        info.kind = ColumnInfo::Kind::Integer;
    } else if (type.contains(QStringLiteral("REAL")) || type.contains(QStringLiteral("FLOA")) ||
               type.contains(QStringLiteral("DOUB")) || type.contains(QStringLiteral("NUMERIC")) ||
               type.contains(QStringLiteral("DECIMAL")) || type.contains(QStringLiteral("MONEY")) ||
               type.contains(QStringLiteral("CURRENCY")) || type == QStringLiteral("SINGLE")) {
        info.kind = ColumnInfo::Kind::Double;
    } else if (type.contains(QStringLiteral("DATE")) || type.contains(QStringLiteral("TIME"))) {
        info.kind = ColumnInfo::Kind::DateTime;
    } else if (type.contains(QStringLiteral("BOOL")) || type == QStringLiteral("BIT") ||
               type == QStringLiteral("YESNO")) {
        info.kind = ColumnInfo::Kind::Bool;
    } else if (type.contains(QStringLiteral("BLOB")) || type.contains(QStringLiteral("BINARY"))) {
        info.kind = ColumnInfo::Kind::Binary;
    }
    return info;
}

std::vector<ColumnInfo> SqliteDialect::columns(const QSqlDatabase& db, const QString& table,
                                               const QSqlRecord& record) const
{
    // The declared types live in the table's definition, not in the result.
    QHash<QString, QString> declared;
    if (!table.isEmpty()) {
        QSqlQuery pragma(db);
        QString quoted = table;
        quoted.replace(u'\'', QStringLiteral("''"));
        if (pragma.exec(kTableInfo.arg(quoted))) {
            while (pragma.next())
                declared.insert(pragma.value(1).toString().toLower(), pragma.value(2).toString());
        }
    }
    std::vector<ColumnInfo> result;
    result.reserve(record.count());
    for (int i = 0; i < record.count(); ++i) {
        const QString name = record.fieldName(i);
        result.push_back(describeDeclaredType(name, declared.value(name.toLower())));
    }
    return result;
}

std::unique_ptr<RowStatement> SqliteDialect::prepareRowStatement(const QSqlDatabase& db, const QString& statement) const
{
    return std::make_unique<SqliteRowStatement>(db, statement, *this);
}

QVariant SqliteDialect::toStored(const QVariant& value, ColumnInfo::Kind kind) const
{
    if (kind == ColumnInfo::Kind::DateTime && !value.isNull() && value.metaType().id() == QMetaType::QDateTime) {
        char buffer[24];
        const int length = SqliteRowStatement::formatDateTime(value.toDateTime(), buffer);
        return length < 0 ? QVariant() : QVariant(QString::fromLatin1(buffer, length));
    }
    if (kind == ColumnInfo::Kind::Bool && !value.isNull())
        return value.toBool() ? 1 : 0;
    return value;
}

QVariant SqliteDialect::fromStored(const QVariant& value, ColumnInfo::Kind kind) const
{
    if (kind == ColumnInfo::Kind::DateTime && value.metaType().id() == QMetaType::QString) {
        const QDateTime dt = QDateTime::fromString(value.toString(), kDateTimeFormat);
        if (dt.isValid())
            return dt;
    }
    return value;
}

Error SqliteDialect::connectionError(const QSqlDatabase& db) const
{
    const QSqlError error = db.lastError();
    sqlite3* connection = handleOf(db.driver());
    if (!error.nativeErrorCode().isEmpty() || !connection)
        return translate(error);
    return translate(QSqlError(error.driverText(), error.databaseText(), error.type(),
                               QString::number(sqlite3_extended_errcode(connection))));
}

Error SqliteDialect::statementError(const QSqlQuery& query) const
{
    const Error error = DatabaseDialect::statementError(query);
    statementFailed(handleOf(query.driver()), error);
    return error;
}

// Every transaction of the system writes: it takes the write lock at once, waiting for another
// writer as long as the busy timeout allows. One that read first would be refused at once at its
// first write, the engine's way out of a deadlock between two readers that both want to write.
void SqliteDialect::begin(QSqlDatabase& db) const
{
    QSqlQuery begin(db);
    if (!begin.exec(kBeginWriting))
        throw statementError(begin);
}

void SqliteDialect::checkTransaction(const QSqlDatabase& db) const
{
    requireTransaction(db);
}

bool SqliteDialect::transactionEnded(const QSqlDatabase& db) const
{
    sqlite3* connection = handleOf(db.driver());
    return !connection || sqlite3_get_autocommit(connection) != 0;
}

void SqliteDialect::requireTransaction(const QSqlDatabase& db) const
{
    if (transactionBegun())
        requireTransaction(handleOf(db.driver()));
}

void SqliteDialect::requireTransaction(sqlite3* handle) const
{
    if (transactionBegun() && (!handle || sqlite3_get_autocommit(handle) != 0))
        throw transactionEndedError(m_transactionEndedBy ? m_transactionEndedBy->description() : QString());
}

void SqliteDialect::statementFailed(sqlite3* handle, const Error& error) const
{
    if (transactionBegun() && !m_transactionEndedBy && (!handle || sqlite3_get_autocommit(handle) != 0))
        m_transactionEndedBy = error;
}

void SqliteDialect::setTransactionBegun(bool begun)
{
    DatabaseDialect::setTransactionBegun(begun);
    m_transactionEndedBy.reset();
}

Error SqliteDialect::translate(const QSqlError& error) const
{
    const QString detail = error.text();
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case SqliteBusy:
    case SqliteLocked:
        return lockedError(detail);
    case SqliteCantOpen:
        return Error(QStringLiteral("無法開啟資料庫檔案：") + m_dataSource + QStringLiteral("（") + detail + u'）',
                     Error::Kind::DatabaseUnreachable);
    case SqliteReadOnly:
        return Error(QStringLiteral("資料庫檔案無法寫入，請確認檔案沒有設定為唯讀，且您有寫入權限。（") + detail + u'）',
                     Error::Kind::AccessDenied);
    case SqliteFull:
        return Error(QStringLiteral("磁碟空間不足，無法寫入資料庫。（") + detail + u'）', Error::Kind::Database);
    case SqliteConstraint:
        return Error(QStringLiteral("資料不符合資料表的限制（例如必填的欄位沒有值、代碼重複），資料庫不接受這筆資料。（") +
                         detail + u'）',
                     Error::Kind::DatabaseRefused);
    case SqliteMismatch:
    case SqliteTooBig:
        return Error(QStringLiteral("資料的值不符合欄位的要求，資料庫不接受這筆資料。（") + detail + u'）',
                     Error::Kind::DatabaseRefused);
    case SqliteNotADb:
        return Error(QStringLiteral("資料庫檔案已損毀或不是資料庫：") + m_dataSource + QStringLiteral("（") + detail + u'）',
                     Error::Kind::Database);
    default:
        return otherError(detail);
    }
}

} // namespace korvane::platform
