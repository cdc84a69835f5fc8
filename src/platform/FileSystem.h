// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDateTime>
#include <QString>

namespace korvane::platform {

// What IT staff compare of a file: its size, when it was last written (invalid where the file
// system keeps no such time) and its SHA-256 in hexadecimal digits.
struct FileFacts
{
    qint64 size = -1;
    QDateTime modified;
    QString sha256;
};

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
    // A symbolic link (on Windows any reparse point, a junction too) at exactly this path,
    // whether or not what it leads to exists. A link in a folder above the path does not count.
    virtual bool isLink(const QString& path) const = 0;

    virtual QByteArray readFile(const QString& path) const = 0;
    // The size, time and digest of an existing file. Throws when it cannot be read.
    virtual FileFacts facts(const QString& path) const
    {
        const QByteArray bytes = readFile(path);
        return {bytes.size(), {}, QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex())};
    }
    // Whether two existing files hold the same bytes. Throws when either cannot be read.
    virtual bool sameContent(const QString& a, const QString& b) const { return readFile(a) == readFile(b); }
    // Creates the file new, replacing any file of that name.
    virtual void writeFile(const QString& path, const QByteArray& bytes) = 0;
    // Replaces target, or creates it, with the content of source in one step: the copy is made
    // under replacementTemporary(target), flushed to disk and only then renamed over target, so
    // target is at every moment either wholly the old file or wholly the new one, even when the
    // disk fills or the process is killed. It takes the source's permissions (a copied program
    // stays executable). A source that is a link is read through; a target that is a link is
    // refused with Error::Kind::LinkRefused and nothing is touched. On failure the temporary is
    // removed and target is as it was.
    virtual void copyFile(const QString& source, const QString& target) = 0;
    virtual void removeFile(const QString& path) = 0;
    virtual void makeFolder(const QString& path) = 0; // one level

    // Whether a running program uses the file, so that removing or overwriting it would fail
    // now. Asks without changing anything; false for a file that is not there.
    virtual bool inUse(const QString& path) const = 0;
    // Whether this user may create and remove files in the folder, found by creating a file of
    // a name of its own there and removing it again. False for a folder that is not there.
    virtual bool canWriteIn(const QString& folder) const = 0;
};

// The name copyFile writes a new copy of target under before renaming it over target: in the
// same folder, so the rename never crosses file systems, and always the same for one target, so
// a copy left behind by a killed run is recognised and removed by the next copy of that target.
inline QString replacementTemporary(const QString& target)
{
    return target + QStringLiteral(".korvane-new");
}

} // namespace korvane::platform
