// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace korvane::test {

TempFolder::TempFolder()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempFolder::write(const QString& relative, const QByteArray& bytes) const
{
    const QString file = path(relative);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
    return file;
}

QString TempFolder::makeFolder(const QString& relative) const
{
    const QString folder = path(relative);
    if (!QDir().mkpath(folder))
        throw std::runtime_error("cannot create a test folder");
    return folder;
}

QByteArray TempFolder::read(const QString& relative) const
{
    QFile in(path(relative));
    if (!in.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read a test file");
    return in.readAll();
}

bool TempFolder::exists(const QString& relative) const
{
    return QFileInfo::exists(path(relative));
}

} // namespace korvane::test
