// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QChar>
#include <QString>

namespace korvane::platform {

QChar nativeSeparator();

// Folder + a relative name that begins with a backslash ("\\all.puf"), by plain concatenation,
// with the backslashes of the relative name turned into the native separator.
QString joinPath(const QString& folder, const QString& relative);

// The folder of the running executable, native separators, no trailing separator except at a root.
QString applicationFolder();

} // namespace korvane::platform
