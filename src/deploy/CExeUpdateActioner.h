// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DeploymentActioner.h"

namespace korvane {

// The executable update: copies Korvane's executable and the drug-bag printing module shipped
// beside the pack into the installation, without stopping anything, then removes the shipped
// copies that were installed. A file that could not be installed stays in the pack and is named.
class CExeUpdateActioner : public DeploymentActioner
{
public:
    explicit CExeUpdateActioner(const platform::Services& services);
    static const StepList& steps();

    QVariant getDescription() override;
    QString getAppName() override;
    QString previewHeading() const override;

protected:
    Outcome deploy() override;
};

} // namespace korvane
