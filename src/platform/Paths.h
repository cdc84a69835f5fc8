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

// The one spelling of the file or folder a path names, for telling whether two paths name the
// same thing: absolute, native separators, no trailing separator except at a root, "." and ".."
// resolved and symbolic links followed. Elsewhere than on Windows each component is found
// without regard to case as localPath() finds it; on Windows the file system gives the case of
// each name and the long form of 8.3 names. Of a path that does not exist, its longest existing
// folder is resolved and the rest appended as given. Empty for empty text.
QString canonicalPath(const QString& path);

// Whether two paths name the same file or folder, however they are spelled: a trailing
// separator, another case, "..", a link or (where the system can tell) a hard link. Paths that
// do not exist are the same when their canonical forms are equal ignoring case, as a file
// created under one name would then be found by the other. Empty text names nothing.
bool samePath(const QString& a, const QString& b);

// Whether path is folder itself or lies anywhere below it, judged as samePath() judges (so
// "C:\KorvaneX" does not lie in "C:\Korvane"). Empty text lies in nothing and holds nothing.
bool isInside(const QString& path, const QString& folder);

} // namespace korvane::platform
