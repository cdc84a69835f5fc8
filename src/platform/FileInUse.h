// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>

namespace korvane::platform {

// Whether a running program uses the ordinary file at localPath: it runs from it, or one of its
// descriptors holds it open. The file is known by its identity, so any name of it (a hard link,
// a link to it, another case) gives the same answer. On Windows the system itself refuses to
// delete or overwrite such a file, so there is nothing to ask and the answer is false; elsewhere
// deleting or overwriting it succeeds and the running program goes on with a vanished or
// changed file, so the file system asks here first and fails as Windows would.
//
// This process counts too. Windows will not let a program delete its own running executable,
// nor a file it holds open itself; the files we hold are the databases of our own open
// connections, and deleting or replacing one of those under the connection loses what it still
// writes. Processes whose details this user may not read are passed over.
bool fileInUse(const QString& localPath);

// The same question asked ahead, before anything is changed: whether deleting or overwriting the
// ordinary file at localPath would fail now because a program uses it. Windows is asked by
// opening the file for exclusive use and letting go of it at once; elsewhere this is fileInUse.
bool fileInUseAhead(const QString& localPath);

} // namespace korvane::platform
