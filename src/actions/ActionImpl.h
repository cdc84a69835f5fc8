// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ContextActioner.h"
#include "IAction.h"
#include "platform/Services.h"

#include <functional>
#include <memory>

namespace korvane {

// The start-up action: opens the clinic database "\dbKorvane.mdb" of the installation, runs the
// application update with that connection in its context, and shows the completion display when
// the update has gone through. A database that cannot be opened stops the run before any file is
// touched. It names no pack executable, so the wizard simply closes afterwards.
class ActionImpl : public IAction
{
public:
    // Makes the actioner that a run wraps; a new one for every run.
    using ActionerFactory = std::function<std::shared_ptr<ContextActioner>()>;

    ActionImpl(const platform::Services& services, ActionerFactory createActioner);

    Outcome action(IUpdatorView& p_form) override;
    QString getAppName() override;
    QVariant getDescription() override;
    // What the wrapped update did, and the database the start-up opened.
    void recordRun(RunDetails& p_details) const override;

private:
    platform::Services ivServices;
    ActionerFactory ivCreateActioner;
    std::shared_ptr<ContextActioner> ivActioner;
    QString ivConnectionText;
};

} // namespace korvane
