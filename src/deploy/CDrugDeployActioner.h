// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DeploymentActioner.h"

namespace korvane {

// The drug-bag printing module: asks which printer the clinic uses and installs the matching
// build of the module as "\tools\DrugBagPrinter.exe", with its drug-profile database. Nothing
// installed is touched before the answer, so cancelling leaves the module as it was.
class CDrugDeployActioner : public DeploymentActioner
{
public:
    explicit CDrugDeployActioner(const platform::Services& services);

    QVariant getDescription() override;
    QString getAppName() override;
    QString previewHeading() const override;

    static const QString PrinterPrompt;
    static const QString PrinterPromptTitle;
    // The shipped build for an answer to the printer prompt, or empty text for one that
    // cancels the update.
    static QString buildForAnswer(const QString& answer);

protected:
    Outcome deploy() override;

private:
    Outcome copyModule(PayloadInstaller& installer, const QString& tools, const QString& build);
};

} // namespace korvane
