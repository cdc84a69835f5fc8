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
};

// Copies the ordinary file at localSource to localTemporary (created new; a file left there
// before is removed first), with the source's permissions, flushes it to disk and renames it over
// localTarget in one step, which also creates localTarget where there was none. Whatever fails,
// the temporary is removed and localTarget is as it was.
Replacement replaceWithCopy(const QString& localSource, const QString& localTemporary,
                            const QString& localTarget);

// A symbolic link at localPath itself, dangling or not; on Windows any reparse point.
bool isLinkEntry(const QString& localPath);

} // namespace korvane::platform
