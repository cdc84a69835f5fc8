// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeFileSystem.h"

#include <QDir>
#include <qt_windows.h>

namespace korvane::platform {

bool NativeFileSystem::isSystemFile(const QString& local)
{
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(local.utf16()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
}

bool NativeFileSystem::createAndRemove(const QString& local)
{
    // Run as the user asked (no elevation), a program's write to a protected folder is refused
    // here, not sent elsewhere: the manifest turns the old redirection off. The system removes
    // the file as the handle closes.
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(local).utf16()),
                                    GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

} // namespace korvane::platform
