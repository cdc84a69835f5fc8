// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "EventPump.h"

#include <QElapsedTimer>

namespace korvane::platform {

// Runs pending events at most once every 10 ms. Actions call it once per record, tens of
// thousands of times a run; repaints and clicks need no more than the display's rate, and
// every real pass costs far more than the record itself. The first call always runs.
class NativeEventPump : public EventPump
{
public:
    static constexpr qint64 intervalMs = 10;

    NativeEventPump() { m_clock.start(); }

    void processEvents() override;
    // Waits in an event loop of its own, so the pause costs no processor time.
    void processEventsFor(int milliseconds) override;

protected:
    // Milliseconds on a steady clock; a test gives its own.
    virtual qint64 nowMs() const { return m_clock.elapsed(); }

private:
    QElapsedTimer m_clock;
    qint64 m_lastPassMs = -1; // none yet
};

} // namespace korvane::platform
