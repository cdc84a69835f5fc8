// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QString>

namespace korvane::platform {

// Files and folders. Paths may use either separator; names are matched without regard to
// case, as the installed application expects. Failures throw platform::Error.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // An ordinary file: folders, hidden and system files count as absent.
    virtual bool fileExists(const QString& path) const = 0;
    // An ordinary file or a folder.
    virtual bool folderExists(const QString& path) const = 0;

    virtual QByteArray readFile(const QString& path) const = 0;
    // Creates the file new, replacing any file of that name.
    virtual void writeFile(const QString& path, const QByteArray& bytes) = 0;
    virtual void copyFile(const QString& source, const QString& target) = 0; // overwrites
    virtual void removeFile(const QString& path) = 0;
    virtual void makeFolder(const QString& path) = 0; // one level

    // Whether a running program uses the file, so that removing or overwriting it would fail
    // now. Asks without changing anything; false for a file that is not there.
    virtual bool inUse(const QString& path) const = 0;
};

} // namespace korvane::platform
