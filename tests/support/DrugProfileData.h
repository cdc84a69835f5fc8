// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ClinicDatabase.h"
#include "drugbag/CDrugAdvInfoHome.h"
#include "generators/DrugBagDataGenerator.h"

#include <QStringList>
#include <QTemporaryDir>

namespace korvane::test {

// A drug-profile database made from schema/drug-profile-sqlite.sql (its folder made too), filled
// with generated drug-bag data when sizes are given; the clinic's AC drugs go into clinic.
ClinicDatabase drugProfile(const QString& path, const DrugBagDataGenerator::Sizes& sizes = {},
                           const ClinicDatabase* clinic = nullptr, quint64 seed = 1);

// Rows as text, fields joined by "|" and a null written "<null>": addRows() inserts them into
// "table" or "table (columns)", rowTexts() reads a query's rows back so.
void addRows(const ClinicDatabase& db, const QString& table, const QStringList& rows);
QStringList rowTexts(const ClinicDatabase& db, const QString& query);

// A drug-bag store on a drug-profile database of its own, empty but for its tables.
struct DrugProfileStore
{
    DrugProfileStore();

    QTemporaryDir dir;
    ClinicDatabase db;
    CDrugAdvInfoHome home;
};

} // namespace korvane::test
