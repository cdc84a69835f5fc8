// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "OdbcInsertStatement.h"

#include "OdbcDialect.h"
#include "OdbcDriverManager.h"
#include "platform/Error.h"

#include <QDateTime>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <algorithm>
#include <iterator>

namespace korvane::platform {

// Text is bound where QString holds it, without a copy.
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));

namespace {

// The longest text and bytes a server takes as an ordinary parameter; longer ones go as long
// data (nvarchar(max), varbinary(max)).
constexpr qsizetype kMaxShortText = 4000;
constexpr qsizetype kMaxShortBytes = 8000;

} // namespace

struct OdbcInsertStatement::Parameter
{
    QVariant value; // the text or bytes bound, held until the run
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLSMALLINT sqlType = SQL_WVARCHAR;
    SQLULEN size = 1;
    SQLSMALLINT digits = 0;
    SQLLEN length = SQL_NULL_DATA; // bytes
    union {
        double real;
        qint64 whole;
        unsigned char bit;
        SQL_TIMESTAMP_STRUCT timestamp;
    } number{};
};

OdbcInsertStatement::OdbcInsertStatement(const QSqlDatabase& db, const QString& statement, const OdbcDialect& dialect)
    : m_db(db), m_dialect(dialect)
{
    const QVariant handle = db.driver()->handle();
    const auto& odbc = OdbcDriverManager::instance();
    if (!handle.isValid() || handle.metaType() != QMetaType::fromType<SQLHANDLE>() ||
        !*static_cast<const SQLHANDLE*>(handle.constData()))
        throw Error(QStringLiteral("資料庫連線已關閉，無法執行此作業。"), Error::Kind::Database);
    SQLHANDLE statementHandle = SQL_NULL_HANDLE;
    if (!SQL_SUCCEEDED(odbc.allocHandle(SQL_HANDLE_STMT, *static_cast<const SQLHANDLE*>(handle.constData()),
                                        &statementHandle)))
        throw Error(QStringLiteral("無法建立資料庫敘述。"), Error::Kind::Database);
    m_statement = statementHandle;
    const SQLRETURN prepared = odbc.prepare(
        m_statement, reinterpret_cast<SQLWCHAR*>(const_cast<ushort*>(statement.utf16())), SQLINTEGER(statement.size()));
    if (!SQL_SUCCEEDED(prepared)) {
        try {
            fail("Unable to prepare statement");
        } catch (...) {
            // No destructor runs for an object whose constructor throws.
            odbc.freeHandle(SQL_HANDLE_STMT, m_statement);
            throw;
        }
    }
}

OdbcInsertStatement::~OdbcInsertStatement()
{
    OdbcDriverManager::instance().freeHandle(SQL_HANDLE_STMT, m_statement);
}

void OdbcInsertStatement::bind(int position, const QVariant& value, ColumnInfo::Kind kind)
{
    if (size_t(position) >= m_parameters.size())
        m_parameters.resize(size_t(position) + 1);
    ++m_boundCount;
    Parameter& p = m_parameters[size_t(position)];
    p.value = QVariant();
    p.digits = 0;
    if (value.isNull()) {
        // A null of the column's own type: a server converts no other type to some (bytes).
        p.length = SQL_NULL_DATA;
        p.size = 1;
        switch (kind) {
        case ColumnInfo::Kind::Integer:
            p.cType = SQL_C_SBIGINT, p.sqlType = SQL_BIGINT;
            break;
        case ColumnInfo::Kind::Double:
            p.cType = SQL_C_DOUBLE, p.sqlType = SQL_DOUBLE;
            break;
        case ColumnInfo::Kind::DateTime:
            p.cType = SQL_C_TYPE_TIMESTAMP, p.sqlType = SQL_TYPE_TIMESTAMP, p.size = 23, p.digits = 3;
            break;
        case ColumnInfo::Kind::Bool:
            p.cType = SQL_C_BIT, p.sqlType = SQL_BIT;
            break;
        case ColumnInfo::Kind::Binary:
            p.cType = SQL_C_BINARY, p.sqlType = SQL_VARBINARY;
            break;
        case ColumnInfo::Kind::Text:
        case ColumnInfo::Kind::Other:
            p.cType = SQL_C_WCHAR, p.sqlType = SQL_WVARCHAR;
            break;
        }
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        p.number.real = value.toDouble();
        p.cType = SQL_C_DOUBLE, p.sqlType = SQL_DOUBLE, p.size = 15, p.length = sizeof(double);
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        p.number.whole = value.toLongLong();
        p.cType = SQL_C_SBIGINT, p.sqlType = SQL_BIGINT, p.size = 19, p.length = sizeof(qint64);
        return;
    case QMetaType::Bool:
        p.number.bit = value.toBool() ? 1 : 0;
        p.cType = SQL_C_BIT, p.sqlType = SQL_BIT, p.size = 1, p.length = 1;
        return;
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        // The date and time as written, as Qt's own binding sends them.
        const QDateTime at = value.toDateTime();
        const QDate date = at.date();
        const QTime time = at.time();
        p.number.timestamp = {SQLSMALLINT(date.year()), SQLUSMALLINT(date.month()), SQLUSMALLINT(date.day()),
                              SQLUSMALLINT(time.hour()), SQLUSMALLINT(time.minute()), SQLUSMALLINT(time.second()),
                              SQLUINTEGER(time.msec()) * 1000000};
        p.cType = SQL_C_TYPE_TIMESTAMP, p.sqlType = SQL_TYPE_TIMESTAMP, p.size = 23, p.digits = 3;
        p.length = sizeof(SQL_TIMESTAMP_STRUCT);
        return;
    }
    case QMetaType::QByteArray: {
        p.value = value;
        const qsizetype bytes = static_cast<const QByteArray*>(p.value.constData())->size();
        p.cType = SQL_C_BINARY, p.sqlType = bytes > kMaxShortBytes ? SQL_LONGVARBINARY : SQL_VARBINARY;
        p.size = SQLULEN(std::max<qsizetype>(bytes, 1)), p.length = SQLLEN(bytes);
        return;
    }
    case QMetaType::QString:
        p.value = value;
        break;
    default:
        p.value = m_dialect.toStored(value, kind).toString();
        break;
    }
    const qsizetype characters = static_cast<const QString*>(p.value.constData())->size();
    p.cType = SQL_C_WCHAR, p.sqlType = characters > kMaxShortText ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
    p.size = SQLULEN(std::max<qsizetype>(characters, 1)), p.length = SQLLEN(characters * 2);
}

void OdbcInsertStatement::exec()
{
    // A placeholder left out would run with the value of the run before.
    const bool complete = m_boundCount == m_parameters.size();
    m_boundCount = 0;
    if (!complete)
        throw Error(QStringLiteral("參數數目不符：敘述需要 ") + QString::number(m_parameters.size()) +
                        QStringLiteral(" 個值。"),
                    Error::Kind::Database);
    const auto& odbc = OdbcDriverManager::instance();
    for (size_t i = 0; i < m_parameters.size(); ++i) {
        Parameter& p = m_parameters[i];
        SQLPOINTER data = &p.number;
        if (p.length != SQL_NULL_DATA && p.cType == SQL_C_WCHAR)
            data = const_cast<ushort*>(static_cast<const QString*>(p.value.constData())->utf16());
        else if (p.length != SQL_NULL_DATA && p.cType == SQL_C_BINARY)
            data = const_cast<char*>(static_cast<const QByteArray*>(p.value.constData())->constData());
        if (!SQL_SUCCEEDED(odbc.bindParameter(m_statement, SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, p.cType, p.sqlType,
                                              p.size, p.digits, data, std::max<SQLLEN>(p.length, 0), &p.length)))
            fail("Unable to bind variable");
    }
    const SQLRETURN result = odbc.execute(m_statement);
    if (result != SQL_SUCCESS && result != SQL_SUCCESS_WITH_INFO && result != SQL_NO_DATA)
        fail("Unable to execute statement");
    odbc.freeStatement(m_statement, SQL_CLOSE);
}

void OdbcInsertStatement::query()
{
    throw Error(QStringLiteral("新增資料的敘述不會傳回資料列。"), Error::Kind::Database);
}

QVariant OdbcInsertStatement::value(int) const
{
    return {};
}

QSqlRecord OdbcInsertStatement::record() const
{
    return {};
}

void OdbcInsertStatement::fail(const char* step) const
{
    // As Qt's driver words it, with the SQLSTATE that it leaves out.
    const auto& odbc = OdbcDriverManager::instance();
    QString state, message, native;
    for (SQLSMALLINT record = 1; record <= 8 && odbc.getDiagRec; ++record) {
        SQLWCHAR code[SQL_SQLSTATE_SIZE + 1] = {};
        SQLWCHAR text[1024] = {};
        SQLINTEGER nativeError = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN result = odbc.getDiagRec(SQL_HANDLE_STMT, m_statement, record, code, &nativeError, text,
                                                 SQLSMALLINT(std::size(text)), &length);
        if (!SQL_SUCCEEDED(result))
            break;
        const QString recordState = QString::fromUtf16(reinterpret_cast<const char16_t*>(code), SQL_SQLSTATE_SIZE);
        const QString recordText = QString::fromUtf16(reinterpret_cast<const char16_t*>(text),
                                                      std::clamp<qsizetype>(length, 0, qsizetype(std::size(text)) - 1));
        message += (message.isEmpty() ? QString() : QStringLiteral("; ")) + recordText;
        // Class 01 is a warning that may come before the error itself.
        if (state.isEmpty() && !recordState.startsWith(QStringLiteral("01"))) {
            state = recordState;
            native = QString::number(nativeError);
        }
    }
    odbc.freeStatement(m_statement, SQL_CLOSE);
    throw OdbcDialect::fromSqlState(
        QSqlError(QString::fromLatin1(step), message, QSqlError::StatementError, native), state);
}

} // namespace korvane::platform
