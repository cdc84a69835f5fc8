// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>

namespace korvane::platform {

// How replacing a file with a copy ended; NativeFileSystem words the error for the user.
enum class Replacement {
    Done,
    SourceUnreadable, // the source could not be opened or read to its end
    DiskFull,         // the copy did not fit (or the user's quota is used up)
    Refused,          // the temporary could not be created, or the target would not be replaced
    WriteFailed,      // any other failure of writing or flushing the copy
    OldFileMoved,     // Windows only: the target is missing, the old file is at movedOldFile()
};

// Where replacing an existing file on Windows puts the old one for a moment.
inline QString movedOldFile(const QString& localTarget)
{
    return localTarget + QStringLiteral(".korvane-old");
}

// Copies the ordinary file at localSource to localTemporary (created new; a file left there
// before is removed first), with the source's permissions, flushes it to disk and renames it over
// localTarget in one step, which also creates localTarget where there was none. Whatever fails,
// the temporary is removed and localTarget is as it was. On Windows a target held by another
// program (or the copy, held by a virus scanner) is waited for up to 10 seconds; a read-only
// target is replaced and stays read-only.
Replacement replaceWithCopy(const QString& localSource, const QString& localTemporary,
                            const QString& localTarget);

// A symbolic link at localPath itself, dangling or not; on Windows any reparse point.
bool isLinkEntry(const QString& localPath);

} // namespace korvane::platform
