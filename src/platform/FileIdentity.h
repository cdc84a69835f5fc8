// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace korvane::platform {

// Which file or folder the system holds under a name: the same for every name of it (hard
// links, links, other spellings), different for any two that exist side by side.
struct FileIdentity
{
    quint64 device = 0;
    quint64 file = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the existing file or folder at localPath, links followed; none when nothing is
// there or the system cannot tell (a file system that numbers no files).
std::optional<FileIdentity> fileIdentity(const QString& localPath);

} // namespace korvane::platform
