// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeFileSystem.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

namespace korvane::platform {

// Only Windows marks files as the system's.
bool NativeFileSystem::isSystemFile(const QString&)
{
    return false;
}

bool NativeFileSystem::createAndRemove(const QString& local)
{
    const QByteArray name = QFile::encodeName(local);
    const int descriptor = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return false;
    ::close(descriptor);
    return ::unlink(name.constData()) == 0;
}

} // namespace korvane::platform
