// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DatabaseDialect.h"

#include "OdbcDialect.h"
#include "OleDbConnectionText.h"
#include "QtRowStatement.h"
#include "StatementLog.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace korvane::platform {

std::unique_ptr<DatabaseDialect> DatabaseDialect::forConnectionText(const QString& text, OpenMode mode)
{
    const OleDbConnectionText settings(text);
    const QString provider = settings.provider();
    if (provider.compare(QStringLiteral("Microsoft.Jet.OLEDB.4.0"), Qt::CaseInsensitive) == 0)
        return forDatabaseFile(text, settings.value(QStringLiteral("Data Source")), mode);
    if (provider.startsWith(QStringLiteral("SQLNCLI"), Qt::CaseInsensitive))
        return std::make_unique<OdbcDialect>(OdbcDialect::forSqlServer(text));
    if (text.trimmed().isEmpty())
        throw Error(QStringLiteral("沒有設定資料庫連線字串。"), Error::Kind::Database);
    throw Error(QStringLiteral("不支援的資料庫提供者：") + provider, Error::Kind::Database);
}

void DatabaseDialect::requireDatabaseFile(const QString& dataSource, const QString& path)
{
    const QFileInfo file(path);
    if (dataSource.isEmpty() || !file.isFile())
        throw Error(QStringLiteral("找不到資料庫檔案：") + dataSource, Error::Kind::FileNotFound);
    if (file.size() == 0)
        throw Error(QStringLiteral("資料庫檔案是空的（0 位元組），不是 Korvane 的資料庫，可能是複製或還原時出了問題：") +
                        dataSource,
                    Error::Kind::Database);
}

std::unique_ptr<RowStatement> DatabaseDialect::prepareRowStatement(const QSqlDatabase& db,
                                                                    const QString& statement) const
{
    return std::make_unique<QtRowStatement>(db, statement, *this);
}

std::unique_ptr<RowStatement> DatabaseDialect::rowStatement(const QSqlDatabase& db, const QString& statement) const
{
    if (m_log)
        m_log->sent(statement);
    return prepareRowStatement(db, statement);
}

std::unique_ptr<RowStatement> DatabaseDialect::batchInsert(const QSqlDatabase& db, const QString& statement) const
{
    if (m_log)
        m_log->sent(statement);
    return prepareBatchInsert(db, statement);
}

void DatabaseDialect::execute(const QSqlDatabase& db, const QString& statement) const
{
    if (m_log)
        m_log->sent(statement);
    QSqlQuery query(db);
    if (!query.exec(statement))
        throw statementError(query);
}

QString DatabaseDialect::quoteName(const QSqlDatabase& db, const QString& name) const
{
    return db.driver()->escapeIdentifier(name, QSqlDriver::FieldName);
}

Error DatabaseDialect::statementError(const QSqlQuery& query) const
{
    return translate(query.lastError());
}

void DatabaseDialect::begin(QSqlDatabase& db) const
{
    if (!db.transaction())
        throw connectionError(db);
}

Error DatabaseDialect::connectionError(const QSqlDatabase& db) const
{
    return translate(db.lastError());
}

Error DatabaseDialect::lockedError(const QString& detail)
{
    return Error(QStringLiteral("資料庫正被其他程式使用中（已鎖定）。請先關閉 Korvane 及其他開啟資料庫的程式，"
                                "再重新執行本更新程式。（") + detail + u'）',
                 Error::Kind::DatabaseLocked);
}

Error DatabaseDialect::inUseError(const QString& held, const QString& detail)
{
    // The wording the deployment actions use for a program in use, then what holds the file.
    return Error(QStringLiteral("在進行更新程式前，請關閉目前正在執行的申報軟體。\r\n") + held +
                     (detail.isEmpty() ? QString() : QStringLiteral("（") + detail + u'）'),
                 Error::Kind::DatabaseLocked);
}

Error DatabaseDialect::transactionEndedError(const QString& cause)
{
    // The cause first: it is what the clinic can mend (a full disk, a lost network).
    const QString ended = QStringLiteral("資料庫已自行中止這次的交易，所有變更都沒有寫入。");
    return Error(cause.isEmpty() ? ended : cause + QStringLiteral("\r\n") + ended, Error::Kind::Database);
}

Error DatabaseDialect::unreachableError(const QString& detail)
{
    return Error(QStringLiteral("無法連線到資料庫，請確認資料庫伺服器已開啟、網路連線正常，再重新執行本更新程式。（") +
                     detail + u'）',
                 Error::Kind::DatabaseUnreachable);
}

Error DatabaseDialect::otherError(const QString& detail)
{
    return Error(QStringLiteral("資料庫回報了錯誤，這個動作沒有完成。請記下這段訊息並告訴資訊人員。（") + detail + u'）',
                 Error::Kind::Database);
}

} // namespace korvane::platform
