// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeProcesses.h"

#include <cstdio>
#include <cstdlib>

namespace korvane::platform {

void NativeProcesses::endProcess()
{
    // No event loop, destructor or exit handler may run any more: the self-removal script is
    // waiting for this executable to let go of its file.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(0);
}

} // namespace korvane::platform
