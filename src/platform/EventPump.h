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
    // Runs events as they arrive for this long, then returns: a pause that keeps the window
    // alive. It keeps its own time, apart from the time of day, so no clock change or midnight
    // can stretch or cut it.
    virtual void processEventsFor(int milliseconds) = 0;
};

} // namespace korvane::platform
