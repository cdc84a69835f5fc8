// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <QTime>

namespace korvane::platform {

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QTime timeOfDay() const = 0;

    // "hh:mm:ss", hours 00 to 23.
    QString timeText() const { return timeOfDay().toString(QStringLiteral("HH:mm:ss")); }
    int secondsOfDay() const { return timeOfDay().msecsSinceStartOfDay() / 1000; }
};

} // namespace korvane::platform
