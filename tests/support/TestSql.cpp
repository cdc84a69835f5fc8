// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "TestSql.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlRecord>
#include <atomic>
#include <stdexcept>

namespace korvane::test {

void withTestConnection(const QString& qtDriver, const QString& databaseName,
                        const std::function<void(QSqlDatabase&)>& work)
{
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("test-connection-") + QString::number(++counter);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(qtDriver, name);
        db.setDatabaseName(databaseName);
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
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
    }
    QSqlDatabase::removeDatabase(name);
    if (!failure.isEmpty())
        throw std::runtime_error(failure.toStdString());
}

QSqlQuery runStatement(QSqlDatabase& db, const QString& statement, const QVariantList& values)
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

QList<QVariantList> allRows(QSqlQuery& query)
{
    QList<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        rows << row;
    }
    return rows;
}

} // namespace korvane::test
