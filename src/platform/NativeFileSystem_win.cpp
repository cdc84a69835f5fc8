// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeFileSystem.h"

#include <qt_windows.h>

namespace korvane::platform {

bool NativeFileSystem::isSystemFile(const QString& local)
{
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(local.utf16()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
}

} // namespace korvane::platform
