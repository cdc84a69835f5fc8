// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "QtPrinters.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

namespace korvane::test {

// A real clinic database file for a test, made from the schema kept in the repository, and
// read back through a connection of its own (never through the code under test).
class ClinicDatabase
{
public:
    // Creates path from schema/clinic-sqlite.sql.
    static ClinicDatabase create(const QString& path);
    explicit ClinicDatabase(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }
    // The connection text that names this file.
    QString jetConnectionText() const;

    void exec(const QString& statement, const QVariantList& values = {}) const;
    QList<QVariantList> rows(const QString& statement) const;
    QVariant scalar(const QString& statement) const;
    int count(const QString& table) const;

private:
    QString m_path;
};

} // namespace korvane::test
