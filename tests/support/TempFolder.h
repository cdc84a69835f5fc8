// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace korvane::test {

// A real folder for one test, removed with everything in it afterwards. Relative names use '/'.
class TempFolder
{
public:
    TempFolder();

    QString path() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.filePath(relative); }

    // Creates the file and any missing folders above it.
    QString write(const QString& relative, const QByteArray& bytes = {}) const;
    QString makeFolder(const QString& relative) const;
    QByteArray read(const QString& relative) const;
    bool exists(const QString& relative) const;

private:
    QTemporaryDir m_dir;
};

} // namespace korvane::test
