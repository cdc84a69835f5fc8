// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "OdbcDialect.h"

namespace korvane::platform {

// "host,port" is the server's own way to name a port; the drivers registered under that
// name elsewhere take the port as an attribute of its own.
QList<std::pair<QString, QString>> OdbcDialect::serverAttributes(const QString& dataSource)
{
    const qsizetype comma = dataSource.lastIndexOf(u',');
    if (comma > 0)
        return {{QStringLiteral("SERVER"), dataSource.left(comma).trimmed()},
                {QStringLiteral("PORT"), dataSource.mid(comma + 1).trimmed()}};
    return {{QStringLiteral("SERVER"), dataSource}};
}

} // namespace korvane::platform
