// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "QtPrinters.h"

#include <QMap>
#include <QStringList>

namespace korvane::test {

// Korvane's files and programs in a test's installation and pack folders (the programs are shell
// scripts, not for Windows).

// Every file below folder with its content, and every folder as "/": what a run changed shows
// as the difference of two such pictures.
QMap<QString, QByteArray> tree(const QString& folder);

// Writes each named file below folder, folders made as needed, with prefix and the name as content.
void ship(const QString& folder, const QStringList& names, const QByteArray& prefix = {});

// "tools/KillIt.exe" of the installation: given exactly the argument Korvane, it ends process pid
// after a moment, as a real one takes (0: a tool that ends nothing).
void writeKillTool(const QString& installationFolder, qint64 pid);

// An application at path that, started, writes its process id to "started" in its folder, adds a
// line to "starts" there, and runs until that folder is removed (with the test's temporary folder),
// two minutes at the most.
void writeApplication(const QString& path);

// Whether an application started from folder within the time and still runs.
bool applicationRunsWithin(const QString& folder, int milliseconds);
// How many times an application was started from folder.
int applicationStarts(const QString& folder);

} // namespace korvane::test
