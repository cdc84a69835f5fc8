// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "PayloadInstaller.h"
#include "actions/ContextActioner.h"
#include "actions/IUnattendedAction.h"
#include "platform/Services.h"

namespace korvane {

// What the deployment actions share: a run and its preview are one road through the action's
// own steps, deploy(). In a preview the installer rehearses, deciding for every file what the run
// would do and doing nothing, and the action stops and starts no program; its checks, their
// messages and its question are those of the run. So the list is what the run then does.
class DeploymentActioner : public ContextActioner, public IUnattendedAction
{
public:
    Outcome action(IUpdatorView& p_form) override;
    void recordRun(RunDetails& p_details) const override { ivInstalled.addTo(p_details); }
    IUnattendedAction* unattended() override { return this; }

    ActionPreview previewChanges(IUpdatorView* p_progress = nullptr) override;
    // The pack's files, their targets and backups, as the last preview found them.
    QStringList sourceFiles() const override;

protected:
    DeploymentActioner(const StepList& steps, const platform::Services& services);

    // The run, or its rehearsal while rehearsing(); every road says how it ends.
    virtual Outcome deploy() = 0;
    // An installer for this run: writing into the run's record, or rehearsing.
    PayloadInstaller installer(const QString& installationFolder);
    bool rehearsing() const { return ivRehearsal != nullptr; }

    platform::Services ivServices;
    // What a preview would have the run do besides the files; null in a run.
    InstallPlan* ivRehearsal = nullptr;
    InstallRecord ivInstalled;

private:
    InstallPlan ivLastPlan;
};

} // namespace korvane
