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
    // Where that value is kept, as a user would look for it (a file and its section, a registry
    // key), for messages that ask the user to set it.
    virtual QString location(const QString& application, const QString& section, const QString& key) const = 0;
};

} // namespace korvane::platform
