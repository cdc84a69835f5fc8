// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "Clock.h"

namespace korvane::platform {

// The machine's local time of day.
class SystemClock : public Clock
{
public:
    QTime timeOfDay() const override;
};

} // namespace korvane::platform
