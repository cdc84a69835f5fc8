// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "StepList.h"

namespace korvane {

StepList::StepList(int firstIndex, QStringList steps) : m_firstIndex(firstIndex), m_steps(std::move(steps)) {}

QString StepList::render(qint16 index) const
{
    QString text;
    for (qsizetype p = 0; p < m_steps.size(); ++p) {
        if (m_firstIndex + p == index)
            text += u'V';
        text += u'\t';
        text += m_steps.at(p);
        text += u"\r\n";
    }
    return text;
}

} // namespace korvane
