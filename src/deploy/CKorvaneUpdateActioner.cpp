// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "CKorvaneUpdateActioner.h"

#include "actions/IUpdatorView.h"
#include "actions/Installation.h"
#include "actions/SkipOnFailure.h"
#include "platform/Error.h"
#include "platform/Paths.h"

#include <array>

namespace korvane {

namespace {

const QString kProgram = QStringLiteral("\\korvane.exe");
const QString kInstalledProgram = QStringLiteral("\\Korvane.exe");

// The payload after the main executable, in the order it is installed.
const std::array<PayloadFile, 4> kDataFiles{{
    {QStringLiteral("\\dbDrugsAdjustment"), QStringLiteral("\\dbDrugsAdjustment")},
    {QStringLiteral("\\icd10"), QStringLiteral("\\icd10")},
    {QStringLiteral("\\dbHospital.mdb"), QStringLiteral("\\dbHospital.mdb")},
    {QStringLiteral("\\dbCd.mdb"), QStringLiteral("\\dbCd.mdb")},
}};
const std::array<PayloadFile, 2> kQrCodeFiles{{
    {QStringLiteral("\\QrCodeAgent.exe"), QStringLiteral("\\tools\\dtc\\QrCodeAgent.exe")},
    {QStringLiteral("\\zxing.dll"), QStringLiteral("\\tools\\dtc\\zxing.dll")},
}};

constexpr int kKillToolWaitMs = 1000;

} // namespace

CKorvaneUpdateActioner::CKorvaneUpdateActioner(const platform::Services& services)
    : ContextActioner(StepList::of(u"CKorvaneUpdateActioner")), ivServices(services)
{
}

QVariant CKorvaneUpdateActioner::getDescription()
{
    return QStringLiteral("更新 Korvane 系統");
}

QString CKorvaneUpdateActioner::getAppName()
{
    return ivLastRunFailed ? QString() : QStringLiteral("UP47120901.exe");
}

QString CKorvaneUpdateActioner::backupPath(const QString& installationFolder)
{
    return platform::joinPath(installationFolder, QStringLiteral("\\Korvane.exe.bak"));
}

void CKorvaneUpdateActioner::fail(const QString& text)
{
    ivLastRunFailed = true;
    ivServices.dialogs.messageBox(platform::MessageIcon::Critical, UpdateFailedTitle, text);
}

void CKorvaneUpdateActioner::action(IUpdatorView& p_form)
{
    ivView = &p_form;
    ivLastRunFailed = false;
    ivBackupTaken = false;
    QString folder;
    try {
        ivView->setProgressBarValue(30);
        folder = installationFolder(ivServices.settings);
        if (folder.isEmpty()) {
            ivLastRunFailed = true;
            reportNoInstallation(ivServices.dialogs);
            return;
        }
        if (prepare(folder) == Preparation::Stop)
            return;
    } catch (...) {
        if (ivBackupTaken)
            skipOnFailure([&] { ivServices.files.removeFile(backupPath(folder)); });
        fail(CloseRunningSoftwareText);
        return;
    }
    copyPayload(folder);
}

CKorvaneUpdateActioner::Preparation CKorvaneUpdateActioner::prepare(const QString& folder)
{
    if (ivServices.packFolder == folder)
        return Preparation::Stop;
    stopApplication(folder);

    // Without a new executable in the pack (a pack run again for the files it could not install
    // the first time) the installed one stays as it is.
    const QString installed = platform::joinPath(folder, kInstalledProgram);
    if (!ivServices.files.fileExists(platform::joinPath(ivServices.packFolder, kProgram)) ||
        !ivServices.files.fileExists(installed))
        return Preparation::Ready;
    try {
        ivServices.files.copyFile(installed, backupPath(folder));
    } catch (...) {
        fail(QStringLiteral("無法備份目前的 Korvane 程式，本次更新沒有執行，電腦中的檔案都沒有變更。"
                            "可能的原因為：\r\n") +
             platform::describe(std::current_exception()));
        return Preparation::Stop;
    }
    ivBackupTaken = true;
    // While Korvane runs its executable cannot be removed: this is the test that it has stopped.
    ivServices.files.removeFile(installed);
    return Preparation::Ready;
}

void CKorvaneUpdateActioner::stopApplication(const QString& folder)
{
    const QString killTool = platform::joinPath(folder, QStringLiteral("\\tools\\KillIt.exe"));
    if (!ivServices.files.fileExists(killTool))
        return;
    if (!ivServices.processes.startDetached(commandLine(killTool, QStringLiteral("Korvane")), folder,
                                            platform::WindowStyle::MinimizedFocus))
        throw platform::Error(QStringLiteral("無法啟動程式：") + killTool);
    // Give the tool its second; the window stays alive meanwhile.
    ivServices.events.processEventsFor(kKillToolWaitMs);
}

CKorvaneUpdateActioner::ProgramInstall CKorvaneUpdateActioner::installProgram(const QString& folder)
{
    const QString shipped = platform::joinPath(ivServices.packFolder, kProgram);
    if (!ivServices.files.fileExists(shipped))
        return ProgramInstall::NoneShipped;
    try {
        ivServices.files.copyFile(shipped, platform::joinPath(folder, kProgram));
        return ProgramInstall::Installed;
    } catch (...) {
        const QString cause = platform::describe(std::current_exception());
        const QString backup = backupPath(folder);
        bool restored = !ivServices.files.fileExists(backup);
        if (!restored) {
            skipOnFailure([&] {
                ivServices.files.copyFile(backup, platform::joinPath(folder, kInstalledProgram));
                restored = true;
                ivServices.files.removeFile(backup);
            });
        }
        fail(restored ? QStringLiteral(
                            "無法安裝新版的 Korvane 程式，電腦中原來的程式維持不變。"
                            "本次更新的檔案都保留在本更新程式的資料夾裡，排除原因後可以再執行一次本更新程式。"
                            "可能的原因為：\r\n") +
                            cause
                      : QStringLiteral(
                            "無法安裝新版的 Korvane 程式，也無法放回原來的程式。原來的程式備份在：\r\n") +
                            backup +
                            QStringLiteral(
                                "\r\n請將它改名為 Korvane.exe。本次更新的檔案都保留在本更新程式的資料夾裡。"
                                "可能的原因為：\r\n") +
                            cause);
        return ProgramInstall::Failed;
    }
}

void CKorvaneUpdateActioner::installShipped(const PayloadFile& file, const QString& folder,
                                            PayloadInstaller& installer)
{
    const QString shipped = platform::joinPath(ivServices.packFolder, file.shipped);
    if (ivServices.files.fileExists(shipped) &&
        installer.install(shipped, platform::joinPath(folder, file.target)))
        installer.removeShipped(shipped);
}

void CKorvaneUpdateActioner::copyPayload(const QString& folder)
{
    const QString pack = ivServices.packFolder;
    PayloadInstaller installer(ivServices);
    skipOnFailure([&] { ivView->setProgressBarValue(60); });
    skipOnFailure([&] { ivView->setMessgaeValue(getMessageString(1).toString()); });
    const ProgramInstall program = installProgram(folder);
    if (program == ProgramInstall::Failed)
        return;

    for (const PayloadFile& file : kDataFiles)
        installShipped(file, folder, installer);
    skipOnFailure([&] {
        const QString dtc = platform::joinPath(folder, QStringLiteral("\\tools\\dtc"));
        if (!ivServices.files.folderExists(dtc))
            ivServices.files.makeFolder(dtc);
    });
    for (const PayloadFile& file : kQrCodeFiles)
        installShipped(file, folder, installer);

    skipOnFailure([&] { ivView->setMessgaeValue(getMessageString(2).toString()); });
    installer.removeShipped(platform::joinPath(pack, kProgram));
    // The program kept aside is needed no more once the new one is in place; one left by an
    // interrupted earlier run stays until then.
    if (program == ProgramInstall::Installed)
        skipOnFailure([&] { ivServices.files.removeFile(backupPath(folder)); });
    skipOnFailure([&] { ivView->setProgressBarValue(100); });
    skipOnFailure([&] {
        ivServices.processes.startDetached(commandLine(platform::joinPath(folder, kProgram)), folder,
                                           platform::WindowStyle::MinimizedFocus);
    });
    if (!installer.allInstalled()) {
        ivLastRunFailed = true;
        installer.reportNotInstalled();
    }
}

} // namespace korvane
