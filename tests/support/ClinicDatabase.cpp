// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ClinicDatabase.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>
#include <functional>
#include <stdexcept>

namespace korvane::test {

namespace {

void withDatabase(const QString& path, const std::function<void(QSqlDatabase&)>& work)
{
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("test-clinic-") + QString::number(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        work(db);
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

ClinicDatabase ClinicDatabase::create(const QString& path)
{
    QFile schema(QStringLiteral(KORVANE_SCHEMA_DIR "/clinic-sqlite.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        throw std::runtime_error("schema file missing");
    QString text = QString::fromUtf8(schema.readAll());
    withDatabase(path, [&](QSqlDatabase& db) {
        QString statement;
        for (const QString& line : text.split(u'\n')) {
            if (line.trimmed().startsWith(QStringLiteral("--")))
                continue;
            statement += line + u'\n';
            if (line.trimmed().endsWith(u';')) {
                run(db, statement.trimmed());
                statement.clear();
            }
        }
    });
    return ClinicDatabase(path);
}

QString ClinicDatabase::jetConnectionText() const
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password='Pk@Dolmira51840297';Data Source=") +
           m_path + u';';
}

void ClinicDatabase::exec(const QString& statement, const QVariantList& values) const
{
    withDatabase(m_path, [&](QSqlDatabase& db) { run(db, statement, values); });
}

QList<QVariantList> ClinicDatabase::rows(const QString& statement) const
{
    QList<QVariantList> result;
    withDatabase(m_path, [&](QSqlDatabase& db) {
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

QVariant ClinicDatabase::scalar(const QString& statement) const
{
    const auto all = rows(statement);
    return all.isEmpty() || all.first().isEmpty() ? QVariant() : all.first().first();
}

int ClinicDatabase::count(const QString& table) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt();
}

} // namespace korvane::test
