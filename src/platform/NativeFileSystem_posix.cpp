// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeFileSystem.h"

namespace korvane::platform {

// Only Windows marks files as the system's.
bool NativeFileSystem::isSystemFile(const QString&)
{
    return false;
}

} // namespace korvane::platform
