// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "FileInUse.h"

namespace korvane::platform {

// Deleting or overwriting a file in use fails by itself here, with the system's own error.
bool fileInUse(const QString&)
{
    return false;
}

} // namespace korvane::platform
