// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "CKorvaneUpdateActioner.h"

#include "actions/IUpdatorView.h"
#include "actions/Installation.h"
#include "actions/SkipOnFailure.h"
#include "platform/Error.h"
#include "platform/Paths.h"

namespace korvane {

namespace {

const QString kProgram = QStringLiteral("\\korvane.exe");
const QString kInstalledProgram = QStringLiteral("\\Korvane.exe");
const QString kKillTool = QStringLiteral("\\tools\\KillIt.exe");

// The payload in the order it is installed: the executable first, then the data files, then the
// QR-code tool into "\tools\dtc".
const std::vector<PayloadFile> kPayload{
    {kProgram, kProgram},
    {QStringLiteral("\\dbDrugsAdjustment"), QStringLiteral("\\dbDrugsAdjustment")},
    {QStringLiteral("\\icd10"), QStringLiteral("\\icd10")},
    {QStringLiteral("\\dbHospital.mdb"), QStringLiteral("\\dbHospital.mdb")},
    {QStringLiteral("\\dbCd.mdb"), QStringLiteral("\\dbCd.mdb")},
    {QStringLiteral("\\QrCodeAgent.exe"), QStringLiteral("\\tools\\dtc\\QrCodeAgent.exe")},
    {QStringLiteral("\\zxing.dll"), QStringLiteral("\\tools\\dtc\\zxing.dll")},
};

constexpr int kKillToolWaitMs = 1000;

} // namespace

CKorvaneUpdateActioner::CKorvaneUpdateActioner(const platform::Services& services)
    : DeploymentActioner(deploymentSteps(), services)
{
}

QVariant CKorvaneUpdateActioner::getDescription()
{
    return QStringLiteral("更新 Korvane 系統");
}

QString CKorvaneUpdateActioner::getAppName()
{
    return ivPackName;
}

QString CKorvaneUpdateActioner::previewHeading() const
{
    return QStringLiteral("Korvane 程式更新預覽（只檢查，不會關閉 Korvane，也不會安裝、取代或刪除任何檔案）");
}

Outcome CKorvaneUpdateActioner::deploy()
{
    skipOnFailure([&] { ivView->setProgressBarValue(30); });
    const Installation installation(ivServices);
    const auto shipped = installer(installation.folder()).startRun(installation, kPayload);
    if (!shipped)
        return Outcome::Refused;
    const QString folder = installation.folder();

    bool stopped = false;
    try {
        stopped = stopApplication(folder);
    } catch (...) {
        return reportFailure(ivServices.dialogs, QStringLiteral("無法啟動 Korvane 的關閉程式，本次更新沒有執行，電腦中的檔案都沒有變更。"
                                   "請先自行關閉 Korvane 後再執行一次本更新程式。原因：\r\n") +
                    platform::describe(std::current_exception()));
    }
    // Whether or not a new executable comes, nothing is installed under a running Korvane.
    const QString installed = platform::joinPath(folder, kInstalledProgram);
    bool running = false;
    try {
        running = ivServices.files.fileExists(installed) && ivServices.files.inUse(installed);
    } catch (...) {
        return reportFailure(ivServices.dialogs, CloseRunningSoftwareText +
                                                     QStringLiteral("\r\n\r\n無法確認 Korvane 是否仍在執行，本次更新沒有執行，"
                                                                    "電腦中的檔案都沒有變更。請關閉 Korvane 後再執行一次本更新程式。原因：") +
                                                     platform::describe(std::current_exception()));
    }
    // A rehearsal stops nothing: Korvane running now is what the kill tool would end.
    if (running && !(rehearsing() && stopped))
        return reportRefusal(ivServices.dialogs,
                             CloseRunningSoftwareText +
                                 QStringLiteral("\r\n\r\nKorvane 仍在執行，本次更新沒有執行，電腦中的檔案都沒有變更。"
                                                "請關閉 Korvane 後再執行一次本更新程式。"));
    if (running)
        ivRehearsal->before << QStringLiteral("Korvane 目前正在執行：實際更新時由關閉程式結束它；若結束後仍在執行，更新會被拒絕。");
    return copyPayload(folder, *shipped, stopped);
}

bool CKorvaneUpdateActioner::stopApplication(const QString& folder)
{
    const QString killTool = platform::joinPath(folder, kKillTool);
    if (!ivServices.files.fileExists(killTool)) {
        if (rehearsing())
            ivRehearsal->before << QStringLiteral("不會先關閉 Korvane：安裝資料夾中沒有 Korvane 的關閉程式 ") + killTool +
                                       QStringLiteral("。");
        return false;
    }
    const QString command = commandLine(killTool, QStringLiteral("Korvane"));
    if (rehearsing()) {
        ivRehearsal->before << QStringLiteral("會先以 Korvane 的關閉程式關閉 Korvane：") + command;
        return true;
    }
    QString whyNot;
    if (!ivServices.processes.startDetached(command, folder, platform::WindowStyle::MinimizedFocus, &whyNot))
        throw platform::Error(killTool + QStringLiteral("（") + whyNot + QStringLiteral("）"));
    // Give the tool its second; the window stays alive meanwhile.
    ivServices.events.processEventsFor(kKillToolWaitMs);
    return true;
}

QString CKorvaneUpdateActioner::startApplication(const QString& folder)
{
    const QString program = platform::joinPath(folder, kProgram);
    if (rehearsing()) {
        ivRehearsal->after << QStringLiteral("更新後會啟動 Korvane：") + commandLine(program);
        return {};
    }
    QString whyNot;
    if (ivServices.processes.startDetached(commandLine(program), folder, platform::WindowStyle::MinimizedFocus,
                                           &whyNot))
        return {};
    return program + QStringLiteral("（") + whyNot + QStringLiteral("）");
}

Outcome CKorvaneUpdateActioner::copyPayload(const QString& folder, const std::vector<PayloadFile>& shipped, bool stopped)
{
    const QString pack = ivServices.packFolder;
    PayloadInstaller installer = this->installer(folder);
    installer.removeLeftovers(kPayload);
    skipOnFailure([&] { ivView->setProgressBarValue(60); });
    skipOnFailure([&] { ivView->setMessgaeValue(getMessageString(1).toString()); });

    // The new program first: without it the rest is not installed either, and the program that
    // was stopped for it starts again.
    const bool programShipped = shipped.front().shipped == kProgram;
    auto file = shipped.begin();
    if (programShipped) {
        if (!installer.install(platform::joinPath(pack, kProgram), platform::joinPath(folder, kProgram))) {
            if (rehearsing()) {
                ivRehearsal->after << QStringLiteral("新版的 Korvane 程式無法安裝：實際更新會在這裡停止，其餘的檔案都不會安裝，"
                                                     "電腦中原來的程式維持不變") +
                                          (stopped ? QStringLiteral("，關閉的 Korvane 會重新啟動。") : QStringLiteral("。"));
                return Outcome::Failed;
            }
            QString restarted;
            if (stopped) {
                const QString whyNot = startApplication(folder);
                restarted = whyNot.isEmpty() ? QStringLiteral("，並已重新啟動")
                                             : QStringLiteral("，但無法重新啟動，請自行啟動：") + whyNot;
            }
            return reportFailure(ivServices.dialogs,
                                 QStringLiteral("無法安裝新版的 Korvane 程式，電腦中原來的程式維持不變") + restarted +
                                     QStringLiteral("。本次更新的檔案都保留在本更新程式的資料夾裡，排除原因後可以再執行一次本更新程式。"
                                                    "可能的原因為：\r\n") +
                                     installer.notInstalled().join(QStringLiteral("\r\n")));
        }
        ++file;
    }
    skipOnFailure([&] { installer.makeFolder(platform::joinPath(folder, QStringLiteral("\\tools\\dtc"))); });
    for (; file != shipped.end(); ++file) {
        const QString source = platform::joinPath(pack, file->shipped);
        if (installer.install(source, platform::joinPath(folder, file->target)))
            installer.removeShipped(source);
    }

    skipOnFailure([&] { ivView->setMessgaeValue(getMessageString(2).toString()); });
    if (programShipped)
        installer.removeShipped(platform::joinPath(pack, kProgram));
    skipOnFailure([&] { ivView->setProgressBarValue(100); });
    // The update stands either way; a Korvane that does not start again is told, to be started
    // by hand.
    if (const QString whyNot = startApplication(folder); !whyNot.isEmpty())
        ivServices.dialogs.messageBox(platform::MessageIcon::Information, QStringLiteral("訊息"),
                                      QStringLiteral("Korvane 已更新，但無法自動啟動，請自行啟動：\r\n") + whyNot);
    return installer.finish();
}

} // namespace korvane
