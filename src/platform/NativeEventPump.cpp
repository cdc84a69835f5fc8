// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeEventPump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace korvane::platform {

void NativeEventPump::processEvents()
{
    if (m_lastPassMs >= 0 && nowMs() - m_lastPassMs < intervalMs)
        return;
    QCoreApplication::processEvents();
    m_lastPassMs = nowMs();
}

void NativeEventPump::processEventsFor(int milliseconds)
{
    // Qt's timers run on the monotonic clock.
    QEventLoop loop;
    QTimer::singleShot(std::max(milliseconds, 0), &loop, &QEventLoop::quit);
    loop.exec();
    m_lastPassMs = nowMs();
}

} // namespace korvane::platform
