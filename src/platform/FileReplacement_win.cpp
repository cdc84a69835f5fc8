// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "FileReplacement.h"

#include <qt_windows.h>
#include <vector>

namespace korvane::platform {

namespace {

const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

class Handle
{
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle()
    {
        if (isOpen())
            CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return m_handle; }
    bool isOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

bool isDiskFull(DWORD error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

Replacement writeFailure()
{
    return isDiskFull(GetLastError()) ? Replacement::DiskFull : Replacement::WriteFailed;
}

Replacement copyToTemporary(const QString& source, const QString& temporary)
{
    const Handle in(CreateFileW(wide(source), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in.isOpen())
        return Replacement::SourceUnreadable;
    const Handle out(
        CreateFileW(wide(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.isOpen())
        return isDiskFull(GetLastError()) ? Replacement::DiskFull : Replacement::Refused;

    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return Replacement::SourceUnreadable;
        if (got == 0)
            break;
        DWORD put = 0;
        if (!WriteFile(out.get(), buffer.data(), got, &put, nullptr) || put != got)
            return writeFailure();
    }
    // The copy keeps the source's date, as the system's own copy does.
    FILETIME written;
    if (GetFileTime(in.get(), nullptr, nullptr, &written))
        SetFileTime(out.get(), nullptr, nullptr, &written);
    if (!FlushFileBuffers(out.get()))
        return writeFailure();
    return Replacement::Done;
}

} // namespace

Replacement replaceWithCopy(const QString& localSource, const QString& localTemporary,
                            const QString& localTarget)
{
    // What a killed run left behind.
    DeleteFileW(wide(localTemporary));
    Replacement result = copyToTemporary(localSource, localTemporary);
    // Refused while a program runs from the target or holds it open without sharing its deletion.
    if (result == Replacement::Done && !MoveFileExW(wide(localTemporary), wide(localTarget),
                                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        result = isDiskFull(GetLastError()) ? Replacement::DiskFull : Replacement::Refused;
    if (result != Replacement::Done)
        DeleteFileW(wide(localTemporary));
    return result;
}

bool isLinkEntry(const QString& localPath)
{
    const DWORD attributes = GetFileAttributesW(wide(localPath));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

} // namespace korvane::platform
