// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "RecordFolder.h"

#include "Error.h"
#include "Paths.h"

#include <QDir>
#include <algorithm>
#include <qt_windows.h>

// The folder is held open without sharing its deletion, so it cannot be renamed away and replaced
// by a junction while the record is written; every file is opened with FILE_FLAG_OPEN_REPARSE_POINT,
// so that a link in its place is opened itself, found out and refused, never followed.

namespace korvane::platform {

namespace {

const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

QString systemCause(DWORD error)
{
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return QStringLiteral("磁碟空間不足");
    case ERROR_ACCESS_DENIED:
        return QStringLiteral("沒有寫入的權限");
    case ERROR_WRITE_PROTECT:
        return QStringLiteral("磁碟是唯讀的");
    default:
        return qt_error_string(int(error));
    }
}

Error linkRefused(const QString& path, const QString& what)
{
    return Error(QDir::toNativeSeparators(path) + QStringLiteral(" ") + what + QStringLiteral("，為了安全不會寫入。"),
                 Error::Kind::LinkRefused);
}

class Handle
{
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return m_handle; }
    bool isOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    bool close()
    {
        const bool closed = !isOpen() || CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE m_handle;
};

// A plain file of one name: no reparse point (a link, a junction), no folder, no second name.
bool isPlainFile(HANDLE handle)
{
    BY_HANDLE_FILE_INFORMATION information;
    return GetFileInformationByHandle(handle, &information) &&
           (information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0 &&
           information.nNumberOfLinks <= 1;
}

bool writeAll(HANDLE handle, const QByteArray& bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        DWORD put = 0;
        const DWORD chunk = DWORD(std::min<qsizetype>(bytes.size() - written, 1 << 20));
        if (!WriteFile(handle, bytes.constData() + written, chunk, &put, nullptr) || put == 0)
            return false;
        written += put;
    }
    return true;
}

} // namespace

RecordFolder::RecordFolder(const QString& folder) : ivPath(QDir::toNativeSeparators(localPath(folder)))
{
    DWORD attributes = GetFileAttributesW(wide(ivPath));
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // Another run may make it at the same moment; what is there is checked below.
        if (!CreateDirectoryW(wide(ivPath), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            fail(QString(), QStringLiteral("無法建立資料夾（") + systemCause(GetLastError()) + u'）');
        attributes = GetFileAttributesW(wide(ivPath));
    }
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        throw linkRefused(ivPath, QStringLiteral("是捷徑（連結、連接點）或不是資料夾"));
    const HANDLE handle = CreateFileW(wide(ivPath), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        fail(QString(), systemCause(GetLastError()));
    ivHandle = reinterpret_cast<qintptr>(handle);
}

RecordFolder::~RecordFolder()
{
    if (ivHandle != -1)
        CloseHandle(reinterpret_cast<HANDLE>(ivHandle));
}

void RecordFolder::refuseLink(const QString& name) const
{
    const QString path = filePath(name);
    const DWORD attributes = GetFileAttributesW(wide(path));
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        throw linkRefused(path, QStringLiteral("是捷徑（連結、連接點）"));
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        throw linkRefused(path, QStringLiteral("不是一般的檔案"));
    const Handle file(CreateFileW(wide(path), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file.isOpen() && !isPlainFile(file.get()))
        throw linkRefused(path, QStringLiteral("另有其他名稱（硬連結），可能指向其他位置的檔案"));
}

bool RecordFolder::exists(const QString& name) const
{
    return GetFileAttributesW(wide(filePath(name))) != INVALID_FILE_ATTRIBUTES;
}

void RecordFolder::requireSameFolder() const
{
    const DWORD attributes = GetFileAttributesW(wide(ivPath));
    BY_HANDLE_FILE_INFORMATION opened, now;
    const Handle again(CreateFileW(wide(ivPath), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || !again.isOpen() ||
        !GetFileInformationByHandle(reinterpret_cast<HANDLE>(ivHandle), &opened) ||
        !GetFileInformationByHandle(again.get(), &now) || opened.dwVolumeSerialNumber != now.dwVolumeSerialNumber ||
        opened.nFileIndexHigh != now.nFileIndexHigh || opened.nFileIndexLow != now.nFileIndexLow)
        throw linkRefused(ivPath, QStringLiteral("在寫入時被換成了其他資料夾或捷徑（連結）"));
}

qint64 RecordFolder::size(const QString& name) const
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide(filePath(name)), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return -1;
    return (qint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

QByteArray RecordFolder::read(const QString& name) const
{
    const Handle file(CreateFileW(wide(filePath(name)), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.isOpen())
        fail(name, systemCause(GetLastError()));
    if (!isPlainFile(file.get()))
        throw linkRefused(filePath(name), QStringLiteral("不是一般的檔案"));
    QByteArray bytes;
    char buffer[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            fail(name, systemCause(GetLastError()));
        if (got == 0)
            break;
        bytes.append(buffer, qsizetype(got));
    }
    return bytes;
}

void RecordFolder::append(const QString& name, const QByteArray& prefix, const QByteArray& bytes)
{
    refuseLink(name);
    const QString path = filePath(name);
    Handle file(CreateFileW(wide(path), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.isOpen())
        fail(name, systemCause(GetLastError()));
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    if (!isPlainFile(file.get())) {
        file.close();
        throw linkRefused(path, QStringLiteral("不是一般的檔案，或另有其他名稱（硬連結）"));
    }
    LARGE_INTEGER before;
    const LARGE_INTEGER zero{};
    if (!GetFileSizeEx(file.get(), &before) || !SetFilePointerEx(file.get(), zero, nullptr, FILE_END))
        fail(name, systemCause(GetLastError()));
    const QByteArray written = before.QuadPart == 0 ? prefix + bytes : bytes;
    // Whole or not at all: a disk that fills part of the way gets the file cut back to where it was.
    if (writeAll(file.get(), written) && file.close())
        return;
    const DWORD error = GetLastError();
    if (file.isOpen()) {
        SetFilePointerEx(file.get(), before, nullptr, FILE_BEGIN);
        SetEndOfFile(file.get());
        file.close();
    }
    if (!existed)
        DeleteFileW(wide(path));
    fail(name, systemCause(error));
}

void RecordFolder::create(const QString& name, const QByteArray& bytes, bool toDisk)
{
    const QString path = filePath(name);
    Handle file(CreateFileW(wide(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.isOpen()) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            refuseLink(name);
        fail(name, systemCause(error));
    }
    if (writeAll(file.get(), bytes) && (!toDisk || FlushFileBuffers(file.get())) && file.close())
        return;
    const DWORD error = GetLastError();
    file.close();
    DeleteFileW(wide(path));
    fail(name, systemCause(error));
}

void RecordFolder::rename(const QString& from, const QString& to, bool toDisk)
{
    if (!MoveFileExW(wide(filePath(from)), wide(filePath(to)),
                     DWORD(MOVEFILE_REPLACE_EXISTING | (toDisk ? MOVEFILE_WRITE_THROUGH : 0))))
        fail(to, systemCause(GetLastError()));
}

void RecordFolder::remove(const QString& name)
{
    if (!DeleteFileW(wide(filePath(name)))) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            fail(name, systemCause(error));
    }
}

QStringList RecordFolder::files() const
{
    QStringList names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(wide(filePath(QStringLiteral("*"))), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0)
            names << QString::fromWCharArray(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

} // namespace korvane::platform
