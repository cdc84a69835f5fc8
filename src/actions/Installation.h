// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>

namespace korvane {
namespace platform {
class Dialogs;
class SettingsStore;
} // namespace platform

// Korvane's installation folder as the settings store holds it, read afresh on every call; empty
// text where it is not set.
QString installationFolder(const platform::SettingsStore& settings);

// Tells the user, in a critical message box, that Korvane's installation could not be found and
// that nothing was changed. For the actions that stop before anything when the folder is unset,
// rather than work on the root of the current drive.
void reportNoInstallation(platform::Dialogs& dialogs);

} // namespace korvane
