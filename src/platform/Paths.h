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

// The path as this system's file calls need it. On Windows it is the path itself. Elsewhere
// backslashes become '/' and each component is looked up without regard to case, because the
// installed application relies on Windows names ("\Tools" and "\tools" are one folder): the
// exact name first, otherwise the first entry equal to it ignoring case. From the first
// component that cannot be found on, the rest of the path is kept as given.
QString localPath(const QString& path);

} // namespace korvane::platform
