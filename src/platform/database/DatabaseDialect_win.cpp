// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DatabaseDialect.h"

#include "AccessDialect.h"

namespace korvane::platform {

// The Access file, through its ODBC driver.
std::unique_ptr<DatabaseDialect> DatabaseDialect::forDatabaseFile(const QString& text, const QString& dataSource,
                                                                  OpenMode mode)
{
    requireDatabaseFile(dataSource, dataSource);
    return std::make_unique<AccessDialect>(text, mode);
}

} // namespace korvane::platform
