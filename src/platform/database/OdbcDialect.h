// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DatabaseDialect.h"

#include <QList>
#include <optional>
#include <utility>

namespace korvane::platform {

// A database reached through an ODBC driver: the server database of the "SQLNCLI" provider,
// and on Windows the Access file of the Jet provider (AccessDialect).
class OdbcDialect : public DatabaseDialect
{
public:
    explicit OdbcDialect(QString odbcConnectionString);

    // "Provider=SQLNCLI10;Data Source=host,port;..." as the ODBC text of the driver registered
    // under "SQL Server Native Client 10.0". Every value is braced where it would end its
    // attribute; an "Extended Properties" setting (the provider string) is passed on as the
    // driver's own settings.
    static QString forSqlServer(const QString& oleDbText);

    // How long a statement waits for a lock that another connection holds before it fails:
    // long enough for any ordinary transaction of the clinic's workstations to end, short
    // enough that the person at the wizard is told what to do instead of waiting for ever.
    static constexpr int lockWaitSeconds = 20;

    QString qtDriver() const override { return QStringLiteral("QODBC"); }
    void prepare(QSqlDatabase& db) const override;
    void opened(QSqlDatabase& db) const override;
    // On the stand-in server, also notes the transaction's number (see probeTransaction).
    void begin(QSqlDatabase& db) const override;
    void setTransactionBegun(bool begun) override;
    void checkTransaction(const QSqlDatabase& db) const override;
    bool transactionEnded(const QSqlDatabase& db) const override;
    InsertLimits insertLimits(const QSqlDatabase& db) const override;
    // Straight through the driver, where the driver manager offers what that takes.
    std::unique_ptr<RowStatement> prepareBatchInsert(const QSqlDatabase& db, const QString& statement) const override;
    std::vector<ColumnInfo> columns(const QSqlDatabase& db, const QString& table,
                                    const QSqlRecord& record) const override;
    Error translate(const QSqlError& error) const override;
    Error statementError(const QSqlQuery& query) const override;
    Error connectionError(const QSqlDatabase& db) const override;

    // The error for a driver error whose SQLSTATE is state (empty when the driver gave none).
    static Error fromSqlState(const QSqlError& error, const QString& state);

protected:
    // Whether the driver manager knows a driver of this name (true when it cannot tell).
    static bool hasDriver(const QString& name);
    // "name=value;", the value braced where it holds what would end it.
    static QString connectionAttribute(const QString& name, const QString& value);

private:
    // The attributes, each a name and its value, that name the server of an OLE DB "Data Source".
    static QList<std::pair<QString, QString>> serverAttributes(const QString& dataSource);

    // Asks the server about the open transaction: no failure when it is still the one begun;
    // otherwise why not, and whether that is because the transaction is gone (rolled back or
    // aborted by the server, the connection lost). SQL Server tells by @@TRANCOUNT and
    // XACT_STATE(), the stand-in by the transaction number noted at begin.
    struct Probe
    {
        std::optional<Error> failure;
        bool ended = false;
    };
    Probe probeTransaction(const QSqlDatabase& db) const;

    QString m_odbcText;
    mutable std::optional<qint64> m_transactionId;
};

} // namespace korvane::platform
