// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <functional>

class QSqlDatabase;

namespace korvane::test {

// A connection of the test's own (never the code under test), opened for one piece of work and
// closed after it, so that it holds no lock while the code under test runs. Throws
// std::runtime_error when the database cannot be opened.
void withTestConnection(const QString& qtDriver, const QString& databaseName,
                        const std::function<void(QSqlDatabase&)>& work);

// Runs a statement with bound values; throws std::runtime_error naming the statement.
QSqlQuery runStatement(QSqlDatabase& db, const QString& statement, const QVariantList& values = {});

// Every row of an executed query.
QList<QVariantList> allRows(QSqlQuery& query);

} // namespace korvane::test
