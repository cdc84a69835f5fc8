// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ClinicDatabase.h"
#include "drugbag/DrugBagDataGenerator.h"

namespace korvane::test {

// A drug-profile database made from schema/drug-profile-sqlite.sql and filled with generated
// drug-bag data; the clinic's AC drugs go into clinic when it is given.
ClinicDatabase generatedDrugProfile(const QString& path, const DrugBagDataGenerator::Sizes& sizes,
                                    const ClinicDatabase* clinic = nullptr, quint64 seed = 1);

} // namespace korvane::test
