// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "QtPrinters.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>

namespace korvane::test {

// Every file below folder with its content, and every folder as "/": what a run changed shows
// as the difference of two such pictures.
inline QMap<QString, QByteArray> tree(const QString& folder)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        const QString name = QDir(folder).relativeFilePath(file.fileName());
        entries.insert(name,
                       it.fileInfo().isDir() ? "/" : (file.open(QIODevice::ReadOnly) ? file.readAll() : "?"));
    }
    return entries;
}

} // namespace korvane::test
