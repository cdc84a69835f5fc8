// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DeploymentActioner.h"

namespace korvane {

// The application update: stops the running Korvane with the installation's kill tool, refuses
// while it still runs, installs the new executable and the data files shipped beside the pack,
// removes the shipped copies and starts Korvane again. Every file is replaced in one step, so
// the installation always has a whole program; when the new one cannot go in, the one stopped is
// started again.
class CKorvaneUpdateActioner : public DeploymentActioner
{
public:
    explicit CKorvaneUpdateActioner(const platform::Services& services);

    QVariant getDescription() override;
    QString getAppName() override;
    QString previewHeading() const override;

protected:
    Outcome deploy() override;

private:
    // Starts the kill tool where the installation has one; whether it was started (in a
    // rehearsal: would be).
    bool stopApplication(const QString& folder);
    Outcome copyPayload(const QString& folder, const std::vector<PayloadFile>& shipped, bool stopped);
    // Starts Korvane from the installation; the program and why not when it could not start.
    QString startApplication(const QString& folder);
};

} // namespace korvane
