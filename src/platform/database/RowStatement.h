// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ColumnInfo.h"

#include <QVariant>

namespace korvane::platform {

// A statement prepared once and run once per row, with the row's values bound to its "?"
// placeholders. Imports run one per record, so this is the hot path of a database write.
class RowStatement
{
public:
    virtual ~RowStatement() = default;
    // The value, already converted for its column, for placeholder position (from 0).
    virtual void bind(int position, const QVariant& value, ColumnInfo::Kind kind) = 0;
    // Runs the statement with the values bound; throws platform::Error.
    virtual void exec() = 0;
};

} // namespace korvane::platform
