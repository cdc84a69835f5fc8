// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

namespace korvane::platform {

// Lets pending window events run (repaints, clicks) while a long operation works on the
// user-interface thread.
class EventPump
{
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
};

} // namespace korvane::platform
