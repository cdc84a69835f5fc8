// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ClinicDatabase.h"
#include "actions/clsContext.h"
#include "drugbag/CDrugAdvInfoHome.h"
#include "drugbag/DrugBagDataGenerator.h"

#include <QTemporaryDir>
#include <memory>

namespace korvane::test {

// A drug-profile database made from schema/drug-profile-sqlite.sql and filled with generated
// drug-bag data; the clinic's AC drugs go into clinic when it is given.
ClinicDatabase generatedDrugProfile(const QString& path, const DrugBagDataGenerator::Sizes& sizes,
                                    const ClinicDatabase* clinic = nullptr, quint64 seed = 1);

// A context holding an open connection to the database, as the code that opens a database hands
// one to the drug-bag store.
std::shared_ptr<clsContext> openContext(const ClinicDatabase& db);

// A drug-bag store on a drug-profile database of its own, empty but for its tables.
struct DrugProfileStore
{
    DrugProfileStore();

    QTemporaryDir dir;
    ClinicDatabase db;
    CDrugAdvInfoHome home;
};

} // namespace korvane::test
