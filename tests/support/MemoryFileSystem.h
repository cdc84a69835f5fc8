// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>
#include <QMap>
#include <QSet>
#include <QStringList>

namespace korvane::test {

// Files held in memory, for code that is given a file without touching the disk (the tests and
// the fuzz targets). A path that was never written cannot be read; writes can be made to fail.
// A path in links is a symbolic link: copies refuse it as a target, as on the disk.
class MemoryFileSystem : public platform::FileSystem
{
public:
    bool fileExists(const QString& path) const override { return files.contains(path); }
    bool folderExists(const QString& path) const override { return files.contains(path); }
    QByteArray readFile(const QString& path) const override;
    void writeFile(const QString& path, const QByteArray& bytes) override;
    bool isLink(const QString& path) const override { return links.contains(path); }
    void copyFile(const QString& source, const QString& target) override;
    void removeFile(const QString& path) override { files.remove(path); }
    void makeFolder(const QString&) override {}
    bool inUse(const QString&) const override { return false; }
    bool canWriteIn(const QString& folder) const override { return !unwritableFolders.contains(folder); }

    QMap<QString, QByteArray> files;
    QSet<QString> links;
    QSet<QString> unwritableFolders;
    QStringList writes; // every path written, in order
    bool failWrites = false;
};

} // namespace korvane::test
