// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "PayloadInstaller.h"
#include "actions/ContextActioner.h"
#include "platform/Services.h"

namespace korvane {

// The drug-bag printing module: asks which printer the clinic uses and installs the matching
// build of the module as "\tools\DrugBagPrinter.exe", with its drug-profile database. Nothing
// installed is touched before the answer, so cancelling leaves the module as it was.
class CDrugDeployActioner : public ContextActioner
{
public:
    explicit CDrugDeployActioner(const platform::Services& services);

    Outcome action(IUpdatorView& p_form) override;
    void recordRun(RunDetails& p_details) const override { ivInstalled.addTo(p_details); }
    QVariant getDescription() override;
    QString getAppName() override;

    static const QString PrinterPrompt;
    static const QString PrinterPromptTitle;
    // The shipped build for an answer to the printer prompt, or empty text for one that
    // cancels the update.
    static QString buildForAnswer(const QString& answer);

private:
    Outcome copyModule(const QString& folder, const QString& tools, const QString& build);

    platform::Services ivServices;
    InstallRecord ivInstalled;
};

} // namespace korvane
