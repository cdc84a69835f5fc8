// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeProcesses.h"

#include <QCoreApplication>

namespace korvane::platform {

void NativeProcesses::endProcess()
{
    // The self-removal script waits for this executable to let go of its file; the program's
    // main function decides the exit status.
    QCoreApplication::exit(0);
}

} // namespace korvane::platform
