// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ClinicServer.h"

#include "TestSql.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>
#include <functional>
#include <stdexcept>

namespace korvane::test {


const ClinicServer& ClinicServer::instance()
{
    static const ClinicServer server;
    return server;
}

void ServerTest::SetUp()
{
    if (const QString& reason = server.unavailableReason(); !reason.isEmpty()) {
        if (qEnvironmentVariableIsSet("CI"))
            FAIL() << "the test server is needed in CI: " << qPrintable(reason);
        GTEST_SKIP() << qPrintable(reason);
    }
    server.resetTables();
}

ClinicServer::ClinicServer() : m_folder(QStringLiteral(KORVANE_PG_DIR))
{
    QFile env(m_folder + QStringLiteral("/server.env"));
    if (!env.open(QIODevice::ReadOnly)) {
        m_reason = QStringLiteral("no server.env in ") + m_folder +
                   QStringLiteral(" (the server_start test did not run)");
        return;
    }
    QString odbcFolder;
    for (const QByteArray& raw : env.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QStringLiteral("REASON=")))
            m_reason = line.mid(7);
        else if (line.startsWith(QStringLiteral("PORT=")))
            m_port = line.mid(5).toInt();
        else if (line.startsWith(QStringLiteral("ODBCSYSINI=")))
            odbcFolder = line.mid(11);
    }
    if (m_reason.isEmpty() && (m_port <= 0 || odbcFolder.isEmpty()))
        m_reason = QStringLiteral("server.env names no port or no driver registration");
    if (m_reason.isEmpty())
        qputenv("ODBCSYSINI", odbcFolder.toLocal8Bit());
}

QByteArray ClinicServer::configFile() const
{
    return "<Korvane><SQLNCLI>10</SQLNCLI><IP>127.0.0.1," + QByteArray::number(m_port) +
           "</IP><DB>clinic</DB></Korvane>\r\n";
}

QString ClinicServer::connectionText(const QString& driverSettings) const
{
    const QString text = QStringLiteral("Provider=SQLNCLI10;Data Source=127.0.0.1,") + QString::number(m_port) +
                         QStringLiteral(";User ID=sa;Password=Pk@62913057;Initial Catalog=clinic");
    return driverSettings.isEmpty() ? text : text + QStringLiteral(";Extended Properties=\"") + driverSettings + u'"';
}

QString ClinicServer::odbcText() const
{
    return QStringLiteral("DRIVER={SQL Server Native Client 10.0};SERVER=127.0.0.1;PORT=") +
           QString::number(m_port) + QStringLiteral(";DATABASE=clinic;UID=sa;PWD=Pk@62913057;");
}

void ClinicServer::exec(const QString& statement, const QVariantList& values) const
{
    withTestConnection(QStringLiteral("QODBC"), odbcText(), [&](QSqlDatabase& db) { runStatement(db, statement, values); });
}

QList<QVariantList> ClinicServer::rows(const QString& statement) const
{
    QList<QVariantList> result;
    withTestConnection(QStringLiteral("QODBC"), odbcText(), [&](QSqlDatabase& db) {
        QSqlQuery query = runStatement(db, statement);
        result = allRows(query);
    });
    return result;
}

int ClinicServer::count(const QString& table) const
{
    return rows(QStringLiteral("SELECT count(*) FROM ") + table).value(0).value(0).toInt();
}

QStringList ClinicServer::oldCodes()
{
    return {QStringLiteral("OLD0000001"), QStringLiteral("OLD0000002"), QStringLiteral("OLD0000003")};
}

void ClinicServer::resetTables() const
{
    withTestConnection(QStringLiteral("QODBC"), odbcText(), [](QSqlDatabase& db) {
        runStatement(db, QStringLiteral("DROP TRIGGER IF EXISTS korvane_test_refuse ON tblDrugs"));
        runStatement(db, QStringLiteral("ALTER TABLE tblDrugs DROP CONSTRAINT IF EXISTS korvane_test_price"));
        runStatement(db, QStringLiteral("ALTER TABLE tblDrugs DROP CONSTRAINT IF EXISTS korvane_test_bytes"));
        runStatement(db, QStringLiteral("DROP INDEX IF EXISTS korvane_test_unique"));
        runStatement(db, QStringLiteral("DELETE FROM tblDrugs"));
        runStatement(db, QStringLiteral("DELETE FROM tblTemp"));
        for (const QString& code : oldCodes())
            runStatement(db, QStringLiteral("INSERT INTO tblDrugs (代碼, 藥價參考金額) VALUES (?, 1.5)"), {code});
    });
}

QStringList ClinicServer::drugCodes() const
{
    QStringList codes;
    for (const QVariantList& row : rows(QStringLiteral("SELECT 代碼 FROM tblDrugs ORDER BY 代碼")))
        codes << row.value(0).toString();
    return codes;
}

void ClinicServer::script(const QString& command) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral(KORVANE_PG_SCRIPT), {command, m_folder});
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        throw std::runtime_error(("pg-server " + command + " failed").toStdString());
}

void ClinicServer::halt() const
{
    script(QStringLiteral("halt"));
}

void ClinicServer::resume() const
{
    script(QStringLiteral("resume"));
}

} // namespace korvane::test
