// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "OdbcDialect.h"

namespace korvane::platform {

// The Windows drivers read "host,port" as the server names it.
QList<std::pair<QString, QString>> OdbcDialect::serverAttributes(const QString& dataSource)
{
    return {{QStringLiteral("SERVER"), dataSource}};
}

} // namespace korvane::platform
