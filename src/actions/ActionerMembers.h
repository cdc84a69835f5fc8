// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "StepList.h"

#include <QString>
#include <QVariant>

namespace korvane {

class IUpdatorView;

// The members every actioner carries: the update time stamp, the main string, the view of the
// current run and the actioner's step list.
class ActionerMembers
{
public:
    QString UpdateTimeStamp() const { return ivUpdateTimeStamp; }
    void setUpdateTimeStamp(const QString& vData) { ivUpdateTimeStamp = vData; }
    void setMainString(const QString& p_strUpdate) { ivMainString = p_strUpdate; }
    QString mainString() const { return ivMainString; }
    // The executable of the pack that carries the action, as the action catalogue names it.
    void setPackName(const QString& p_name) { ivPackName = p_name; }

protected:
    explicit ActionerMembers(const StepList& steps) : ivSteps(steps) {}
    ~ActionerMembers() = default;

    QVariant renderSteps(qint16 index) const { return ivSteps.render(index); }

    IUpdatorView* ivView = nullptr; // the view of the current (or last) run; not owned
    QString ivMainString;
    QString ivUpdateTimeStamp;
    QString ivPackName;

private:
    const StepList& ivSteps;
};

} // namespace korvane
