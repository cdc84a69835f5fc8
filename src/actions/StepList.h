// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace korvane {

// The numbered steps an actioner shows while it runs, one line each, the current one marked.
class StepList
{
public:
    StepList(int firstIndex, QStringList steps);

    // One line per step: "V" on the step numbered index, a tab, the step text, CR LF.
    QString render(qint16 index) const;

    int firstIndex() const { return m_firstIndex; }
    const QStringList& steps() const { return m_steps; }

private:
    int m_firstIndex;
    QStringList m_steps;
};

} // namespace korvane
