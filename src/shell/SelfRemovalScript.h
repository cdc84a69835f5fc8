// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

namespace korvane {

// The text of "destroy.bat", the script that deletes the pack executable once the program has
// let go of it, and the full paths it names. Pure text, so that Windows folders can be checked
// anywhere: the separator is given.
class SelfRemovalScript
{
public:
    static inline const QString ScriptName = QStringLiteral("destroy.bat");

    SelfRemovalScript(QString packFolder, QChar separator);

    // Folder, separator and name joined; then, in one pass from the left, every pair of
    // separators becomes one, so that a drive root gives "E:\name" and not "E:\\name".
    QString getFullPath(const QString& p_strName) const;

    // False for a folder that begins with two separators (a network path): collapsing would
    // turn its leading pair into one and name a different file, so no script is written there.
    bool isSupportedFolder() const;

    // The fourteen lines of the script deleting p_strAppName from the pack folder.
    QStringList lines(const QString& p_strAppName) const;
    // The same lines, each ended by CR LF, in the ANSI code page.
    QByteArray bytes(const QString& p_strAppName) const;

private:
    QString ivPackFolder;
    QChar ivSeparator;
};

} // namespace korvane
