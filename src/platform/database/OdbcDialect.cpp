// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "OdbcDialect.h"

#include "OdbcDriverManager.h"
#include "OdbcInsertStatement.h"
#include "OleDbConnectionText.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <algorithm>
#include <iterator>

namespace korvane::platform {

namespace {

// ODBC SQL type codes: long text, whose reported size is no limit, and the text of a code page
// (VARCHAR, CHAR), whose size is in bytes, where SQL_WVARCHAR and SQL_WCHAR count characters.
enum { SqlLongVarChar = -1, SqlWLongVarChar = -10, SqlChar = 1, SqlVarChar = 12 };

// The servers whose VARCHAR limits bytes; the desktop driver's text counts characters whatever
// type it reports. The stand-in server of the tests is held to the clinic server's rules.
bool limitsBytes(QSqlDriver::DbmsType dbms)
{
    return dbms == QSqlDriver::MSSqlServer || dbms == QSqlDriver::PostgreSQL;
}

// A value as an ODBC connection attribute: braced when it holds characters that would end it.
QString odbcValue(const QString& value)
{
    if (value.contains(u';') || value.contains(u'{') || value.contains(u'}') || value != value.trimmed()) {
        QString braced = value;
        braced.replace(u'}', QStringLiteral("}}"));
        return u'{' + braced + u'}';
    }
    return value;
}

QString attribute(const QString& name, const QString& value)
{
    return name + u'=' + odbcValue(value) + u';';
}

// Qt's ODBC driver passes on the driver's message and native code but drops the SQLSTATE, the
// one part that means the same on every driver; it is read from the handle's diagnostics.
// Empty when there is none to read.
QString sqlState(SQLSMALLINT handleType, const QVariant& handle)
{
    const auto getDiagRec = OdbcDriverManager::instance().getDiagRec;
    if (!getDiagRec || !handle.isValid() || handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return {};
    SQLHANDLE native = *static_cast<const SQLHANDLE*>(handle.constData());
    if (!native)
        return {};
    for (SQLSMALLINT record = 1; record <= 8; ++record) {
        SQLWCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
        SQLINTEGER nativeError = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN result =
            getDiagRec(handleType, native, record, state, &nativeError, nullptr, 0, &length);
        if (result != SQL_SUCCESS && result != SQL_SUCCESS_WITH_INFO)
            break;
        const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(state), SQL_SQLSTATE_SIZE);
        // Class 01 is a warning that may come before the error itself.
        if (!text.startsWith(QStringLiteral("01")))
            return text;
    }
    return {};
}

// Whether the driver manager knows a driver of this name; true when it cannot tell. Qt frees
// the connection handle of a failed open with its diagnostics, so a missing driver is told
// apart from an unreachable server this way.
bool driverInstalled(const QString& name)
{
    const OdbcDriverManager& manager = OdbcDriverManager::instance();
    if (!manager.allocHandle || !manager.setEnvAttr || !manager.drivers || !manager.freeHandle)
        return true;
    SQLHANDLE environment = SQL_NULL_HANDLE;
    if (!SQL_SUCCEEDED(manager.allocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)))
        return true;
    manager.setEnvAttr(environment, SQL_ATTR_ODBC_VERSION,
                       reinterpret_cast<SQLPOINTER>(static_cast<quintptr>(SQL_OV_ODBC3)), 0);
    bool listed = false;
    bool found = false;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    SQLWCHAR description[512];
    SQLWCHAR attributes[2048];
    SQLSMALLINT descriptionLength = 0;
    SQLSMALLINT attributesLength = 0;
    while (!found &&
           SQL_SUCCEEDED(manager.drivers(environment, direction, description,
                                         SQLSMALLINT(std::size(description)), &descriptionLength, attributes,
                                         SQLSMALLINT(std::size(attributes)), &attributesLength))) {
        listed = true;
        const qsizetype length =
            std::clamp(qsizetype(descriptionLength), qsizetype(0), qsizetype(std::size(description)) - 1);
        found = QString::fromUtf16(reinterpret_cast<const char16_t*>(description), length)
                    .compare(name, Qt::CaseInsensitive) == 0;
        direction = SQL_FETCH_NEXT;
    }
    manager.freeHandle(SQL_HANDLE_ENV, environment);
    return found || !listed;
}

// Whether the driver manager registers a driver of this name whose library file is not there
// (a client uninstalled, a path mistyped): the open then fails as if the server were away.
// False when it cannot tell, as where the list names no library.
bool driverLibraryMissing(const QString& name)
{
    const OdbcDriverManager& manager = OdbcDriverManager::instance();
    if (!manager.allocHandle || !manager.setEnvAttr || !manager.drivers || !manager.freeHandle)
        return false;
    SQLHANDLE environment = SQL_NULL_HANDLE;
    if (!SQL_SUCCEEDED(manager.allocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)))
        return false;
    manager.setEnvAttr(environment, SQL_ATTR_ODBC_VERSION,
                       reinterpret_cast<SQLPOINTER>(static_cast<quintptr>(SQL_OV_ODBC3)), 0);
    bool missing = false;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    SQLWCHAR description[512];
    SQLWCHAR attributes[4096];
    SQLSMALLINT descriptionLength = 0;
    SQLSMALLINT attributesLength = 0;
    while (SQL_SUCCEEDED(manager.drivers(environment, direction, description, SQLSMALLINT(std::size(description)),
                                         &descriptionLength, attributes, SQLSMALLINT(std::size(attributes)),
                                         &attributesLength))) {
        direction = SQL_FETCH_NEXT;
        const qsizetype length =
            std::clamp(qsizetype(descriptionLength), qsizetype(0), qsizetype(std::size(description)) - 1);
        if (QString::fromUtf16(reinterpret_cast<const char16_t*>(description), length).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        // "key=value" pairs, each ended by a NUL, the list by another.
        const qsizetype size =
            std::clamp(qsizetype(attributesLength), qsizetype(0), qsizetype(std::size(attributes)) - 1);
        const QString pairs = QString::fromUtf16(reinterpret_cast<const char16_t*>(attributes), size);
        for (const QString& pair : pairs.split(QChar(u'\0'), Qt::SkipEmptyParts)) {
            if (pair.startsWith(QStringLiteral("Driver="), Qt::CaseInsensitive)) {
                const QString library = pair.mid(7).trimmed();
                missing = !library.isEmpty() && QDir::isAbsolutePath(library) && !QFileInfo::exists(library);
            }
        }
        break;
    }
    manager.freeHandle(SQL_HANDLE_ENV, environment);
    return missing;
}

// The driver an ODBC text names in its leading "DRIVER={...};".
QString driverName(const QString& odbcText)
{
    if (!odbcText.startsWith(QStringLiteral("DRIVER={"), Qt::CaseInsensitive))
        return {};
    const qsizetype end = odbcText.indexOf(QStringLiteral("};"));
    return end < 0 ? QString() : odbcText.mid(8, end - 8);
}

// The statements that bound how long this session waits for a lock, by the server behind the
// driver; nothing for a database that has no such setting.
QString lockWaitStatement(QSqlDriver::DbmsType dbms, int seconds)
{
    switch (dbms) {
    case QSqlDriver::MSSqlServer:
        return QStringLiteral("SET LOCK_TIMEOUT ") + QString::number(seconds * 1000);
    case QSqlDriver::PostgreSQL:
        return QStringLiteral("SET lock_timeout = ") + QString::number(seconds * 1000);
    default:
        return {};
    }
}

} // namespace

OdbcDialect::OdbcDialect(QString odbcConnectionString) : m_odbcText(std::move(odbcConnectionString)) {}

QString OdbcDialect::forSqlServer(const QString& oleDbText)
{
    const OleDbConnectionText settings(oleDbText);
    // "SQLNCLI10" is served by the driver registered as "SQL Server Native Client 10.0"; the
    // first client, "SQLNCLI" without a version, registers itself as "SQL Native Client".
    const QString version = settings.provider().mid(7);
    const QString driver = version.isEmpty()
                               ? QStringLiteral("SQL Native Client")
                               : QStringLiteral("SQL Server Native Client ") +
                                     (version.contains(u'.') ? version : version + QStringLiteral(".0"));

    QString braced = driver;
    braced.replace(u'}', QStringLiteral("}}"));
    QString text = QStringLiteral("DRIVER={") + braced + QStringLiteral("};");
    for (const auto& [name, value] : serverAttributes(settings.value(QStringLiteral("Data Source"))))
        text += attribute(name, value);
    text += attribute(QStringLiteral("DATABASE"), settings.value(QStringLiteral("Initial Catalog")));
    text += attribute(QStringLiteral("UID"), settings.value(QStringLiteral("User ID")));
    text += attribute(QStringLiteral("PWD"), settings.value(QStringLiteral("Password")));
    // The OLE DB text's provider string: settings of the driver itself, passed on as they stand.
    const QString provider = settings.value(QStringLiteral("Extended Properties")).trimmed();
    if (!provider.isEmpty())
        text += provider.endsWith(u';') ? provider : provider + u';';
    return text;
}

bool OdbcDialect::hasDriver(const QString& name)
{
    return driverInstalled(name);
}

QString OdbcDialect::connectionAttribute(const QString& name, const QString& value)
{
    return attribute(name, value);
}

void OdbcDialect::prepare(QSqlDatabase& db) const
{
    db.setDatabaseName(m_odbcText);
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15;SQL_ATTR_CONNECTION_TIMEOUT=60"));
}

std::vector<ColumnInfo> OdbcDialect::columns(const QSqlDatabase& db, const QString&, const QSqlRecord& record) const
{
    const bool bytes = limitsBytes(db.driver()->dbmsType());
    std::vector<ColumnInfo> result;
    result.reserve(record.count());
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        ColumnInfo info;
        info.name = field.name();
        switch (field.metaType().id()) {
        case QMetaType::QString:
            info.kind = ColumnInfo::Kind::Text;
            if (field.typeID() != SqlLongVarChar && field.typeID() != SqlWLongVarChar && field.length() > 0) {
                info.maxLength = field.length();
                info.maxLengthInBytes = bytes && (field.typeID() == SqlVarChar || field.typeID() == SqlChar);
            }
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            info.kind = ColumnInfo::Kind::Integer;
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            info.kind = ColumnInfo::Kind::Double;
            break;
        case QMetaType::QDateTime:
        case QMetaType::QDate:
        case QMetaType::QTime:
            info.kind = ColumnInfo::Kind::DateTime;
            break;
        case QMetaType::Bool:
            info.kind = ColumnInfo::Kind::Bool;
            break;
        case QMetaType::QByteArray:
            info.kind = ColumnInfo::Kind::Binary;
            break;
        default:
            break;
        }
        result.push_back(info);
    }
    return result;
}

void OdbcDialect::opened(QSqlDatabase& db) const
{
    const QString statement = lockWaitStatement(db.driver()->dbmsType(), lockWaitSeconds);
    if (statement.isEmpty())
        return;
    QSqlQuery query(db);
    if (!query.exec(statement))
        throw statementError(query);
}

void OdbcDialect::begin(QSqlDatabase& db) const
{
    DatabaseDialect::begin(db);
    m_transactionId.reset();
    if (db.driver()->dbmsType() != QSqlDriver::PostgreSQL)
        return;
    // The transaction's own number, asked at once: the driver begins the transaction with this
    // statement, and a later one of another number is another transaction.
    QSqlQuery id(db);
    if (!id.exec(QStringLiteral("SELECT txid_current()")) || !id.next())
        throw statementError(id);
    m_transactionId = id.value(0).toLongLong();
}

void OdbcDialect::setTransactionBegun(bool begun)
{
    DatabaseDialect::setTransactionBegun(begun);
    if (!begun)
        m_transactionId.reset();
}

OdbcDialect::Probe OdbcDialect::probeTransaction(const QSqlDatabase& db) const
{
    // The server is asked whether the transaction the connection began is still the one open. A
    // server may have rolled it back by itself (SQL Server after an error under XACT_ABORT or one
    // that aborts the batch; the stand-in's driver in its rollback-on-error mode) and then runs
    // every later statement on its own or in a new transaction: a plain statement would still
    // succeed. A server that has merely aborted it refuses every statement until it ends.
    const QSqlDriver::DbmsType dbms = db.driver()->dbmsType();
    const QString statement = dbms == QSqlDriver::MSSqlServer  ? QStringLiteral("SELECT @@TRANCOUNT, XACT_STATE()")
                              : dbms == QSqlDriver::PostgreSQL ? QStringLiteral("SELECT txid_current()")
                                                               : QStringLiteral("SELECT 1");
    QSqlQuery probe(db);
    if (probe.exec(statement)) {
        if (!probe.next() || dbms == QSqlDriver::UnknownDbms)
            return {};
        QString ended;
        if (dbms == QSqlDriver::MSSqlServer && (probe.value(0).toInt() == 0 || probe.value(1).toInt() == -1))
            ended = QStringLiteral("@@TRANCOUNT %1，XACT_STATE() %2").arg(probe.value(0).toInt()).arg(probe.value(1).toInt());
        else if (dbms == QSqlDriver::PostgreSQL && m_transactionId && probe.value(0).toLongLong() != *m_transactionId)
            ended = QStringLiteral("交易編號 %1 已變為 %2").arg(*m_transactionId).arg(probe.value(0).toLongLong());
        if (ended.isEmpty())
            return {};
        return {Error(QStringLiteral("資料庫伺服器已自行復原這次的交易，所有變更都沒有寫入。（") + ended + u'）',
                      Error::Kind::Database),
                true};
    }
    const QString state = sqlState(SQL_HANDLE_STMT, probe.result()->handle());
    const Error error = fromSqlState(probe.lastError(), state);
    if (state.startsWith(QStringLiteral("25")))
        return {Error(QStringLiteral("資料庫伺服器已中止這次的交易，所有變更都沒有寫入。（") + error.description() + u'）',
                      Error::Kind::Database),
                true};
    return {error, error.kind() == Error::Kind::DatabaseUnreachable};
}

void OdbcDialect::checkTransaction(const QSqlDatabase& db) const
{
    const Probe probe = probeTransaction(db);
    // Anything but an ordinary statement error that keeps the probe from running will stop the
    // commit too, and says so.
    if (probe.failure && (probe.ended || probe.failure->kind() != Error::Kind::Database))
        throw *probe.failure;
}

bool OdbcDialect::transactionEnded(const QSqlDatabase& db) const
{
    return !db.isOpen() || probeTransaction(db).ended;
}

DatabaseDialect::InsertLimits OdbcDialect::insertLimits(const QSqlDatabase& db) const
{
    switch (db.driver()->dbmsType()) {
    case QSqlDriver::MSSqlServer:
    // The stand-in server of the tests is held to the clinic server's limits.
    case QSqlDriver::PostgreSQL:
        // At most 1,000 rows in one VALUES list, and fewer than 2,100 parameters in a statement.
        return {1000, 2099};
    default:
        return {};
    }
}

std::unique_ptr<RowStatement> OdbcDialect::prepareBatchInsert(const QSqlDatabase& db, const QString& statement) const
{
    const auto& odbc = OdbcDriverManager::instance();
    if (!odbc.allocHandle || !odbc.freeHandle || !odbc.prepare || !odbc.bindParameter || !odbc.execute ||
        !odbc.freeStatement)
        return prepareRowStatement(db, statement);
    return std::make_unique<OdbcInsertStatement>(db, statement, *this);
}

Error OdbcDialect::translate(const QSqlError& error) const
{
    return fromSqlState(error, QString());
}

Error OdbcDialect::statementError(const QSqlQuery& query) const
{
    return fromSqlState(query.lastError(), sqlState(SQL_HANDLE_STMT, query.result()->handle()));
}

Error OdbcDialect::connectionError(const QSqlDatabase& db) const
{
    const QString state = sqlState(SQL_HANDLE_DBC, db.driver()->handle());
    const QString driver = driverName(m_odbcText);
    // IM002: the driver manager found no driver of that name. Without a state (Qt has freed the
    // handle) the driver manager's list tells it apart from an unreachable server.
    const bool driverMissing =
        !driver.isEmpty() && (state == QStringLiteral("IM002") ||
                              (state.isEmpty() && db.lastError().type() == QSqlError::ConnectionError &&
                               !driverInstalled(driver)));
    if (driverMissing)
        return Error(QStringLiteral("找不到資料庫驅動程式「") + driver +
                         QStringLiteral("」，請安裝資料庫用戶端元件。（") + db.lastError().text() + u'）',
                     Error::Kind::DatabaseUnreachable);
    // IM003: registered, but its library could not be loaded; the same where Qt has freed the
    // handle and the registration names a file that is not there.
    if (!driver.isEmpty() && (state == QStringLiteral("IM003") ||
                              (db.lastError().type() == QSqlError::ConnectionError && driverLibraryMissing(driver))))
        return Error(QStringLiteral("資料庫驅動程式「") + driver +
                         QStringLiteral("」已登記在這台電腦上，但它的程式檔不見了或無法載入，因此無法連線到資料庫；"
                                        "資料都沒有變更。請重新安裝資料庫用戶端元件。（") +
                         db.lastError().text() + u'）',
                     Error::Kind::DatabaseUnreachable);
    return fromSqlState(db.lastError(), state);
}

Error OdbcDialect::fromSqlState(const QSqlError& error, const QString& state)
{
    const QString detail = error.text();
    // Class 08 is a connection that failed or was lost, 57P01 to 57P03 a server shutting down
    // or starting; a failed open says no more than that it failed.
    if (state.startsWith(QStringLiteral("08")) || state.startsWith(QStringLiteral("57P")) ||
        (state.isEmpty() && error.type() == QSqlError::ConnectionError))
        return unreachableError(detail);
    // HYT00/HYT01 are timeouts, 40001 and 40P01 a deadlock victim, 55P03 and the server's error
    // 1222 a lock not granted within the session's lock wait.
    if (state.startsWith(QStringLiteral("HYT")) || state == QStringLiteral("40001") ||
        state == QStringLiteral("40P01") || state == QStringLiteral("55P03") ||
        error.nativeErrorCode() == QStringLiteral("1222"))
        return lockedError(detail);
    // Class 23 is a row against a constraint (a required value, a duplicate key, a check),
    // class 22 a value the column cannot take; the statement fails, the transaction goes on.
    if (state.startsWith(QStringLiteral("23")))
        return Error(QStringLiteral("資料不符合資料表的限制（例如必填的欄位沒有值、代碼重複），資料庫不接受這筆資料。（") +
                         detail + u'）',
                     Error::Kind::DatabaseRefused);
    if (state.startsWith(QStringLiteral("22")))
        return Error(QStringLiteral("資料的值不符合欄位的要求，資料庫不接受這筆資料。（") + detail + u'）',
                     Error::Kind::DatabaseRefused);
    if (state == QStringLiteral("IM002"))
        return Error(QStringLiteral("找不到資料庫驅動程式，請安裝資料庫用戶端元件。（") + detail + u'）',
                     Error::Kind::DatabaseUnreachable);
    return otherError(detail);
}

} // namespace korvane::platform
