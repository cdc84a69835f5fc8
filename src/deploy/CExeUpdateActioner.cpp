// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "CExeUpdateActioner.h"

#include "PayloadInstaller.h"
#include "actions/IUpdatorView.h"
#include "actions/Installation.h"
#include "actions/SkipOnFailure.h"
#include "platform/Paths.h"

#include <array>

namespace korvane {

namespace {

// The payload in the order it is handled, and the progress after each copy and each removal.
struct ExeFile
{
    PayloadFile file;
    qint16 progress;
};
const std::array<ExeFile, 3> kFiles{{
    {{QStringLiteral("\\korvane.exe"), QStringLiteral("\\korvane.exe")}, 30},
    {{QStringLiteral("\\DrugBagPrinter.exe"), QStringLiteral("\\Tools\\DrugBagPrinter.exe")}, 60},
    {{QStringLiteral("\\dbDrugProfile.mdb"), QStringLiteral("\\Tools\\dbDrugProfile.mdb")}, 100},
}};

} // namespace

CExeUpdateActioner::CExeUpdateActioner(const platform::Services& services)
    : ContextActioner(StepList::of(u"CExeUpdateActioner")), ivServices(services)
{
}

QVariant CExeUpdateActioner::getDescription()
{
    return QStringLiteral("更新Korvane");
}

QString CExeUpdateActioner::getAppName()
{
    return {};
}

void CExeUpdateActioner::action(IUpdatorView& p_form)
{
    ivView = &p_form;
    ivLastRunFailed = false;
    const QString folder = installationFolder(ivServices.settings);
    if (folder.isEmpty()) {
        ivLastRunFailed = true;
        reportNoInstallation(ivServices.dialogs);
        return;
    }
    // Run from the installation itself, every copy would be a file onto itself and the clean-up
    // would then remove the installation's own program.
    const QString pack = ivServices.packFolder;
    if (pack == folder)
        return;

    skipOnFailure([&] {
        const QString tools = platform::joinPath(folder, QStringLiteral("\\Tools"));
        if (!ivServices.files.folderExists(tools))
            ivServices.files.makeFolder(tools);
    });
    skipOnFailure([&] { ivView->setMessgaeValue(getMessageString(1).toString()); });
    PayloadInstaller installer(ivServices);
    std::array<bool, kFiles.size()> installed{};
    for (size_t i = 0; i < kFiles.size(); ++i) {
        const QString shipped = platform::joinPath(pack, kFiles[i].file.shipped);
        // A file the pack does not carry is simply not part of this update.
        installed[i] = ivServices.files.fileExists(shipped) &&
                       installer.install(shipped, platform::joinPath(folder, kFiles[i].file.target));
        skipOnFailure([&] { ivView->setProgressBarValue(kFiles[i].progress); });
    }
    skipOnFailure([&] { ivView->setMessgaeValue(getMessageString(2).toString()); });
    for (size_t i = 0; i < kFiles.size(); ++i) {
        if (installed[i])
            installer.removeShipped(platform::joinPath(pack, kFiles[i].file.shipped));
        skipOnFailure([&] { ivView->setProgressBarValue(kFiles[i].progress); });
    }
    if (!installer.allInstalled()) {
        ivLastRunFailed = true;
        installer.reportNotInstalled();
    }
}

} // namespace korvane
