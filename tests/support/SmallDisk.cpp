// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "SmallDisk.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

#ifndef Q_OS_WIN
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace korvane::test {

SmallDisk::SmallDisk(const QString& folder, qint64 bytes) : ivFolder(folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(bytes);
    ivWhyNot = QStringLiteral("not on Windows");
#else
    if (!QDir().mkpath(folder)) {
        ivWhyNot = QStringLiteral("cannot make ") + folder;
        return;
    }
    if (::geteuid() != 0) {
        ivWhyNot = QStringLiteral("mounting needs the superuser");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(bytes);
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) != 0) {
        ivWhyNot = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    ivMounted = true;
#endif
}

bool SmallDisk::makeReadOnly()
{
#ifdef Q_OS_WIN
    return false;
#else
    return ivMounted &&
           ::mount("tmpfs", QFile::encodeName(ivFolder).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
#endif
}

SmallDisk::~SmallDisk()
{
#ifndef Q_OS_WIN
    // Lazily: a process the test killed may still hold a file there for a moment.
    if (ivMounted)
        ::umount2(QFile::encodeName(ivFolder).constData(), MNT_DETACH);
#endif
}

} // namespace korvane::test
