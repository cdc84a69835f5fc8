// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "FileReplacement.h"

#include <algorithm>
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

// How long a file held by another program is waited for: a virus scanner looks at a freshly
// written program for a moment, and a program just closed lets go of its files a little later.
constexpr ULONGLONG kRetryForMs = 10'000;
constexpr DWORD kRetryEveryMs = 100;

// The failures that go away once whoever holds the target, or the copy, lets go.
bool worthRetrying(DWORD error)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_ACCESS_DENIED:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
        return true;
    default:
        return false;
    }
}

// The attributes a user or an installer gives a file, which the new copy keeps.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

struct Swap
{
    QString temporary;
    QString target; // as the caller spells it
    QString old;    // where the replaced file goes for a moment
    // The replaced file's name as the folder spells it, and its attributes, once seen.
    QString existing;
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
};

// The path with the file's name as the folder lists it: the new file takes the name the old one
// had ("Korvane.exe" stays so when "korvane.exe" is shipped), which the system would otherwise
// take from the caller once the old file is out of the way.
QString listedName(const QString& path)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(wide(path), &found);
    if (search == INVALID_HANDLE_VALUE)
        return path;
    FindClose(search);
    const qsizetype slash = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.left(slash + 1) + QString::fromWCharArray(found.cFileName);
}

// A program that runs from the target, or holds it without letting others write to it, would
// find its file changed under it: such a target is not replaced. (The system lets a running
// program's file be renamed, so the replacement itself would not stop at it.)
DWORD openForWriting(const wchar_t* target)
{
    const Handle probe(CreateFileW(target, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe.isOpen() ? DWORD(NO_ERROR) : GetLastError();
}

// One attempt at putting the copy in place of an existing target, which the system replaces
// keeping its permissions, its short name and its other attributes. The old file goes under
// the name swap.old in between; a failure may leave it there, for restoreOld.
DWORD replaceExisting(const Swap& swap)
{
    const wchar_t* target = wide(swap.existing);
    // Replacing a read-only file is refused, so it is lifted for the swap and put back after.
    const bool readOnly = (swap.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !SetFileAttributesW(target, swap.attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)))
        return GetLastError();
    DWORD error = openForWriting(target);
    if (error == NO_ERROR && !ReplaceFileW(target, wide(swap.temporary), wide(swap.old),
                                           REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                                           nullptr, nullptr)) {
        error = GetLastError();
        // The old file has gone to swap.old and the new one is still under its own name: the
        // new one takes the target's name if it can.
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
            MoveFileExW(wide(swap.temporary), target, MOVEFILE_WRITE_THROUGH))
            error = NO_ERROR;
    }
    if (error != NO_ERROR) {
        if (readOnly)
            SetFileAttributesW(target, swap.attributes);
        return error;
    }
    SetFileAttributesW(target, GetFileAttributesW(target) | (swap.attributes & kKeptAttributes));
    return NO_ERROR;
}

// Gives the target's name back to the old file where an attempt left it under swap.old.
bool restoreOld(const Swap& swap)
{
    if (GetFileAttributesW(wide(swap.target)) != INVALID_FILE_ATTRIBUTES ||
        GetFileAttributesW(wide(swap.old)) == INVALID_FILE_ATTRIBUTES)
        return true;
    const QString target = swap.existing.isEmpty() ? swap.target : swap.existing;
    if (!MoveFileExW(wide(swap.old), wide(target), MOVEFILE_WRITE_THROUGH))
        return false;
    if (swap.attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(wide(target), swap.attributes);
    return true;
}

DWORD swapOnce(Swap& swap)
{
    if (const DWORD attributes = GetFileAttributesW(wide(swap.target)); attributes != INVALID_FILE_ATTRIBUTES) {
        swap.attributes = attributes;
        swap.existing = listedName(swap.target);
        return replaceExisting(swap);
    }
    return MoveFileExW(wide(swap.temporary), wide(swap.target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? DWORD(NO_ERROR)
               : GetLastError();
}

// Puts the copy in place, trying again for a while as long as the target or the copy is held.
Replacement putInPlace(Swap swap)
{
    const ULONGLONG deadline = GetTickCount64() + kRetryForMs;
    for (;;) {
        const DWORD error = swapOnce(swap);
        if (error == NO_ERROR) {
            // Still held by whoever held it, the old file goes once they let go; else the next
            // copy of this target removes it.
            DeleteFileW(wide(swap.old));
            return Replacement::Done;
        }
        bool restored = restoreOld(swap);
        if (!worthRetrying(error) || GetTickCount64() >= deadline) {
            // The old file must not stay under another name: it is given as long again.
            for (const ULONGLONG last = GetTickCount64() + kRetryForMs; !restored && GetTickCount64() < last;) {
                Sleep(kRetryEveryMs);
                restored = restoreOld(swap);
            }
            if (!restored)
                return Replacement::OldFileMoved;
            return isDiskFull(error) ? Replacement::DiskFull : Replacement::Refused;
        }
        Sleep(kRetryEveryMs);
    }
}

} // namespace

Replacement replaceWithCopy(const QString& localSource, const QString& localTemporary,
                            const QString& localTarget)
{
    const QString old = movedOldFile(localTarget);
    // What a killed run left behind; an old file only once the target is back in place.
    DeleteFileW(wide(localTemporary));
    if (GetFileAttributesW(wide(localTarget)) != INVALID_FILE_ATTRIBUTES)
        DeleteFileW(wide(old));
    Replacement result = copyToTemporary(localSource, localTemporary);
    if (result == Replacement::Done)
        result = putInPlace({localTemporary, localTarget, old, {}});
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
