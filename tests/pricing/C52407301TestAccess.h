// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "pricing/C52407301.h"

namespace korvane {

// The way in to the drug-price update's private operations, for the tests only.
class C52407301TestAccess
{
public:
    static void syncDrugBagCode(C52407301& action, const QString& line, CDrugAdvInfoHome& home)
    {
        action.syncDrugBagCode(line, home);
    }
    static void writeUpdateKey(C52407301& action) { action.writeUpdateKey(); }
};

} // namespace korvane
