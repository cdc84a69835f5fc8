// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "FileIdentity.h"

#include <QFile>
#include <sys/stat.h>

namespace korvane::platform {

std::optional<FileIdentity> fileIdentity(const QString& localPath)
{
    struct stat status;
    if (localPath.isEmpty() || ::stat(QFile::encodeName(localPath).constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino)};
}

} // namespace korvane::platform
