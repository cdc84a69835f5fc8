// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "FileInUse.h"

#include <qt_windows.h>

namespace korvane::platform {

// Deleting or overwriting a file in use fails by itself here, with the system's own error.
bool fileInUse(const QString&)
{
    return false;
}

bool fileInUseAhead(const QString& localPath)
{
    // A running program or an open handle refuses an exclusive open with a sharing violation;
    // a missing file or one we may not open for other reasons is for the caller to find out.
    const HANDLE handle =
        CreateFileW(reinterpret_cast<const wchar_t*>(localPath.utf16()), GENERIC_READ | GENERIC_WRITE, 0,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    }
    CloseHandle(handle);
    return false;
}

} // namespace korvane::platform
