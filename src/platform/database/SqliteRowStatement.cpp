// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "SqliteRowStatement.h"

#include "SqliteDialect.h"
#include "platform/Error.h"

#include <QDateTime>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <sqlite3.h>

namespace korvane::platform {

SqliteRowStatement::SqliteRowStatement(const QSqlDatabase& db, const QString& statement,
                                       const SqliteDialect& dialect)
    : m_db(db), m_dialect(dialect)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw Error(QStringLiteral("資料庫連線不是 SQLite 連線。"), Error::Kind::Database);
    m_handle = *static_cast<sqlite3* const*>(handle.constData());
    if (!m_handle)
        throw Error(QStringLiteral("資料庫連線已關閉，無法執行此作業。"), Error::Kind::Database);
    const void* tail = nullptr;
    const int rc =
        sqlite3_prepare16_v2(m_handle, statement.utf16(), int(statement.size() * 2), &m_statement, &tail);
    if (rc != SQLITE_OK)
        fail(rc);
    if (!m_statement)
        throw Error(QStringLiteral("沒有可執行的 SQL 敘述。"), Error::Kind::Database);
    // A second statement after the first would be passed over without a word.
    const qsizetype used =
        (static_cast<const char16_t*>(tail) - reinterpret_cast<const char16_t*>(statement.utf16()));
    const QStringView rest = QStringView(statement).mid(used).trimmed();
    if (!rest.isEmpty() && rest != u";") {
        // No destructor runs for an object whose constructor throws; an open statement would
        // keep the database from closing.
        sqlite3_finalize(m_statement);
        throw Error(QStringLiteral("一次只能執行一個 SQL 敘述：") + statement, Error::Kind::Database);
    }
    m_bound.resize(size_t(sqlite3_bind_parameter_count(m_statement)));
    m_utf8.resize(m_bound.size());
}

SqliteRowStatement::~SqliteRowStatement()
{
    sqlite3_finalize(m_statement);
}

int SqliteRowStatement::formatDateTime(const QDateTime& value, char* buffer)
{
    int year, month, day, hour, minute, second;
    if (value.timeSpec() == Qt::UTC) {
        // A date as written (see platform::toDate): its fields straight from the count of
        // milliseconds, with the civil-from-days arithmetic of the proleptic Gregorian calendar,
        // instead of through the calendar classes, once for every date of an import.
        const qint64 msecs = value.toMSecsSinceEpoch();
        qint64 days = msecs / 86'400'000;
        qint64 rest = msecs % 86'400'000;
        if (rest < 0) {
            rest += 86'400'000;
            --days;
        }
        const qint64 z = days + 719'468;
        const qint64 era = (z >= 0 ? z : z - 146'096) / 146'097;
        const qint64 dayOfEra = z - era * 146'097;
        const qint64 yearOfEra = (dayOfEra - dayOfEra / 1'460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
        const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
        const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153;
        day = int(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
        month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
        year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
        hour = int(rest / 3'600'000);
        minute = int(rest / 60'000 % 60);
        second = int(rest / 1'000 % 60);
    } else {
        const QDate date = value.date();
        const QTime time = value.time();
        year = date.year();
        month = date.month();
        day = date.day();
        hour = time.hour();
        minute = time.minute();
        second = time.second();
    }
    if (year < 0 || year > 9999)
        return -1;
    auto two = [](char* at, int n) {
        at[0] = char('0' + n / 10);
        at[1] = char('0' + n % 10);
    };
    two(buffer, year / 100);
    two(buffer + 2, year % 100);
    buffer[4] = '-';
    two(buffer + 5, month);
    buffer[7] = '-';
    two(buffer + 8, day);
    buffer[10] = ' ';
    two(buffer + 11, hour);
    buffer[13] = ':';
    two(buffer + 14, minute);
    buffer[16] = ':';
    two(buffer + 17, second);
    buffer[19] = '\0';
    return 19;
}

void SqliteRowStatement::bind(int position, const QVariant& value, ColumnInfo::Kind kind)
{
    const int index = position + 1;
    ++m_boundCount;
    int rc;
    if (value.isNull()) {
        rc = sqlite3_bind_null(m_statement, index);
    } else {
        switch (value.metaType().id()) {
        case QMetaType::QString: {
            // Encoded here into a buffer kept from row to row, SQLite need not convert and copy.
            const QString* text = static_cast<const QString*>(value.constData());
            std::vector<char>& buffer = m_utf8[size_t(position)];
            const qsizetype needed = m_encoder.requiredSpace(text->size());
            if (qsizetype(buffer.size()) < needed)
                buffer.resize(size_t(needed));
            const char* end = m_encoder.appendToBuffer(buffer.data(), *text);
            rc = sqlite3_bind_text(m_statement, index, buffer.data(), int(end - buffer.data()), SQLITE_STATIC);
            break;
        }
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_statement, index, value.toDouble());
            break;
        case QMetaType::Bool:
            rc = sqlite3_bind_int(m_statement, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
            break;
        case QMetaType::QDateTime: {
            // Into the position's own buffer too, so that SQLite neither allocates nor copies.
            std::vector<char>& buffer = m_utf8[size_t(position)];
            if (buffer.size() < 24)
                buffer.resize(24);
            const int length = formatDateTime(*static_cast<const QDateTime*>(value.constData()), buffer.data());
            rc = length < 0 ? sqlite3_bind_null(m_statement, index)
                            : sqlite3_bind_text(m_statement, index, buffer.data(), length, SQLITE_STATIC);
            break;
        }
        case QMetaType::QByteArray: {
            m_bound[size_t(position)] = value;
            const QByteArray* bytes = static_cast<const QByteArray*>(m_bound[size_t(position)].constData());
            rc = sqlite3_bind_blob(m_statement, index, bytes->constData(), int(bytes->size()), SQLITE_STATIC);
            break;
        }
        default: {
            const QVariant stored = m_dialect.toStored(value, kind);
            m_bound[size_t(position)] = stored.toString();
            const QString* text = static_cast<const QString*>(m_bound[size_t(position)].constData());
            rc = sqlite3_bind_text16(m_statement, index, text->utf16(), int(text->size() * 2), SQLITE_STATIC);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        fail(rc);
}

void SqliteRowStatement::requireBound()
{
    // A placeholder left out would run with the value of the row before.
    const bool complete = m_boundCount == m_bound.size();
    m_boundCount = 0;
    if (!complete) {
        sqlite3_reset(m_statement);
        throw Error(QStringLiteral("參數數目不符：敘述需要 ") + QString::number(m_bound.size()) +
                        QStringLiteral(" 個值。"),
                    Error::Kind::Database);
    }
}

void SqliteRowStatement::exec()
{
    requireBound();
    // Never a row written, and committed, on its own after the database ended the transaction.
    m_dialect.requireTransaction(m_handle);
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_DONE || rc == SQLITE_ROW) {
        sqlite3_reset(m_statement);
        return;
    }
    fail(rc);
}

void SqliteRowStatement::query()
{
    sqlite3_reset(m_statement);
    requireBound();
}

bool SqliteRowStatement::next()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE) {
        sqlite3_reset(m_statement);
        return false;
    }
    fail(rc);
}

QVariant SqliteRowStatement::value(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(m_statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_statement, column);
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column));
    }
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
        return QByteArray(bytes, sqlite3_column_bytes(m_statement, column));
    }
    default:
        return QVariant();
    }
}

void SqliteRowStatement::appendStored(int column, QByteArray& out) const
{
    // Straight from the engine's own form: a table of tens of thousands of rows is copied so.
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        StoredValues::appendInteger(out, sqlite3_column_int64(m_statement, column));
        return;
    case SQLITE_FLOAT:
        StoredValues::appendDouble(out, sqlite3_column_double(m_statement, column));
        return;
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        StoredValues::appendText(out, QByteArrayView(text, sqlite3_column_bytes(m_statement, column)));
        return;
    }
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
        StoredValues::appendBytes(out, QByteArrayView(bytes, sqlite3_column_bytes(m_statement, column)));
        return;
    }
    default:
        StoredValues::appendNull(out);
        return;
    }
}

QSqlRecord SqliteRowStatement::record() const
{
    QSqlRecord record;
    const int count = sqlite3_column_count(m_statement);
    for (int i = 0; i < count; ++i) {
        record.append(QSqlField(
            QString::fromUtf16(static_cast<const char16_t*>(sqlite3_column_name16(m_statement, i)))));
    }
    return record;
}

int SqliteRowStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

void SqliteRowStatement::finish()
{
    sqlite3_reset(m_statement);
}

void SqliteRowStatement::fail(int code) const
{
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_handle));
    if (m_statement)
        sqlite3_reset(m_statement);
    const Error error = m_dialect.translate(QSqlError(QString(), message, QSqlError::StatementError, QString::number(code)));
    m_dialect.statementFailed(m_handle, error);
    throw error;
}

} // namespace korvane::platform
