// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "platform/Conversions.h"

#include <QString>

namespace korvane {

// What of the price list does not go into tblDrugs as the list gives it, though no database
// refused it: a line that looks like a drug line but is no drug record (too few fields, a price
// that is empty or no number), which adds no drug, or a value of a drug record that does not
// convert (a date that is no date), which leaves its column empty. Never a surprise: each is
// named with its line.
struct SkippedValue
{
    qsizetype line = 0; // from 1, as an editor counts
    QString code;       // field 3, where the line has one
    QString column;     // empty for a whole line
    QString reason;

    // "略過第 102 行（代碼 AC12345100）：藥價「1O.5」不是數字" for a line,
    // "第 7 行（代碼 AC12345100）欄位「藥價參考日期」：「1139999」不是日期，該欄留白" for a value.
    QString text() const
    {
        QString text = column.isEmpty() ? QStringLiteral("略過第 %1 行").arg(line) : QStringLiteral("第 %1 行").arg(line);
        if (!code.isEmpty())
            text += QStringLiteral("（代碼 ") + platform::visibleControls(code) + u'）';
        if (!column.isEmpty())
            text += QStringLiteral("欄位「") + column + u'」';
        return text + QStringLiteral("：") + platform::visibleControls(reason);
    }
};

} // namespace korvane
