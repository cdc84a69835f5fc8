// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "SystemClock.h"

namespace korvane::platform {

QTime SystemClock::timeOfDay() const
{
    return QTime::currentTime();
}

} // namespace korvane::platform
