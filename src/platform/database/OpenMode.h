// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

namespace korvane::platform {

// How a connection is to open its database, from the mode its caller set before it opened.
struct OpenMode
{
    bool readOnly = false;  // nothing is written: a preview
    bool exclusive = false; // no other program may have the database open meanwhile
};

} // namespace korvane::platform
