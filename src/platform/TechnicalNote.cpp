// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "TechnicalNote.h"

#include <QStringList>

namespace korvane::platform {

namespace {

// Brackets that no path, driver text or price list line uses.
const QString kOpen = QStringLiteral("〔資訊人員參考：");
const QString kClose = QStringLiteral("〕");

} // namespace

QString technicalNote(const QString& text)
{
    return kOpen + text + kClose;
}

MessageParts splitTechnicalNotes(const QString& text)
{
    MessageParts parts;
    QStringList notes;
    qsizetype from = 0;
    for (qsizetype open = text.indexOf(kOpen); open >= 0; open = text.indexOf(kOpen, from)) {
        const qsizetype close = text.indexOf(kClose, open + kOpen.size());
        if (close < 0)
            break;
        parts.forUser += QStringView(text).sliced(from, open - from);
        notes << text.sliced(open + kOpen.size(), close - open - kOpen.size());
        from = close + kClose.size();
    }
    parts.forUser += QStringView(text).sliced(from);
    parts.notes = notes.join(u'\n');
    return parts;
}

} // namespace korvane::platform
