// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "FileIdentity.h"

#include <qt_windows.h>

namespace korvane::platform {

std::optional<FileIdentity> fileIdentity(const QString& localPath)
{
    if (localPath.isEmpty())
        return std::nullopt;
    // No access asked for and every kind of sharing allowed: a file in use still answers.
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(localPath.utf16()), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information;
    const bool known = GetFileInformationByHandle(handle, &information);
    CloseHandle(handle);
    const quint64 file = (quint64(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    // Some network shares number every file 0; that would make all their files one.
    if (!known || file == 0)
        return std::nullopt;
    return FileIdentity{information.dwVolumeSerialNumber, file};
}

} // namespace korvane::platform
