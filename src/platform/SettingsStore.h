// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>

namespace korvane::platform {

// The per-user application settings store (read only). A missing value reads as empty text.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString& application, const QString& section, const QString& key) const = 0;
};

} // namespace korvane::platform
