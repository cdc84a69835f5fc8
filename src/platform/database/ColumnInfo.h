// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>

namespace korvane::platform {

// What a recordset needs to know of one column to convert values for it.
struct ColumnInfo
{
    enum class Kind { Text, Integer, Double, DateTime, Bool, Binary, Other };

    QString name;
    Kind kind = Kind::Other;
    int maxLength = -1; // characters, for text; -1 when unlimited
};

} // namespace korvane::platform
