// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeSettingsStore.h"

#include <QSettings>

namespace korvane::platform {

namespace {

QString registryKey(const QString& application, const QString& section)
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + application + u'\\' +
           section;
}

} // namespace

QString NativeSettingsStore::read(const QString& application, const QString& section,
                                  const QString& key) const
{
    const QSettings settings(registryKey(application, section), QSettings::NativeFormat);
    return settings.value(key).toString();
}

QString NativeSettingsStore::location(const QString& application, const QString& section, const QString& key) const
{
    return QStringLiteral("登錄機碼 ") + registryKey(application, section) + QStringLiteral(" 中的 ") + key;
}

} // namespace korvane::platform
