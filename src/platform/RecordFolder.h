// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace korvane::platform {

// A folder that a program writes its own records into, never reaching anything else through it:
// the folder itself must not be a link or junction, and no file is written through a link, a
// junction or a second name (a hard link) that someone has put in its place. Such an entry is
// refused with Error::Kind::LinkRefused, naming it; so is the folder. Names are bare file names
// in the folder. Failures throw platform::Error naming the file and the cause.
class RecordFolder
{
public:
    // Opens the folder, made (one level) when it is missing.
    explicit RecordFolder(const QString& folder);
    ~RecordFolder();
    RecordFolder(const RecordFolder&) = delete;
    RecordFolder& operator=(const RecordFolder&) = delete;

    const QString& path() const { return ivPath; }
    QString filePath(const QString& name) const;

    // Throws LinkRefused when name is anything but a plain file of one name; nothing there is fine.
    void refuseLink(const QString& name) const;
    // Whether anything is there under the name, a link included.
    bool exists(const QString& name) const;
    // Throws LinkRefused when the folder's path no longer leads to the folder opened (it was
    // replaced by a link, say, since).
    void requireSameFolder() const;

    // The length of the plain file; -1 when there is none.
    qint64 size(const QString& name) const;
    QByteArray read(const QString& name) const;
    // Appends bytes to the file, made when missing, with prefix first when it is new or empty.
    // Whatever fails, the file is left byte for byte as it was (or not there, when it was not).
    void append(const QString& name, const QByteArray& prefix, const QByteArray& bytes);
    // Writes a file that is not there yet; on failure nothing of it is left. toDisk: flushed to
    // the disk before it returns, for a file a later step relies on being there after a crash.
    void create(const QString& name, const QByteArray& bytes, bool toDisk = false);
    // Renames within the folder, replacing what is under the new name (never writing through it);
    // toDisk: the folder's new entry is on the disk before it returns.
    void rename(const QString& from, const QString& to, bool toDisk = false);
    // Removes the entry (a link itself, never what it leads to); nothing there is fine.
    void remove(const QString& name);
    // The names of the plain files.
    QStringList files() const;

private:
    [[noreturn]] void fail(const QString& name, const QString& cause) const;

    QString ivPath;
    qintptr ivHandle = -1; // the open folder, where the system can write through one
};

} // namespace korvane::platform
