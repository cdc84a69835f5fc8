// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ContextActioner.h"
#include "IAction.h"
#include "IUnattendedAction.h"
#include "platform/Services.h"

#include <functional>
#include <memory>

namespace korvane {

// The start-up action: opens the clinic database "\dbKorvane.mdb" of the installation, runs the
// application update with that connection in its context, and shows the completion display when
// the update has gone through. A database that cannot be opened stops the run before any file is
// touched. It names no pack executable, so the wizard simply closes afterwards.
class ActionImpl : public IAction, public IUnattendedAction
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
    IUnattendedAction* unattended() override { return this; }

    // The checks of a run and the database opened (read-only), then the wrapped update's preview.
    ActionPreview previewChanges(IUpdatorView* p_progress = nullptr) override;
    QString previewHeading() const override;
    QStringList sourceFiles() const override;

private:
    // What a run and its preview begin with: the installation's checks, then the clinic
    // database opened with the mode given; null, the user told why, when either fails.
    std::shared_ptr<clsContext> openContext(int mode, Outcome& notDone);

    platform::Services ivServices;
    ActionerFactory ivCreateActioner;
    std::shared_ptr<ContextActioner> ivActioner;
    QString ivConnectionText;
};

} // namespace korvane
