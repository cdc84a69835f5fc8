// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ConsoleDialogs.h"

#include <unistd.h>

namespace korvane::platform {

bool ConsoleDialogs::isTerminal(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) != 0;
}

} // namespace korvane::platform
