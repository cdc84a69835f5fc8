// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DatabaseDialect.h"

#include "SqliteDialect.h"

namespace korvane::platform {

// Elsewhere the clinic database is the embedded one, kept under the same file name.
std::unique_ptr<DatabaseDialect> DatabaseDialect::forDatabaseFile(const QString&, const QString& dataSource,
                                                                  OpenMode mode)
{
    return std::make_unique<SqliteDialect>(dataSource, mode);
}

} // namespace korvane::platform
