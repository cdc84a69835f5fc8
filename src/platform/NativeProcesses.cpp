// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeProcesses.h"

#include <cstdio>
#include <cstdlib>

namespace korvane::platform {

void NativeProcesses::endProcess()
{
    // The self-removal script is waiting for this executable to let go of its file.
    endProcessNow(0);
}

void endProcessNow(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

} // namespace korvane::platform
