// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DeploymentActioner.h"

#include "actions/IUpdatorView.h"
#include "platform/Conversions.h"
#include "platform/Paths.h"

#include <QLocale>
#include <QScopeGuard>

namespace korvane {

namespace {

QString fileName(const QString& path)
{
    return path.mid(qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/')) + 1);
}

QString number(qint64 n)
{
    return QLocale::c().toString(n);
}

QString dateText(const QDateTime& time)
{
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QString factsText(const platform::FileFacts& file)
{
    const QString date = dateText(file.modified);
    return QStringLiteral("%1 位元組，").arg(number(file.size)) +
           (date.isEmpty() ? QString() : date + QStringLiteral("，")) + QStringLiteral("SHA-256 ") +
           file.sha256;
}

// What the run does with the file, in a few words: the CSV's column and the start of its line.
QString actionWords(const FilePlan& file)
{
    switch (file.action) {
    case FilePlan::Action::Install:
        return QStringLiteral("新安裝");
    case FilePlan::Action::Replace:
        return QStringLiteral("取代舊檔");
    case FilePlan::Action::UpToDate:
        return QStringLiteral("已是最新版本");
    case FilePlan::Action::Blocked:
        break;
    }
    return QStringLiteral("無法安裝");
}

// What IT staff must know beyond the action: why it cannot be installed, an earlier backup that
// goes, a program that holds the installed file.
QString remarks(const FilePlan& file)
{
    QStringList said;
    if (file.action == FilePlan::Action::Blocked)
        said << QStringLiteral("會留在更新程式資料夾：") + file.why;
    if (file.backupReplaced)
        said << QStringLiteral("上次更新留下的備份 ") + file.backup + QStringLiteral(" 會被這次的取代");
    if (file.inUse)
        said << QStringLiteral(
            "目前有程式正在使用已安裝的檔案；實際更新時若仍在使用，這個檔案會無法安裝而留在更新程式資料夾");
    return said.join(QStringLiteral("；"));
}

void appendFacts(const std::optional<platform::FileFacts>& file, QStringList& row)
{
    row << (file ? QString::number(file->size) : QString()) << (file ? dateText(file->modified) : QString())
        << (file ? file->sha256 : QString());
}

// The preview of a rehearsed run that got as far as its files, ending as outcome says.
ActionPreview previewOf(const InstallPlan& plan, Outcome outcome)
{
    // What is no file's: told on the screen also when the files go to a report.
    QString notes;
    for (const QString& note : plan.before)
        notes += note + u'\n';
    for (const QString& leftover : plan.leftovers)
        notes += QStringLiteral("會刪除上次中斷的更新留下的暫存檔：") + leftover + u'\n';
    for (const QString& folder : plan.foldersMade)
        notes += QStringLiteral("會建立資料夾：") + folder + u'\n';
    for (const QString& note : plan.after)
        notes += note + u'\n';

    QString lines;
    QString csv =
        QStringLiteral("\uFEFF") +
        platform::csvLine({QStringLiteral("檔案"), QStringLiteral("安裝位置"), QStringLiteral("處理"),
                           QStringLiteral("舊檔保留為"), QStringLiteral("更新程式中的大小"),
                           QStringLiteral("更新程式中的日期"), QStringLiteral("更新程式中的 SHA-256"),
                           QStringLiteral("已安裝的大小"), QStringLiteral("已安裝的日期"),
                           QStringLiteral("已安裝的 SHA-256"), QStringLiteral("說明")});
    qsizetype counts[4] = {};
    qsizetype backups = 0;
    qsizetype inUse = 0;
    QStringList planned;
    for (const FilePlan& file : plan.files) {
        planned << file.shipped;
        ++counts[int(file.action)];
        backups += file.backup.isEmpty() ? 0 : 1;
        inUse += file.inUse ? 1 : 0;
        QString words = actionWords(file);
        if (file.action == FilePlan::Action::UpToDate)
            words += QStringLiteral("（內容相同），不會重新複製");
        if (!file.backup.isEmpty())
            words += QStringLiteral("，舊檔先保留為 ") + file.backup;
        lines += fileName(file.shipped) + QStringLiteral(" → ") + file.target + QStringLiteral("：") + words +
                 u'\n';
        if (file.shippedFile)
            lines += QStringLiteral("    更新程式中的：") + factsText(*file.shippedFile) + u'\n';
        if (file.installedFile)
            lines += QStringLiteral("    已安裝的：    ") + factsText(*file.installedFile) + u'\n';
        if (const QString said = remarks(file); !said.isEmpty())
            lines += QStringLiteral("    注意：") + said + u'\n';
        QStringList row{fileName(file.shipped), file.target, actionWords(file), file.backup};
        appendFacts(file.shippedFile, row);
        appendFacts(file.installedFile, row);
        csv += platform::csvLine(row << remarks(file));
    }
    // The pack's other files: a build for the other printer, or files after one that stopped the run.
    for (const QString& shipped : plan.packFiles) {
        if (planned.contains(shipped))
            continue;
        const bool removed = plan.removedFromPack.contains(shipped);
        const QString words = removed ? QStringLiteral("不安裝，會從更新程式資料夾刪除")
                                      : QStringLiteral("不會安裝，留在更新程式資料夾");
        lines += fileName(shipped) + QStringLiteral("：") + words + u'\n';
        csv += platform::csvLine({fileName(shipped), QString(),
                                  removed ? QStringLiteral("不安裝（刪除）") : QStringLiteral("不安裝"),
                                  QString(), QString(), QString(), QString(), QString(), QString(), QString(),
                                  words});
    }

    QString totals = notes + QStringLiteral("合計：新安裝 %1 個檔案，取代 %2 個")
                                 .arg(counts[int(FilePlan::Action::Install)])
                                 .arg(counts[int(FilePlan::Action::Replace)]);
    if (backups > 0)
        totals += QStringLiteral("（其中 %1 個資料庫會先保留為 .bak）").arg(backups);
    totals += QStringLiteral("，%1 個已是最新版本，%2 個無法安裝。\n")
                  .arg(counts[int(FilePlan::Action::UpToDate)])
                  .arg(counts[int(FilePlan::Action::Blocked)]);
    if (inUse > 0)
        totals += QStringLiteral("%1 個已安裝的檔案目前正在使用中（見上方的注意）。\n").arg(inUse);
    switch (outcome) {
    case Outcome::Done:
        // A program may let go of its file before the run: told as what may happen.
        totals += inUse > 0
                      ? QStringLiteral("實際更新時，使用中的檔案若仍在使用，會留在更新程式資料夾（結束代碼 "
                                       "1）；其餘的都會安裝，"
                                       "安裝好的會從更新程式資料夾刪除。\n")
                      : QStringLiteral("實際更新時，上列的檔案都會安裝，安裝好的會從更新程式資料夾刪除。\n");
        break;
    case Outcome::ItemsLeft:
        totals += QStringLiteral("實際更新時，無法安裝的檔案會留在更新程式資料夾，更新結束時會說明原因（結束"
                                 "代碼 1）；其餘的會安裝。\n");
        break;
    default:
        totals += QStringLiteral("實際更新會在上方說明之處停止，電腦中的檔案維持原狀（結束代碼 1）。\n");
        break;
    }
    ActionPreview preview;
    preview.changes = lines + u'\n' + totals;
    preview.totals = totals;
    preview.csv = csv.toUtf8();
    preview.closing = QStringLiteral(
        "預覽結束：沒有安裝、取代、刪除或建立任何檔案，沒有關閉或啟動任何程式，也沒有寫入更新記錄。");
    return preview;
}

} // namespace

DeploymentActioner::DeploymentActioner(const StepList& steps, const platform::Services& services)
    : ContextActioner(steps), ivServices(services)
{
}

PayloadInstaller DeploymentActioner::installer(const QString& installationFolder)
{
    return PayloadInstaller(ivServices, installationFolder, ivRehearsal ? nullptr : &ivInstalled,
                            ivRehearsal);
}

Outcome DeploymentActioner::action(IUpdatorView& p_form)
{
    ivView = &p_form;
    ivInstalled = {};
    ivRehearsal = nullptr;
    return deploy();
}

ActionPreview DeploymentActioner::previewChanges(IUpdatorView*)
{
    // The run's step list and progress would read as work done.
    SilentView silent;
    ivView = &silent;
    ivLastPlan = {};
    ivRehearsal = &ivLastPlan;
    const auto done = qScopeGuard([this] {
        ivRehearsal = nullptr;
        ivView = nullptr;
    });
    const Outcome outcome = deploy();
    // Stopped by a check or the question, which the user has been told: no list.
    if (ivLastPlan.files.empty() && outcome != Outcome::Done && outcome != Outcome::ItemsLeft) {
        ActionPreview stopped;
        stopped.outcome = outcome;
        return stopped;
    }
    return previewOf(ivLastPlan, outcome);
}

QStringList DeploymentActioner::sourceFiles() const
{
    QStringList files = ivLastPlan.packFiles;
    for (const FilePlan& file : ivLastPlan.files)
        files << file.shipped << file.target << file.backup;
    return files;
}

} // namespace korvane
