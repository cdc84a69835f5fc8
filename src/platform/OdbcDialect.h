// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DatabaseDialect.h"

namespace korvane::platform {

// A database reached through an ODBC driver: the server database of the "SQLNCLI" provider,
// and on Windows the Access file of the Jet provider.
class OdbcDialect : public DatabaseDialect
{
public:
    explicit OdbcDialect(QString odbcConnectionString);

    // "Provider=SQLNCLI10;Data Source=host,port;..." as the ODBC text of the driver registered
    // under "SQL Server Native Client 10.0".
    static QString forSqlServer(const QString& oleDbText);
    // "Provider=Microsoft.Jet.OLEDB.4.0;...;Data Source=file" as the ODBC text of the Access driver.
    static QString forAccess(const QString& oleDbText);

    QString qtDriver() const override { return QStringLiteral("QODBC"); }
    void prepare(QSqlDatabase& db) const override;
    std::vector<ColumnInfo> columns(const QSqlDatabase& db, const QString& table,
                                    const QSqlRecord& record) const override;
    Error translate(const QSqlError& error) const override;

private:
    QString m_odbcText;
};

} // namespace korvane::platform
