// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ReadOnlyFolder.h"

#include <QFile>
#include <cerrno>
#include <cstring>

#ifndef Q_OS_WIN
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace korvane::test {

ReadOnlyFolder::ReadOnlyFolder(const QString& folder) : ivFolder(folder), ivPermissions(QFile::permissions(folder))
{
#ifdef Q_OS_WIN
    ivWhyNot = QStringLiteral("not on Windows");
#else
    if (::geteuid() != 0) {
        if (!QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner))
            ivWhyNot = QStringLiteral("cannot change the permissions of ") + folder;
        return;
    }
    const QByteArray path = QFile::encodeName(folder);
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0) {
        ivWhyNot = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    ivMounted = true;
    if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
        ivWhyNot = QString::fromLocal8Bit(std::strerror(errno));
#endif
}

ReadOnlyFolder::~ReadOnlyFolder()
{
#ifndef Q_OS_WIN
    if (ivMounted)
        ::umount2(QFile::encodeName(ivFolder).constData(), MNT_DETACH);
    else
        QFile::setPermissions(ivFolder, ivPermissions);
#endif
}

} // namespace korvane::test
