// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "OdbcDialect.h"

#include "OleDbConnectionText.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

namespace korvane::platform {

namespace {

// ODBC SQL type codes for long text, whose reported size is no limit.
enum { SqlLongVarChar = -1, SqlWLongVarChar = -10 };

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

} // namespace

OdbcDialect::OdbcDialect(QString odbcConnectionString) : m_odbcText(std::move(odbcConnectionString)) {}

QString OdbcDialect::forSqlServer(const QString& oleDbText)
{
    const OleDbConnectionText settings(oleDbText);
    // "SQLNCLI10" is served by the driver registered as "SQL Server Native Client 10.0".
    const QString version = settings.provider().mid(7);
    QString driver = QStringLiteral("SQL Server Native Client");
    if (!version.isEmpty())
        driver += u' ' + (version.contains(u'.') ? version : version + QStringLiteral(".0"));

    QString text = QStringLiteral("DRIVER={") + driver + QStringLiteral("};");
    const QString source = settings.value(QStringLiteral("Data Source"));
    const qsizetype comma = source.lastIndexOf(u',');
#ifdef Q_OS_WIN
    text += attribute(QStringLiteral("SERVER"), source);
#else
    // "host,port" is the server's own way to name a port; the drivers registered under that
    // name elsewhere take the port as an attribute of its own.
    if (comma > 0) {
        text += attribute(QStringLiteral("SERVER"), source.left(comma).trimmed());
        text += attribute(QStringLiteral("PORT"), source.mid(comma + 1).trimmed());
    } else {
        text += attribute(QStringLiteral("SERVER"), source);
    }
#endif
    Q_UNUSED(comma);
    text += attribute(QStringLiteral("DATABASE"), settings.value(QStringLiteral("Initial Catalog")));
    text += attribute(QStringLiteral("UID"), settings.value(QStringLiteral("User ID")));
    text += attribute(QStringLiteral("PWD"), settings.value(QStringLiteral("Password")));
    return text;
}

QString OdbcDialect::forAccess(const QString& oleDbText)
{
    const OleDbConnectionText settings(oleDbText);
    QString text = QStringLiteral("DRIVER={Microsoft Access Driver (*.mdb)};");
    text += attribute(QStringLiteral("DBQ"), settings.value(QStringLiteral("Data Source")));
    const QString password = settings.value(QStringLiteral("Jet OLEDB:Database Password"));
    if (!password.isEmpty())
        text += attribute(QStringLiteral("PWD"), password);
    return text;
}

void OdbcDialect::prepare(QSqlDatabase& db) const
{
    db.setDatabaseName(m_odbcText);
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15;SQL_ATTR_CONNECTION_TIMEOUT=60"));
}

std::vector<ColumnInfo> OdbcDialect::columns(const QSqlDatabase&, const QString&, const QSqlRecord& record) const
{
    std::vector<ColumnInfo> result;
    result.reserve(record.count());
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        ColumnInfo info;
        info.name = field.name();
        switch (field.metaType().id()) {
        case QMetaType::QString:
            info.kind = ColumnInfo::Kind::Text;
            if (field.typeID() != SqlLongVarChar && field.typeID() != SqlWLongVarChar && field.length() > 0)
                info.maxLength = field.length();
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

Error OdbcDialect::translate(const QSqlError& error) const
{
    const QString detail = error.text();
    const QString state = error.nativeErrorCode();
    // SQLSTATE class 08 is a connection that failed or was lost; HYT00/HYT01 are timeouts,
    // 40001 a deadlock victim and 55P03 a lock the server would not grant.
    if (state.startsWith(QStringLiteral("08")))
        return unreachableError(detail);
    if (state.startsWith(QStringLiteral("HYT")) || state == QStringLiteral("40001") || state == QStringLiteral("55P03"))
        return lockedError(detail);
    if (state == QStringLiteral("IM002"))
        return Error(QStringLiteral("找不到資料庫驅動程式，請安裝資料庫用戶端元件。（") + detail + u'）',
                     Error::Kind::DatabaseUnreachable);
    return Error(detail, Error::Kind::Database);
}

} // namespace korvane::platform
