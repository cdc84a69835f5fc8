// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QLockFile;

namespace korvane::platform {

class RecordFolder;

// A text log that programs running at the same time append whole blocks to: UTF-8 with a
// byte-order mark and CR LF, so that Notepad shows it. A lock file beside it keeps two writers
// apart, and a write that fails leaves the log byte for byte as it was, never a piece of a block.
// When a block would take the log past its limit, the older half of its blocks moves to the old
// log (which it replaces), all or nothing, so that the two together stay under twice the limit.
// Nothing is written through a link, a junction or a second name put in place of the folder or
// of any of its files (the log, the old log, the lock, a file beside it): the write is refused
// with Error::Kind::LinkRefused, naming it.
class LogFile
{
public:
    static constexpr qint64 DefaultLimit = 5 * 1024 * 1024;

    // blockStart begins every block's first line; the older half is cut only there.
    LogFile(QString folder, QString name, QString oldName, QString blockStart, qint64 limit = DefaultLimit);

    QString path() const;
    QString oldPath() const;

    // The log taken for writing: the folder made when it is missing, checked, and the lock held
    // until the writer goes. Throws platform::Error naming the file and the cause.
    class Writer
    {
    public:
        Writer(Writer&&) noexcept;
        ~Writer();

        // Writes a file beside the log named "<stem> <name>" ("<stem>-2 <name>" and so on when
        // that is taken), chosen under the lock, and returns its path. Written under a temporary
        // name and renamed, so that it is whole or not there; forced to disk only when toDisk
        // (the log is not). Of the files of that name, only the newest keep stay (0: all). Throws.
        QString writeBeside(const QString& stem, const QString& name, const QByteArray& bytes, int keep = 0,
                            bool toDisk = false);
        // Of the files of that name written beside the log, those older than the newest of kept
        // (file names) go, unless they are among kept; newer ones stay. Nothing fails.
        void keepOnly(const QString& name, const QStringList& kept);
        // The plain files beside the log, and one of them removed (a link itself, never what it
        // leads to; nothing there is fine). Throws.
        QStringList filesBeside() const;
        void removeBeside(const QString& fileName);
        // The log's text, with the old log's before it, as read().
        QString text() const;
        // Appends the block (lines ending in CR LF). Throws.
        void append(const QString& block);

    private:
        friend class LogFile;
        Writer(const LogFile& log, std::unique_ptr<RecordFolder> folder, std::unique_ptr<QLockFile> lock);
        void rotate(const QByteArray& block);
        void keepNewest(const QString& name, int keep);

        const LogFile& ivLog;
        std::unique_ptr<RecordFolder> ivFolder;
        std::unique_ptr<QLockFile> ivLock;
    };
    Writer open() const;

    // open().append(block).
    void append(const QString& block) const;

    // The text of a log file without its byte-order mark; empty when there is none, or when a
    // link stands in its place.
    static QString read(const QString& path);
    // The bytes of a file beside the log (a name writeBeside returned); throws platform::Error
    // naming it when it is missing or cannot be read, and LinkRefused when a link stands there.
    QByteArray readBeside(const QString& fileName) const;

private:
    QString ivFolder;
    QString ivName;
    QString ivOldName;
    QByteArray ivBlockStart;
    qint64 ivLimit;
};

} // namespace korvane::platform
