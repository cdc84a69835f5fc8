// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "PayloadInstaller.h"

#include "actions/Installation.h"
#include "actions/Outcome.h"
#include "actions/RunRecord.h"
#include "actions/SkipOnFailure.h"
#include "platform/Error.h"
#include "platform/Paths.h"


namespace korvane {

namespace {

// The clinic's own data lives in these: the one before the update is kept.
bool isDatabase(const QString& target)
{
    return target.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive);
}

QString fileName(const QString& path)
{
    return path.mid(qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/')) + 1);
}

QString backupOf(const QString& target)
{
    return target + QStringLiteral(".bak");
}

QString parentOf(const QString& path)
{
    return path.left(qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/')));
}

QString installedText(const platform::FileFacts& installed)
{
    return QStringLiteral("%1 位元組，SHA-256 %2；").arg(installed.size).arg(installed.sha256);
}

} // namespace

const StepList& deploymentSteps()
{
    static const StepList list(0, {QStringLiteral("更新前置作業"), QStringLiteral("複製更新檔案到電腦中"),
                                   QStringLiteral("刪除本次更新暫存檔")});
    return list;
}

PayloadInstaller::PayloadInstaller(const platform::Services& services, QString installationFolder, InstallRecord* record,
                                   InstallPlan* rehearsal)
    : ivServices(services), ivFolder(std::move(installationFolder)), ivRecord(record), ivRehearsal(rehearsal)
{
}

void PayloadInstaller::remember(const QString& shipped, const QString& target, const QString& fate)
{
    if (ivRecord)
        ivRecord->files << fileName(shipped) + QStringLiteral(" → ") + target + QStringLiteral("：") + fate;
}

void InstallRecord::addTo(RunDetails& details) const
{
    const QString counts = QStringLiteral("安裝 %1 個檔案，%2 個留在更新程式資料夾").arg(installed).arg(left);
    details.setSummary(counts);
    details.add(QStringLiteral("檔案"), files.isEmpty() ? QStringLiteral("沒有安裝任何檔案") : counts + u'\n' + files.join(u'\n'));
}

void PayloadInstaller::removeLeftovers(const std::vector<PayloadFile>& files)
{
    for (const PayloadFile& file : files) {
        const QString target = platform::joinPath(ivFolder, file.target);
        QStringList leftovers{platform::replacementTemporary(target)};
        // A run killed while it kept the database leaves the copy of the backup.
        if (isDatabase(target))
            leftovers << platform::replacementTemporary(backupOf(target));
        for (const QString& leftover : leftovers) {
            skipOnFailure([&] {
                if (!ivServices.files.fileExists(leftover))
                    return;
                if (ivRehearsal)
                    ivRehearsal->leftovers << leftover;
                else
                    ivServices.files.removeFile(leftover);
            });
        }
    }
}

void PayloadInstaller::makeFolder(const QString& folder)
{
    if (ivServices.files.folderExists(folder))
        return;
    if (!ivRehearsal) {
        ivServices.files.makeFolder(folder);
        return;
    }
    // One level, as the run makes it.
    if (!folderWillExist(parentOf(folder)))
        throw platform::Error(QStringLiteral("找不到資料夾：") + parentOf(folder), platform::Error::Kind::PathNotFound);
    ivRehearsal->foldersMade << folder;
}

bool PayloadInstaller::folderWillExist(const QString& folder) const
{
    return ivServices.files.folderExists(folder) || (ivRehearsal && ivRehearsal->foldersMade.contains(folder));
}

FilePlan PayloadInstaller::plan(const QString& shipped, const QString& target) const
{
    FilePlan plan;
    plan.shipped = shipped;
    plan.target = target;
    try {
        if (ivRehearsal)
            plan.shippedFile = ivServices.files.facts(shipped);
        // A link would carry the copy somewhere else: as Administrator, anywhere at all.
        if (ivServices.files.isLink(target) || !platform::isInside(target, ivFolder)) {
            plan.why = QStringLiteral("安裝位置是捷徑（連結）或不在 Korvane 的安裝資料夾裡，為了安全沒有寫入：") + target;
            return plan;
        }
        if (!ivServices.files.fileExists(target)) {
            if (ivServices.files.folderExists(target))
                plan.why = QStringLiteral("安裝位置已經有同名的資料夾：") + target;
            else if (!folderWillExist(parentOf(target)))
                plan.why = QStringLiteral("要安裝到的資料夾不存在：") + parentOf(target);
            else
                plan.action = FilePlan::Action::Install;
            return plan;
        }
        if (ivRehearsal) {
            plan.installedFile = ivServices.files.facts(target);
            plan.inUse = ivServices.files.inUse(target);
        }
        // Installed already (a second run from media that kept its files, say): neither copied
        // again nor backed up again, so the backup stays the clinic's own database.
        if (ivServices.files.sameContent(shipped, target)) {
            plan.action = FilePlan::Action::UpToDate;
            plan.inUse = false;
            return plan;
        }
        plan.action = FilePlan::Action::Replace;
        if (isDatabase(target)) {
            plan.backup = backupOf(target);
            plan.backupReplaced = ivRehearsal && ivServices.files.fileExists(plan.backup);
        }
    } catch (...) {
        plan.action = FilePlan::Action::Blocked;
        plan.why = platform::describe(std::current_exception());
    }
    return plan;
}

bool PayloadInstaller::notInstalled(const QString& shipped, const QString& target, const QString& cause)
{
    ivNotInstalled << fileName(shipped) + QStringLiteral("：") + cause;
    if (ivRecord) {
        ++ivRecord->left;
        remember(shipped, target, QStringLiteral("沒有安裝，留在更新程式資料夾：") + cause);
    }
    return false;
}

bool PayloadInstaller::install(const QString& shipped, const QString& target)
{
    const FilePlan decided = plan(shipped, target);
    if (decided.action == FilePlan::Action::Blocked)
        notInstalled(shipped, target, decided.why);
    if (ivRehearsal) {
        ivRehearsal->files.push_back(decided);
        return decided.action != FilePlan::Action::Blocked;
    }
    if (decided.action == FilePlan::Action::Blocked)
        return false;
    try {
        if (decided.action == FilePlan::Action::UpToDate) {
            ++ivInstalledCount;
            if (ivRecord) {
                ++ivRecord->installed;
                remember(shipped, target,
                         installedText(ivServices.files.facts(target)) + QStringLiteral("已是最新版本，沒有重新複製"));
            }
            return true;
        }
        if (!decided.backup.isEmpty())
            ivServices.files.copyFile(target, decided.backup);
        ivServices.files.copyFile(shipped, target);
        if (!decided.backup.isEmpty())
            ivKept << decided.backup;
        ++ivInstalledCount;
        if (ivRecord) {
            // What is in place now, as the support would check it.
            ++ivRecord->installed;
            remember(shipped, target,
                     installedText(ivServices.files.facts(target)) +
                         (!decided.backup.isEmpty() ? QStringLiteral("舊檔保留為 ") + decided.backup
                          : decided.action == FilePlan::Action::Replace ? QStringLiteral("取代舊檔")
                                                                        : QStringLiteral("新安裝")));
        }
        return true;
    } catch (...) {
        return notInstalled(shipped, target, platform::describe(std::current_exception()));
    }
}

void PayloadInstaller::removeShipped(const QString& shipped)
{
    if (ivRehearsal) {
        if (ivServices.files.fileExists(shipped))
            ivRehearsal->removedFromPack << shipped;
        return;
    }
    skipOnFailure([&] { ivServices.files.removeFile(shipped); });
}

std::vector<PayloadFile> PayloadInstaller::requireShipped(const std::vector<PayloadFile>& files) const
{
    std::vector<PayloadFile> shipped;
    QStringList expected;
    QStringList folders;
    for (const PayloadFile& file : files) {
        const QString path = platform::joinPath(ivServices.packFolder, file.shipped);
        expected << fileName(path);
        if (ivServices.files.fileExists(path))
            shipped.push_back(file);
        else if (ivServices.files.folderExists(path))
            folders << path;
    }
    if (!shipped.empty())
        return shipped;
    QString text = QStringLiteral("本更新程式的資料夾中沒有要安裝的檔案（") + expected.join(QStringLiteral("、")) +
                   QStringLiteral("）：\r\n") + ivServices.packFolder + QStringLiteral("\r\n");
    if (!folders.isEmpty())
        text += QStringLiteral("下列名稱是資料夾，不是檔案：\r\n") + folders.join(QStringLiteral("\r\n")) +
                QStringLiteral("\r\n");
    throw RunRefused(text + QStringLiteral("本次更新沒有執行，電腦中的檔案都沒有變更。請確認更新檔案與本更新程式放在同一個資料夾。"));
}

void PayloadInstaller::requireDistinct(const std::vector<PayloadFile>& files) const
{
    for (const PayloadFile& file : files) {
        const QString shipped = platform::joinPath(ivServices.packFolder, file.shipped);
        const QString target = platform::joinPath(ivFolder, file.target);
        if (ivServices.files.fileExists(shipped) && platform::samePath(shipped, target))
            throw RunRefused(QStringLiteral("本更新程式資料夾中的 ") + shipped + QStringLiteral(" 就是要安裝的 ") + target +
                             QStringLiteral("（同一個檔案），複製會把檔案複製到自己身上，再被當成暫存檔刪除。"
                                            "本次更新沒有執行，電腦中的檔案都沒有變更。"
                                            "請將本更新程式與它附帶的檔案放到其他資料夾（例如桌面）後再執行。"));
    }
}

std::optional<std::vector<PayloadFile>> PayloadInstaller::startRun(const Installation& installation,
                                                                   const std::vector<PayloadFile>& files,
                                                                   const QStringList& alsoNotFrom,
                                                                   const std::vector<PayloadFile>& alsoInstalled) const
{
    try {
        installation.require(alsoNotFrom);
        std::vector<PayloadFile> shipped = requireShipped(files);
        // However the folders are spelled or linked, no shipped file may be its own target.
        requireDistinct(files);
        requireDistinct(alsoInstalled);
        if (ivRehearsal) {
            for (const auto* list : {&files, &alsoInstalled}) {
                for (const PayloadFile& file : *list) {
                    const QString path = platform::joinPath(ivServices.packFolder, file.shipped);
                    if (ivServices.files.fileExists(path) && !ivRehearsal->packFiles.contains(path))
                        ivRehearsal->packFiles << path;
                }
            }
        }
        return shipped;
    } catch (const RunRefused& refusal) {
        reportRefusal(ivServices.dialogs, refusal.description());
        return std::nullopt;
    }
}

Outcome PayloadInstaller::finish() const
{
    if (!allInstalled()) {
        if (!ivRehearsal)
            reportNotInstalled();
        return Outcome::ItemsLeft;
    }
    if (!ivRehearsal)
        reportKept();
    return Outcome::Done;
}

QString PayloadInstaller::keptText() const
{
    if (ivKept.isEmpty())
        return {};
    return QStringLiteral("\r\n\r\n更新前的資料庫已另外保留一份（更新後的資料若有問題，資訊人員可以用它還原）：\r\n") +
           ivKept.join(QStringLiteral("\r\n"));
}

void PayloadInstaller::reportNotInstalled() const
{
    if (allInstalled())
        return;
    const QString others = ivInstalledCount > 0 ? QStringLiteral("其餘 %1 個檔案都已安裝。").arg(ivInstalledCount) : QString();
    ivServices.dialogs.messageBox(
        platform::MessageIcon::Critical, QStringLiteral("更新未完成"),
        QStringLiteral("下列檔案沒有安裝：電腦中的這些檔案維持原來的版本，更新的檔案仍保留在本更新程式的資料夾裡。") + others +
            QStringLiteral("請關閉正在使用這些檔案的程式（或排除所列的原因）後，再執行一次本更新程式：\r\n") +
            ivNotInstalled.join(QStringLiteral("\r\n")) + keptText());
}

void PayloadInstaller::reportKept() const
{
    if (ivKept.isEmpty())
        return;
    ivServices.dialogs.messageBox(platform::MessageIcon::Information, QStringLiteral("訊息"),
                                  QStringLiteral("檔案已更新完成，不需要再做什麼。") + keptText());
}

QString commandLine(const QString& program, const QString& arguments)
{
    const QString quoted = u'"' + program + u'"';
    return arguments.isEmpty() ? quoted : quoted + u' ' + arguments;
}

} // namespace korvane
