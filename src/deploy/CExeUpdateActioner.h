// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "PayloadInstaller.h"
#include "actions/ContextActioner.h"
#include "platform/Services.h"

namespace korvane {

// The executable update: copies Korvane's executable and the drug-bag printing module shipped
// beside the pack into the installation, without stopping anything, then removes the shipped
// copies that were installed. A file that could not be installed stays in the pack and is named.
class CExeUpdateActioner : public ContextActioner
{
public:
    explicit CExeUpdateActioner(const platform::Services& services);
    static const StepList& steps();

    Outcome action(IUpdatorView& p_form) override;
    void recordRun(RunDetails& p_details) const override { ivInstalled.addTo(p_details); }
    QVariant getDescription() override;
    QString getAppName() override;

private:
    platform::Services ivServices;
    InstallRecord ivInstalled;
};

} // namespace korvane
