// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QStringView>

namespace korvane::platform {

namespace {

// The first entry of folder whose name equals name ignoring case; empty when there is none.
QString entryIgnoringCase(const QString& folder, QStringView name)
{
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (name.compare(entry, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

} // namespace

QString localPath(const QString& path)
{
    QString unixPath = path;
    unixPath.replace(u'\\', u'/');
    // The common case: the name is already spelled as on disk.
    if (unixPath.isEmpty() || QFileInfo::exists(unixPath))
        return unixPath;

    const QList<QStringView> parts = QStringView(unixPath).split(u'/');
    QString resolved;
    resolved.reserve(unixPath.size());
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QStringView part = parts.at(i);
        if (i > 0)
            resolved += u'/';
        if (part.isEmpty() || part == u"." || part == u"..") {
            resolved += part;
            continue;
        }
        const QString exact = resolved + part.toString();
        if (QFileInfo::exists(exact)) {
            resolved = exact;
            continue;
        }
        const QString match = entryIgnoringCase(resolved.isEmpty() ? QStringLiteral(".") : resolved, part);
        if (match.isEmpty()) {
            resolved += QStringView(unixPath).mid(part.data() - unixPath.constData());
            return resolved;
        }
        resolved += match;
    }
    return resolved;
}

QString canonicalPath(const QString& path)
{
    if (path.isEmpty())
        return {};
    // localPath() has found each existing component ignoring case, so from here on the text is
    // what the system's own calls resolve: ".." after a link leads where the kernel leads.
    QString existing = localPath(path);
    if (QDir::isRelativePath(existing))
        existing = QDir::currentPath() + u'/' + existing;
    QString rest;
    for (;;) {
        const QString resolved = QFileInfo(existing).canonicalFilePath();
        if (!resolved.isEmpty())
            return QDir::cleanPath(resolved + rest);
        const qsizetype cut = existing.lastIndexOf(u'/');
        rest.prepend(existing.mid(cut));
        existing.truncate(cut);
        if (existing.isEmpty())
            existing = QStringLiteral("/");
    }
}

} // namespace korvane::platform
