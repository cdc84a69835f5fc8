// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QString>

namespace korvane::platform {

// A text log that programs running at the same time append whole blocks to: UTF-8 with a
// byte-order mark and CR LF, so that Notepad shows it. A lock file beside it keeps two writers'
// blocks apart, and a write that fails leaves the log as it was, never a piece of a block. When
// a block would take the log past its limit, the older half of its blocks moves to the old log
// (which it replaces), so that the two together stay under twice the limit.
class LogFile
{
public:
    static constexpr qint64 DefaultLimit = 5 * 1024 * 1024;

    // blockStart begins every block's first line; the older half is cut only there.
    LogFile(QString folder, QString name, QString oldName, QString blockStart, qint64 limit = DefaultLimit);

    QString path() const;
    QString oldPath() const;

    // Makes the folder when it is missing and appends the block (lines ending in CR LF). Throws
    // platform::Error naming the file and the cause when it cannot.
    void append(const QString& block);

    // Writes a file beside the log, named "<stem> <name>" ("<stem>-2 <name>" and so on when that
    // is taken), and returns its path. Written under a temporary name and renamed, so that it is
    // whole or not there; not forced to disk, as the log is not. Throws platform::Error.
    QString writeBeside(const QString& stem, const QString& name, const QByteArray& bytes) const;

    // The text of a log file without its byte-order mark; empty when there is none.
    static QString read(const QString& path);

private:
    void rotate(const QByteArray& block);

    QString ivFolder;
    QString ivName;
    QString ivOldName;
    QByteArray ivBlockStart;
    qint64 ivLimit;
};

} // namespace korvane::platform
