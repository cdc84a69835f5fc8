// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "CDrugDeployActioner.h"

#include "PayloadInstaller.h"
#include "actions/IUpdatorView.h"
#include "actions/Installation.h"
#include "actions/SkipOnFailure.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/TechnicalNote.h"

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
    : DeploymentActioner(deploymentSteps(), services)
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

QString CDrugDeployActioner::previewHeading() const
{
    return QStringLiteral("藥袋列印模組更新預覽（只檢查，不會安裝、取代或刪除任何檔案）");
}

Outcome CDrugDeployActioner::deploy()
{
    skipOnFailure([&] { ivView->setProgressBarValue(30); });
    const Installation installation(ivServices);
    const QString tools = installation.path(QStringLiteral("\\tools"));
    // Nothing to ask about when neither build came with the pack.
    const QString printer = QStringLiteral("\\tools") + kPrinter;
    PayloadInstaller installer = this->installer(installation.folder());
    if (!installer.startRun(installation, {{kEpsonBuild, printer}, {kInkjetBuild, printer}}, {QStringLiteral("\\tools")},
                            {{kProfile, QStringLiteral("\\tools") + kProfile}}))
        return Outcome::Refused;

    // The module must not be running, nor its database open, before anything is asked.
    QStringList inUse;
    try {
        installer.makeFolder(tools);
        for (const QString& name : {kPrinter, kProfile}) {
            const QString installed = platform::joinPath(tools, name);
            if (ivServices.files.fileExists(installed) && ivServices.files.inUse(installed))
                inUse << installed;
        }
    } catch (...) {
        return reportFailure(ivServices.dialogs,
                             CloseRunningSoftwareText +
                                 QStringLiteral("\r\n\r\n無法準備或檢查藥袋列印模組所在的資料夾，本次更新沒有執行，電腦中的藥袋列印模組維持原狀。"
                                                "請排除下列原因後，再執行一次本更新程式。原因：") +
                                 platform::describe(std::current_exception()));
    }
    if (!inUse.isEmpty())
        return reportRefusal(ivServices.dialogs,
                             CloseRunningSoftwareText +
                                 QStringLiteral("\r\n\r\n藥袋列印模組（或它的藥袋資料）正在使用中，本次更新沒有執行，電腦中的藥袋列印模組維持原狀。"
                                                "請關閉藥袋列印模組與 Korvane 後，再執行一次本更新程式。") +
                                 platform::technicalNote(QStringLiteral("使用中的檔案：") + inUse.join(QStringLiteral("、"))));

    // Anything but a build's number cancels: nothing has been touched yet.
    const QString build = buildForAnswer(ivServices.dialogs.inputBox(PrinterPrompt, PrinterPromptTitle));
    if (build.isEmpty())
        return Outcome::Cancelled;
    const QString shippedBuild = platform::joinPath(ivServices.packFolder, build);
    if (!ivServices.files.fileExists(shippedBuild))
        return reportRefusal(ivServices.dialogs,
                             QStringLiteral("本更新程式沒有附上所選印表機用的藥袋列印模組，本次更新沒有執行，電腦中的藥袋列印模組維持原狀。"
                                            "請確認選擇的印表機型號；若型號沒錯，請向廠商索取附有這個型號列印模組的更新程式。") +
                                 platform::technicalNote(QStringLiteral("找不到 ") + shippedBuild));
    return copyModule(installer, tools, build);
}

Outcome CDrugDeployActioner::copyModule(PayloadInstaller& installer, const QString& tools, const QString& build)
{
    const QString pack = ivServices.packFolder;
    installer.removeLeftovers({{kPrinter, QStringLiteral("\\tools") + kPrinter}, {kProfile, QStringLiteral("\\tools") + kProfile}});
    skipOnFailure([&] { ivView->setProgressBarValue(60); });
    skipOnFailure([&] { ivView->setMessgaeValue(getMessageString(1).toString()); });
    // A file not shipped, or one whose copy fails, leaves the installed one as it was.
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
    return installer.finish();
}

} // namespace korvane
