// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "CDrugDeployActioner.h"

#include "PayloadInstaller.h"
#include "actions/IUpdatorView.h"
#include "actions/Installation.h"
#include "actions/SkipOnFailure.h"
#include "platform/Error.h"
#include "platform/Paths.h"

#include <QStringView>

namespace korvane {

namespace {

const QString kPrinter = QStringLiteral("\\DrugBagPrinter.exe");
const QString kProfile = QStringLiteral("\\dbDrugProfile.mdb");
const QString kEpsonBuild = QStringLiteral("\\001.exe");
const QString kInkjetBuild = QStringLiteral("\\002.exe");

} // namespace

const QString CDrugDeployActioner::PrinterPrompt =
    QStringLiteral("請選擇您的印表機型號：\r\n\r\n1.Epson LQ 300+ II。\r\n2.噴墨印表機。\r\n3.取消更新作業");
const QString CDrugDeployActioner::PrinterPromptTitle = QStringLiteral("選項");

CDrugDeployActioner::CDrugDeployActioner(const platform::Services& services)
    : ContextActioner(StepList::of(u"CDrugDeployActioner")), ivServices(services)
{
}

QVariant CDrugDeployActioner::getDescription()
{
    return QStringLiteral("更新Korvane 藥袋列印模組");
}

QString CDrugDeployActioner::getAppName()
{
    return {};
}

QString CDrugDeployActioner::buildForAnswer(const QString& answer)
{
    // Blanks around the digit do not count; anything else, a full-width digit included, cancels.
    QStringView digit(answer);
    while (digit.startsWith(u' '))
        digit = digit.mid(1);
    while (digit.endsWith(u' '))
        digit.chop(1);
    if (digit == u"1")
        return kEpsonBuild;
    if (digit == u"2")
        return kInkjetBuild;
    return {};
}

void CDrugDeployActioner::fail(const QString& text)
{
    ivLastRunFailed = true;
    ivServices.dialogs.messageBox(platform::MessageIcon::Critical, UpdateFailedTitle, text);
}

void CDrugDeployActioner::action(IUpdatorView& p_form)
{
    ivView = &p_form;
    ivLastRunFailed = false;
    QString tools;
    QString build;
    try {
        ivView->setProgressBarValue(30);
        const QString folder = installationFolder(ivServices.settings);
        if (folder.isEmpty()) {
            ivLastRunFailed = true;
            reportNoInstallation(ivServices.dialogs);
            return;
        }
        tools = platform::joinPath(folder, QStringLiteral("\\tools"));
        if (!ivServices.files.folderExists(tools))
            ivServices.files.makeFolder(tools);
        if (ivServices.packFolder == tools)
            return;
        // The module must not be running, nor its database open, before anything is asked.
        for (const QString& name : {kPrinter, kProfile}) {
            const QString installed = platform::joinPath(tools, name);
            if (ivServices.files.fileExists(installed) && ivServices.files.inUse(installed))
                throw platform::Error(QStringLiteral("檔案正在使用中：") + installed,
                                      platform::Error::Kind::AccessDenied);
        }
        build = buildForAnswer(ivServices.dialogs.inputBox(PrinterPrompt, PrinterPromptTitle));
        if (build.isEmpty()) {
            ivServices.processes.endProcess();
            return;
        }
    } catch (...) {
        fail(CloseRunningSoftwareText);
        return;
    }
    const QString shippedBuild = platform::joinPath(ivServices.packFolder, build);
    if (!ivServices.files.fileExists(shippedBuild)) {
        fail(QStringLiteral("本更新程式沒有附上所選印表機用的藥袋列印模組：\r\n") + shippedBuild +
             QStringLiteral("\r\n電腦中的藥袋列印模組維持不變。"));
        return;
    }
    copyModule(tools, build);
}

void CDrugDeployActioner::copyModule(const QString& tools, const QString& build)
{
    const QString pack = ivServices.packFolder;
    PayloadInstaller installer(ivServices);
    skipOnFailure([&] { ivView->setProgressBarValue(60); });
    skipOnFailure([&] { ivView->setMessgaeValue(getMessageString(1).toString()); });
    // The installed files are overwritten, not removed first: a file not shipped, or one whose
    // copy fails, leaves the installed one as it was.
    const bool printerInstalled =
        installer.install(platform::joinPath(pack, build), platform::joinPath(tools, kPrinter));
    const QString shippedProfile = platform::joinPath(pack, kProfile);
    const bool profileInstalled = ivServices.files.fileExists(shippedProfile) &&
                                  installer.install(shippedProfile, platform::joinPath(tools, kProfile));

    skipOnFailure([&] { ivView->setMessgaeValue(getMessageString(2).toString()); });
    // Both builds go, whichever was chosen, unless the chosen one could not be installed.
    for (const QString& shipped : {kEpsonBuild, kInkjetBuild}) {
        if (shipped != build || printerInstalled)
            installer.removeShipped(platform::joinPath(pack, shipped));
    }
    if (profileInstalled)
        installer.removeShipped(shippedProfile);
    skipOnFailure([&] { ivView->setProgressBarValue(100); });
    if (!installer.allInstalled()) {
        ivLastRunFailed = true;
        installer.reportNotInstalled();
    }
}

} // namespace korvane
