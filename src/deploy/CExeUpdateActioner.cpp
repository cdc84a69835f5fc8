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

// The payload in the order it is handled.
const std::vector<PayloadFile> kFiles{
    {QStringLiteral("\\korvane.exe"), QStringLiteral("\\korvane.exe")},
    {QStringLiteral("\\DrugBagPrinter.exe"), QStringLiteral("\\Tools\\DrugBagPrinter.exe")},
    {QStringLiteral("\\dbDrugProfile.mdb"), QStringLiteral("\\Tools\\dbDrugProfile.mdb")},
};
// The progress after each file's copy and after its removal, whether or not it is shipped.
constexpr std::array<qint16, 3> kProgress{30, 60, 100};

} // namespace

CExeUpdateActioner::CExeUpdateActioner(const platform::Services& services)
    : DeploymentActioner(steps(), services)
{
}

const StepList& CExeUpdateActioner::steps()
{
    static const StepList list(1, {QStringLiteral("複製更新檔案到電腦中"), QStringLiteral("刪除本次更新暫存檔")});
    return list;
}

QVariant CExeUpdateActioner::getDescription()
{
    return QStringLiteral("更新Korvane");
}

QString CExeUpdateActioner::getAppName()
{
    return {};
}

QString CExeUpdateActioner::previewHeading() const
{
    return QStringLiteral("Korvane 程式檔更新預覽（只檢查，不會安裝、取代或刪除任何檔案）");
}

Outcome CExeUpdateActioner::deploy()
{
    const Installation installation(ivServices);
    const QString folder = installation.folder();
    PayloadInstaller installer = this->installer(folder);
    // Run from the installation itself, every copy would be a file onto itself and the
    // clean-up would then remove the installation's own program.
    if (!installer.startRun(installation, kFiles))
        return Outcome::Refused;

    installer.removeLeftovers(kFiles);
    skipOnFailure([&] { installer.makeFolder(platform::joinPath(folder, QStringLiteral("\\Tools"))); });
    skipOnFailure([&] { ivView->setMessgaeValue(getMessageString(1).toString()); });
    std::array<bool, 3> installed{};
    for (size_t i = 0; i < kFiles.size(); ++i) {
        // A file the pack does not carry is simply not part of this update.
        const QString shipped = platform::joinPath(ivServices.packFolder, kFiles[i].shipped);
        installed[i] = ivServices.files.fileExists(shipped) &&
                       installer.install(shipped, platform::joinPath(folder, kFiles[i].target));
        skipOnFailure([&] { ivView->setProgressBarValue(kProgress[i]); });
    }
    skipOnFailure([&] { ivView->setMessgaeValue(getMessageString(2).toString()); });
    for (size_t i = 0; i < kFiles.size(); ++i) {
        if (installed[i])
            installer.removeShipped(platform::joinPath(ivServices.packFolder, kFiles[i].shipped));
        skipOnFailure([&] { ivView->setProgressBarValue(kProgress[i]); });
    }
    return installer.finish();
}

} // namespace korvane
