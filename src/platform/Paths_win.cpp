// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Paths.h"

#include <QDir>
#include <QStringList>
#include <qt_windows.h>
#include <vector>

namespace korvane::platform {

namespace {

const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

// Absolute, backslashes only, "." and ".." resolved by their text as Windows itself does.
QString fullPath(const QString& path)
{
    const QString native = QDir::toNativeSeparators(path);
    DWORD size = GetFullPathNameW(wide(native), 0, nullptr, nullptr);
    if (size == 0)
        return native;
    std::vector<wchar_t> buffer(size);
    size = GetFullPathNameW(wide(native), size, buffer.data(), nullptr);
    if (size == 0 || size >= buffer.size())
        return native;
    return QString::fromWCharArray(buffer.data(), static_cast<qsizetype>(size));
}

// The path of an existing file or folder as the file system holds it: links and junctions
// followed, each name in its own case and long form. Empty when there is nothing to open.
QString finalPath(const QString& full)
{
    const HANDLE handle = CreateFileW(wide(full), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    QString result;
    const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    const DWORD size = GetFinalPathNameByHandleW(handle, nullptr, 0, flags);
    if (size > 0) {
        std::vector<wchar_t> buffer(size);
        const DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), size, flags);
        if (length > 0 && length < size)
            result = QString::fromWCharArray(buffer.data(), static_cast<qsizetype>(length));
    }
    CloseHandle(handle);
    if (result.isEmpty()) {
        // A file system that cannot name an open file: at least the long names, in their case.
        std::vector<wchar_t> buffer(32768);
        const DWORD length = GetLongPathNameW(wide(full), buffer.data(), static_cast<DWORD>(buffer.size()));
        return length > 0 && length < buffer.size()
                   ? QString::fromWCharArray(buffer.data(), static_cast<qsizetype>(length))
                   : full;
    }
    if (result.startsWith(QStringLiteral("\\\\?\\UNC\\")))
        return QStringLiteral("\\\\") + result.mid(8);
    if (result.startsWith(QStringLiteral("\\\\?\\")))
        return result.mid(4);
    return result;
}

QString withoutTrailingSeparator(QString path)
{
    while (path.endsWith(u'\\') && !QDir(path).isRoot())
        path.chop(1);
    return path;
}

QString appendName(const QString& folder, const QString& name)
{
    return folder.endsWith(u'\\') ? folder + name : folder + u'\\' + name;
}

} // namespace

QString localPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString canonicalPath(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QString full = withoutTrailingSeparator(fullPath(path));
    QString existing = full;
    QStringList rest;
    for (;;) {
        const QString resolved = finalPath(existing);
        if (!resolved.isEmpty()) {
            QString canonical = withoutTrailingSeparator(resolved);
            for (const QString& name : rest)
                canonical = appendName(canonical, name);
            return canonical;
        }
        const qsizetype cut = existing.lastIndexOf(u'\\');
        const QString name = cut < 0 ? QString() : existing.mid(cut + 1);
        // Not even the drive or share is there.
        if (name.isEmpty())
            return full;
        rest.prepend(name);
        existing.truncate(cut);
        if (existing.endsWith(u':'))
            existing += u'\\';
    }
}

} // namespace korvane::platform
