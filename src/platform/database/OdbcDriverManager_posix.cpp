// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "OdbcDriverManager.h"

#include <QLibrary>

namespace korvane::platform {

void OdbcDriverManager::locate(QLibrary& library)
{
    library.setFileNameAndVersion(QStringLiteral("odbc"), 2);
}

} // namespace korvane::platform
