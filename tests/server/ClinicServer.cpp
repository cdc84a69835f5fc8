// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ClinicServer.h"

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

namespace {

void withConnection(const QString& odbcText, const std::function<void(QSqlDatabase&)>& work)
{
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("test-server-") + QString::number(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(odbcText);
        if (!db.open()) {
            const QString text = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw std::runtime_error(text.toStdString());
        }
        try {
            work(db);
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QSqlQuery run(QSqlDatabase& db, const QString& statement, const QVariantList& values = {})
{
    QSqlQuery query(db);
    bool ok = query.prepare(statement);
    for (qsizetype i = 0; ok && i < values.size(); ++i)
        query.bindValue(int(i), values.at(i));
    ok = ok && query.exec();
    if (!ok)
        throw std::runtime_error((statement + QStringLiteral(": ") + query.lastError().text()).toStdString());
    return query;
}

} // namespace

const ClinicServer& ClinicServer::instance()
{
    static const ClinicServer server;
    return server;
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

QString ClinicServer::connectionText() const
{
    return QStringLiteral("Provider=SQLNCLI10;Data Source=127.0.0.1,") + QString::number(m_port) +
           QStringLiteral(";User ID=sa;Password=Pk@62913057;Initial Catalog=clinic");
}

QString ClinicServer::odbcText() const
{
    return QStringLiteral("DRIVER={SQL Server Native Client 10.0};SERVER=127.0.0.1;PORT=") +
           QString::number(m_port) + QStringLiteral(";DATABASE=clinic;UID=sa;PWD=Pk@62913057;");
}

void ClinicServer::exec(const QString& statement, const QVariantList& values) const
{
    withConnection(odbcText(), [&](QSqlDatabase& db) { run(db, statement, values); });
}

QList<QVariantList> ClinicServer::rows(const QString& statement) const
{
    QList<QVariantList> result;
    withConnection(odbcText(), [&](QSqlDatabase& db) {
        QSqlQuery query = run(db, statement);
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i)
                row << query.value(i);
            result << row;
        }
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
    withConnection(odbcText(), [](QSqlDatabase& db) {
        run(db, QStringLiteral("DROP TRIGGER IF EXISTS korvane_test_refuse ON tblDrugs"));
        run(db, QStringLiteral("ALTER TABLE tblDrugs DROP CONSTRAINT IF EXISTS korvane_test_price"));
        run(db, QStringLiteral("DELETE FROM tblDrugs"));
        run(db, QStringLiteral("DELETE FROM tblTemp"));
        for (const QString& code : oldCodes())
            run(db, QStringLiteral("INSERT INTO tblDrugs (代碼, 藥價參考金額) VALUES (?, 1.5)"), {code});
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
