// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "MemoryFileSystem.h"

#include "platform/Error.h"

namespace korvane::fuzz {

using platform::Error;

bool MemoryFileSystem::fileExists(const QString& path) const
{
    return m_files.contains(path);
}

bool MemoryFileSystem::folderExists(const QString& path) const
{
    return m_files.contains(path);
}

QByteArray MemoryFileSystem::readFile(const QString& path) const
{
    const auto file = m_files.constFind(path);
    if (file == m_files.constEnd())
        throw Error(QStringLiteral("找不到檔案：") + path, Error::Kind::FileNotFound);
    return *file;
}

void MemoryFileSystem::writeFile(const QString& path, const QByteArray& bytes)
{
    m_files.insert(path, bytes);
}

void MemoryFileSystem::copyFile(const QString& source, const QString& target)
{
    m_files.insert(target, readFile(source));
}

void MemoryFileSystem::removeFile(const QString& path)
{
    m_files.remove(path);
}

void MemoryFileSystem::makeFolder(const QString&) {}

} // namespace korvane::fuzz
