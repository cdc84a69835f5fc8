// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ClinicDatabase.h"

#include "TestSql.h"

#include <QFile>
#include <QSqlDatabase>
#include <stdexcept>

namespace korvane::test {

ClinicDatabase ClinicDatabase::create(const QString& path)
{
    return create(path, QStringLiteral("clinic-sqlite.sql"));
}

ClinicDatabase ClinicDatabase::create(const QString& path, const QString& schema)
{
    QFile file(QStringLiteral(KORVANE_SCHEMA_DIR "/") + schema);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("schema file missing");
    ClinicDatabase db(path);
    db.runScript(QString::fromUtf8(file.readAll()));
    return db;
}

void ClinicDatabase::runScript(const QString& script) const
{
    withTestConnection(QStringLiteral("QSQLITE"), m_path, [&](QSqlDatabase& db) {
        QString statement;
        for (const QString& line : script.split(u'\n')) {
            if (line.trimmed().startsWith(QStringLiteral("--")))
                continue;
            statement += line + u'\n';
            if (line.trimmed().endsWith(u';')) {
                runStatement(db, statement.trimmed());
                statement.clear();
            }
        }
    });
}

QString ClinicDatabase::jetConnectionText() const
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password='Pk@Dolmira51840297';Data Source=") +
           m_path + u';';
}

void ClinicDatabase::exec(const QString& statement, const QVariantList& values) const
{
    withTestConnection(QStringLiteral("QSQLITE"), m_path, [&](QSqlDatabase& db) { runStatement(db, statement, values); });
}

QList<QVariantList> ClinicDatabase::rows(const QString& statement) const
{
    QList<QVariantList> result;
    withTestConnection(QStringLiteral("QSQLITE"), m_path, [&](QSqlDatabase& db) {
        QSqlQuery query = runStatement(db, statement);
        result = allRows(query);
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
