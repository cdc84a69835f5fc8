// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeEventPump.h"

#include <QCoreApplication>

namespace korvane::platform {

void NativeEventPump::processEvents()
{
    if (m_lastPassMs >= 0 && nowMs() - m_lastPassMs < intervalMs)
        return;
    QCoreApplication::processEvents();
    m_lastPassMs = nowMs();
}

} // namespace korvane::platform
