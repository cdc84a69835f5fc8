// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "QtPrinters.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

namespace korvane::test {

// A real database file for a test (the clinic database, or another made from a schema kept in
// the repository), read back through a connection of its own (never through the code under test).
class ClinicDatabase
{
public:
    // Creates path from schema/clinic-sqlite.sql.
    static ClinicDatabase create(const QString& path);
    // Creates path from the named file in schema/ ("drug-profile-sqlite.sql").
    static ClinicDatabase create(const QString& path, const QString& schema);
    explicit ClinicDatabase(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }
    // The connection text that names this file.
    QString jetConnectionText() const;

    void exec(const QString& statement, const QVariantList& values = {}) const;
    // Statements that each end at a line ending in ";", in one connection.
    void runScript(const QString& script) const;
    QList<QVariantList> rows(const QString& statement) const;
    QVariant scalar(const QString& statement) const;
    int count(const QString& table) const;

private:
    QString m_path;
};

} // namespace korvane::test
