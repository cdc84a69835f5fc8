// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "PayloadInstaller.h"
#include "actions/ContextActioner.h"
#include "platform/Services.h"

namespace korvane {

// The application update: stops the running Korvane with the installation's kill tool, refuses
// when it still runs, installs the new executable and the data files shipped beside the pack,
// removes the shipped copies and starts Korvane again. The installation is never left without
// its program: the installed one is kept aside until the new one is in place.
class CKorvaneUpdateActioner : public ContextActioner
{
public:
    explicit CKorvaneUpdateActioner(const platform::Services& services);

    void action(IUpdatorView& p_form) override;
    QVariant getDescription() override;
    // The pack executable; none after a failed run, so that the pack stays to be run again.
    QString getAppName() override;

    // Where the installed executable is kept while it is replaced.
    static QString backupPath(const QString& installationFolder);

private:
    enum class Preparation { Ready, Stop };
    enum class ProgramInstall { Installed, NoneShipped, Failed };

    Preparation prepare(const QString& folder);
    void stopApplication(const QString& folder);
    // Puts the shipped executable in place, or the previous one back with a message.
    ProgramInstall installProgram(const QString& folder);
    // An optional file: installed and removed from the pack where it is shipped.
    void installShipped(const PayloadFile& file, const QString& folder, PayloadInstaller& installer);
    void copyPayload(const QString& folder);
    void fail(const QString& text);

    platform::Services ivServices;
    bool ivBackupTaken = false;
};

} // namespace korvane
