// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DatabaseDialect.h"

#include "OdbcDialect.h"

namespace korvane::platform {

// The Access file, through its ODBC driver.
std::unique_ptr<DatabaseDialect> DatabaseDialect::forDatabaseFile(const QString& text,
                                                                  const QString& dataSource)
{
    requireDatabaseFile(dataSource, dataSource);
    return std::make_unique<OdbcDialect>(OdbcDialect::forAccess(text));
}

} // namespace korvane::platform
