// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "RecordFolder.h"

#include "Error.h"

#include <QDir>

namespace korvane::platform {

QString RecordFolder::filePath(const QString& name) const
{
    return QDir::toNativeSeparators(QDir(ivPath).filePath(name));
}

void RecordFolder::fail(const QString& name, const QString& cause) const
{
    throw Error(QStringLiteral("無法寫入 ") + (name.isEmpty() ? QDir::toNativeSeparators(ivPath) : filePath(name)) +
                QStringLiteral("：") + cause);
}

} // namespace korvane::platform
