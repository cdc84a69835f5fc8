// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "FileSystem.h"

namespace korvane::platform {

// The machine's files. Every path goes through localPath(), so names are found without regard
// to case on every system. Messages name the path as the caller gave it.
class NativeFileSystem : public FileSystem
{
public:
    bool fileExists(const QString& path) const override;
    bool folderExists(const QString& path) const override;
    bool isLink(const QString& path) const override;

    QByteArray readFile(const QString& path) const override;
    // Read piece by piece: databases run to hundreds of megabytes.
    FileFacts facts(const QString& path) const override;
    // Compared piece by piece, the sizes first: databases run to hundreds of megabytes.
    bool sameContent(const QString& a, const QString& b) const override;
    void writeFile(const QString& path, const QByteArray& bytes) override;
    void copyFile(const QString& source, const QString& target) override;
    void removeFile(const QString& path) override;
    void makeFolder(const QString& path) override;
    bool inUse(const QString& path) const override;
    bool canWriteIn(const QString& folder) const override;

private:
    // The file and folder tests answer as a directory listing with the plain attribute filter
    // does: hidden entries (the hidden attribute on Windows, a leading dot elsewhere) and Windows
    // system files are not seen.
    static bool isSystemFile(const QString& local);
    // Creates the file new, never through a link, and removes it; whether both succeeded.
    static bool createAndRemove(const QString& local);
};

} // namespace korvane::platform
