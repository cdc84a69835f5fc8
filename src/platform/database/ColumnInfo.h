// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <QStringView>

namespace korvane::platform {

// What a recordset needs to know of one column to convert values for it.
struct ColumnInfo
{
    enum class Kind { Text, Integer, Double, DateTime, Bool, Binary, Other };

    QString name;
    Kind kind = Kind::Other;
    int maxLength = -1; // for text: characters, or bytes (maxLengthInBytes); -1 when unlimited
    // A server's VARCHAR holds maxLength bytes of its code page (two for a Big5 character), not
    // characters as its NVARCHAR and the desktop database's text do.
    bool maxLengthInBytes = false;

    // Whether the text fits the column's length.
    bool fits(QStringView text) const;
};

} // namespace korvane::platform
