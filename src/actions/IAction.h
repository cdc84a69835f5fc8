// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "Outcome.h"

#include <QString>
#include <QVariant>

namespace korvane {

class IUpdatorView;
class IUnattendedAction;
class RunDetails;

// One update that the wizard can run. The wizard asks for the description before it shows
// itself, runs the action on OK, and after a run that is done asks for the pack executable to
// remove.
class IAction
{
public:
    virtual ~IAction() = default;

    virtual QVariant getDescription() = 0;
    // Runs the whole update synchronously; reports through p_form, tells the user of its own
    // failures and says how it ended.
    [[nodiscard]] virtual Outcome action(IUpdatorView& p_form) = 0;
    // What the console front end may ask beyond a run; null for an action that offers nothing more.
    virtual IUnattendedAction* unattended() { return nullptr; }
    // Tells the record of the run just ended what it did: counts, files, its database.
    virtual void recordRun(RunDetails&) const {}
    // A bare file name in the pack folder that the self-removal script deletes; empty for none.
    virtual QString getAppName() = 0;
};

} // namespace korvane
