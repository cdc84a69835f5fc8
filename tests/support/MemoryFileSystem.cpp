// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "MemoryFileSystem.h"

#include "platform/Error.h"

namespace korvane::test {

QByteArray MemoryFileSystem::readFile(const QString& path) const
{
    const auto file = files.constFind(path);
    if (file == files.constEnd())
        throw platform::Error(QStringLiteral("找不到檔案：") + path, platform::Error::Kind::FileNotFound);
    return *file;
}

void MemoryFileSystem::writeFile(const QString& path, const QByteArray& bytes)
{
    writes << path;
    if (failWrites)
        throw platform::Error(QStringLiteral("拒絕存取：") + path, platform::Error::Kind::AccessDenied);
    files.insert(path, bytes);
}

void MemoryFileSystem::copyFile(const QString& source, const QString& target)
{
    const QByteArray bytes = readFile(source);
    if (links.contains(target))
        throw platform::Error(QStringLiteral("目標是捷徑（符號連結），為了安全不會覆寫：") + target,
                              platform::Error::Kind::LinkRefused);
    files.insert(target, bytes);
}

} // namespace korvane::test
