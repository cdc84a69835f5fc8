// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "SettingsStore.h"

namespace korvane::platform {

// The per-user settings that the installed application writes: on Windows the registry key
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>; elsewhere the
// file <config>/<application>/<application>.ini (config is $XDG_CONFIG_HOME or ~/.config),
// group [<section>]. Every read goes to the store again, since another program may change it.
class NativeSettingsStore : public SettingsStore
{
public:
    QString read(const QString& application, const QString& section, const QString& key) const override;
    QString location(const QString& application, const QString& section, const QString& key) const override;
};

} // namespace korvane::platform
