// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ConsoleDialogs.h"

#include <io.h>

namespace korvane::platform {

bool ConsoleDialogs::isTerminal(std::FILE* stream)
{
    return _isatty(_fileno(stream)) != 0;
}

} // namespace korvane::platform
