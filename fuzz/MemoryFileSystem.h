// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "platform/FileSystem.h"

#include <QMap>

namespace korvane::fuzz {

// Files held in memory, so that a fuzz input reaches the code as a file without touching the disk.
class MemoryFileSystem : public platform::FileSystem
{
public:
    bool fileExists(const QString& path) const override;
    bool folderExists(const QString& path) const override;
    QByteArray readFile(const QString& path) const override;
    void writeFile(const QString& path, const QByteArray& bytes) override;
    void copyFile(const QString& source, const QString& target) override;
    void removeFile(const QString& path) override;
    void makeFolder(const QString& path) override;

private:
    QMap<QString, QByteArray> m_files;
};

} // namespace korvane::fuzz
