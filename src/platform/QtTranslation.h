// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

namespace korvane::platform {

// Makes Qt's own texts (the option parser's errors, dialog buttons, the database drivers'
// messages) Traditional Chinese, whatever language the machine is set to and whether or not
// the machine has Qt's translations installed: the translation is built into the program.
// Call once the application object exists; false when the translation could not be loaded.
bool loadQtTranslation();

} // namespace korvane::platform
