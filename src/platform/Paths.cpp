// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Paths.h"

#include "FileIdentity.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace korvane::platform {

namespace {

// Two canonical paths name one thing: by identity when both exist, otherwise by their text.
bool sameCanonical(const QString& a, const std::optional<FileIdentity>& aIdentity, const QString& b,
                   const std::optional<FileIdentity>& bIdentity)
{
    if (aIdentity && bIdentity)
        return *aIdentity == *bIdentity;
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The folder a canonical path lies in; the path itself at a root.
QString parentOf(const QString& canonical)
{
    return QDir::toNativeSeparators(QFileInfo(QDir::fromNativeSeparators(canonical)).path());
}

} // namespace

QChar nativeSeparator()
{
    return QDir::separator();
}

QString joinPath(const QString& folder, const QString& relative)
{
    QString tail = relative;
    tail.replace(u'\\', nativeSeparator());
    return folder + tail;
}

QString applicationFolder()
{
    QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    if (folder.endsWith(nativeSeparator()) && !QDir(folder).isRoot())
        folder.chop(1);
    return folder;
}

bool samePath(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString canonicalA = canonicalPath(a);
    const QString canonicalB = canonicalPath(b);
    return sameCanonical(canonicalA, fileIdentity(canonicalA), canonicalB, fileIdentity(canonicalB));
}

bool isInside(const QString& path, const QString& folder)
{
    if (path.isEmpty() || folder.isEmpty())
        return false;
    const QString canonicalFolder = canonicalPath(folder);
    const std::optional<FileIdentity> folderIdentity = fileIdentity(canonicalFolder);
    // Up from the path itself, so that a folder reached by another name still counts.
    for (QString above = canonicalPath(path);; above = parentOf(above)) {
        if (sameCanonical(above, fileIdentity(above), canonicalFolder, folderIdentity))
            return true;
        if (parentOf(above) == above)
            return false;
    }
}

} // namespace korvane::platform
