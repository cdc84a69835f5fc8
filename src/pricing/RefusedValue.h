// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "platform/Conversions.h"

#include <QString>

namespace korvane {

// A value of the price list that tblDrugs refused: one column of a line (the row was stored
// without it, or not at all when it is the code), or a whole row (column empty).
struct RefusedValue
{
    qsizetype line = 0; // from 1, as an editor counts
    QString code;
    QString column;
    QString reason; // the database's words

    // "第 12 行（代碼 AC12345100）欄位「藥品英文名稱」：…", for messages and reports; what came
    // from the list (the code, a value the database quotes) with its control characters shown.
    QString text() const
    {
        QString text = QStringLiteral("第 %1 行（代碼 %2）").arg(line).arg(platform::visibleControls(code));
        if (!column.isEmpty())
            text += QStringLiteral("欄位「") + column + QStringLiteral("」");
        return text + QStringLiteral("：") + platform::visibleControls(reason, true);
    }
};

} // namespace korvane
