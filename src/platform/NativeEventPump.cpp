// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeEventPump.h"

#include <QCoreApplication>

namespace korvane::platform {

void NativeEventPump::processEvents()
{
    if (m_sinceLastPass.isValid() && m_sinceLastPass.elapsed() < intervalMs)
        return;
    QCoreApplication::processEvents();
    m_sinceLastPass.start();
}

} // namespace korvane::platform
