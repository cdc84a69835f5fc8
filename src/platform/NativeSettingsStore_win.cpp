// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeSettingsStore.h"

#include <QSettings>

namespace korvane::platform {

QString NativeSettingsStore::read(const QString& application, const QString& section,
                                  const QString& key) const
{
    const QSettings settings(QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
                                 application + u'\\' + section,
                             QSettings::NativeFormat);
    return settings.value(key).toString();
}

} // namespace korvane::platform
