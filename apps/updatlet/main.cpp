// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// updatlet: runs one update action unattended, exactly as the pack's wizard would run it, with
// the step list, the progress and every message box on the terminal. For rolling a pack out
// without clicks. It can also show what an update would change, with the run's own checks.

#include "actions/IUnattendedAction.h"
#include "actions/Installation.h"
#include "actions/RunAction.h"
#include "actions/RunRecord.h"
#include "catalogue/ActionCatalogue.h"
#include "platform/ConsoleDialogs.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "platform/NativeServices.h"
#include "platform/Paths.h"
#include "platform/QtTranslation.h"
#include "shell/console/ConsoleView.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <algorithm>
#include <cstdio>

namespace {

using korvane::ActionCatalogue;
using korvane::Outcome;

constexpr int ExitUsage = 2;

const QString Usage = QStringLiteral(
    "用法：updatlet [--pack-folder 資料夾] [--answer 回答]... [--allow-shrink] [--dry-run [--report 檔案]] [作業]\n"
    "      updatlet [--pack-folder 資料夾] --history [筆數]\n");

const QString Options = QStringLiteral(
    "不經精靈畫面，直接執行一個更新程式的更新作業；步驟、進度與訊息都顯示在終端機上（進度在終端機上\n"
    "至少每秒一行；輸出到檔案或管線時，進度只在每 10 秒與每完成一成時寫一行，記錄檔留下步驟與少數進度）。\n"
    "\n"
    "選項：\n"
    "  --pack-folder 資料夾  更新程式的檔案所在的資料夾（預設：updatlet 所在的資料夾）。\n"
    "  --answer 回答         作業下一個問題的回答，無人看管時使用（CDrugDeployActioner 的印表機：1 或 2；\n"
    "                        是否的問題：是 或 否，例如 CDrugPriceUndoActioner 在藥品資料改過時的確認）；\n"
    "                        每個問題一次，依序使用。沒有給回答時在終端機上詢問；沒有終端機則視為取消。\n"
    "  --allow-shrink        C52407301：藥價資料檔的藥品不到診所目前藥品資料（tblDrugs）的一半時仍然套用\n"
    "                        （否則不更新）。\n"
    "  --dry-run             只檢查、不執行：不寫入任何檔案或資料，也不寫更新記錄；問題照樣詢問（--answer）。\n"
    "                        C52407301：只讀取 all.puf 與藥品資料（tblDrugs）、保留 all.puf，列出將新增、刪除、\n"
    "                        變價與將被資料庫拒絕的藥品及合計；進度顯示在標準錯誤上。\n"
    "                        其他作業：先做實際更新會做的每一項檢查（同一個資料夾、安裝位置的設定、安裝資料夾的\n"
    "                        寫入權限、執行中的程式、被其他程式開啟的資料庫），訊息與實際更新相同；再列出更新會做\n"
    "                        什麼，最後一行說明沒有寫入任何東西。程式與模組的更新：每個檔案的安裝位置，以及新安裝、\n"
    "                        取代舊檔（兩邊的大小、日期與 SHA-256）、已是最新版本或無法安裝，哪個資料庫會先保留為\n"
    "                        .bak，是否關閉與重新啟動 Korvane。藥袋資料（C524011003、C524011002）：將新增與改寫的\n"
    "                        每一筆（藥品代碼與改變的欄位）及筆數。\n"
    "  --report 檔案         與 --dry-run 一起使用：明細寫入 CSV 檔（UTF-8，含位元組順序標記；一列標題，\n"
    "                        每種藥品、每項被拒絕的資料、每個檔案或每筆藥袋資料一列），畫面只顯示合計。\n"
    "                        不能是更新要讀取或寫入的檔案（診所資料庫、藥價資料檔、更新程式與它附帶或要安裝的檔案）。\n"
    "  --history [筆數]      列出這個安裝最近幾次（預設 10 次）更新的記錄，每次一行：開始時間、作業、結果、\n"
    "                        主要數量，沒有完成的還有原因；現在可以用 CDrugPriceUndoActioner 還原的那一次\n"
    "                        標有〔可還原〕。完整記錄在安裝資料夾的 UpdateLog\\updates.log\n"
    "                        （找不到安裝資料夾時的執行，記錄在更新程式資料夾的 UpdateLog 中）。\n"
    "  -h, --help            顯示本說明。\n");

const QString ExitStatuses = QStringLiteral(
    "結束代碼：\n"
    "  0  更新完成（--dry-run：已顯示預覽）\n"
    "  1  更新沒有完成：被拒絕（例如藥價資料檔損毀或被截斷、找不到安裝資料夾、資料庫無法使用，電腦中的資料都沒有變更）、\n"
    "     失敗（資料都維持原狀或已還原），或完成但有項目未完成（有檔案留在更新程式的資料夾、有資料被資料庫拒絕）；\n"
    "     原因都顯示在訊息中，更新程式與其檔案保留，排除原因後可以再執行一次；--history：找不到安裝資料夾；\n"
    "     --dry-run：實際更新會被拒絕或失敗（原因顯示在訊息中），或無法預覽\n"
    "  2  命令列用法錯誤\n"
    "  3  已取消：問題的回答是「否」或取消（例如印表機選擇、藥品數減半的確認；沒有 --answer 也沒有終端機時亦同；\n"
    "     --dry-run 也會詢問）\n");

QString actionList()
{
    QString text = QStringLiteral("作業（方括號內是執行該作業的更新程式）：\n");
    for (const korvane::ActionEntry& entry : ActionCatalogue::entries()) {
        text += QStringLiteral("  %1  [%2]%3\n      %4\n")
                    .arg(entry.name, entry.packExecutable,
                         entry.name == ActionCatalogue::DefaultAction ? QStringLiteral("  （預設）") : QString(),
                         entry.summary);
    }
    return text;
}

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// The unknown options as they were typed ("--bogus", "-x"); the parser names them bare.
QStringList typedOptions(const QStringList& arguments, const QStringList& unknown)
{
    QStringList typed;
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QStringLiteral("--"))
            break;
        if (!argument.startsWith(u'-') || argument == QStringLiteral("-"))
            continue;
        const bool isLong = argument.startsWith(QStringLiteral("--"));
        const QString option = argument.section(u'=', 0, 0);
        const QString name = option.mid(isLong ? 2 : 1);
        // A cluster of short options is unknown when any of its letters is.
        const bool isUnknown = isLong ? unknown.contains(name)
                                      : std::any_of(name.begin(), name.end(),
                                                    [&](QChar c) { return unknown.contains(QString(c)); });
        if (isUnknown && !typed.contains(option))
            typed << option;
    }
    if (typed.isEmpty()) {
        for (const QString& name : unknown)
            typed << (name.size() > 1 ? QStringLiteral("--") : QStringLiteral("-")) + name;
    }
    return typed;
}

int usage(const QString& problem)
{
    print(stderr, problem + u'\n' + Usage + QStringLiteral("「updatlet --help」顯示完整說明。\n"));
    return ExitUsage;
}

// The files a report must never be written over: it would destroy what the update reads.
QString protectedTarget(const QString& report, const korvane::IUnattendedAction& action, const QString& packFolder)
{
    QStringList protectedFiles = action.sourceFiles();
    protectedFiles << QCoreApplication::applicationFilePath();
    for (const korvane::ActionEntry& entry : ActionCatalogue::entries())
        protectedFiles << korvane::platform::joinPath(packFolder, u'\\' + entry.packExecutable);
    for (const QString& file : protectedFiles) {
        if (!file.isEmpty() && korvane::platform::samePath(report, file))
            return file;
    }
    return {};
}

// What a dry run says last when the run would not get as far as its changes: the user has been
// told why, as the run would tell it.
QString stoppedPreview(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Cancelled:
        return QStringLiteral("預覽已取消（上方的問題沒有選擇可以繼續的回答，實際更新時也會取消）；沒有寫入任何檔案或資料。");
    case Outcome::Refused:
        return QStringLiteral("預覽結束：實際更新時會以上方的原因拒絕執行，電腦中的檔案與資料都不會變更；"
                              "預覽也沒有寫入任何檔案或資料。");
    default:
        return QStringLiteral("預覽結束：實際更新時會以上方的原因失敗，電腦中的檔案與資料都不會變更；"
                              "預覽也沒有寫入任何檔案或資料。");
    }
}

// The preview: what a run would change, on standard output or as a report. Its progress goes to
// standard error, so that the list can be sent to a file while the terminal follows.
int dryRun(korvane::IUnattendedAction& action, const korvane::platform::Services& machine,
           korvane::platform::Dialogs& dialogs, const QString& reportPath, const QString& packFolder)
{
    korvane::ConsoleView progress(machine.clock, dialogs, stderr);
    const QString heading = action.previewHeading();
    try {
        print(stdout, (heading.isEmpty() ? QStringLiteral("藥價更新預覽（只讀取，未變更任何資料，藥價資料檔保留原處）") : heading) +
                          QStringLiteral("\n\n"));
        progress.keepAlive();
        const korvane::ActionPreview preview = action.previewChanges(&progress);
        progress.stopKeepingAlive();
        progress.flush();
        if (preview.outcome != Outcome::Done) {
            print(stderr, stoppedPreview(preview.outcome) + u'\n');
            return korvane::exitStatus(preview.outcome);
        }
        if (!reportPath.isEmpty()) {
            if (const QString file = protectedTarget(reportPath, action, packFolder); !file.isEmpty())
                throw korvane::platform::Error(QStringLiteral("報表檔不能寫在這個位置，它是更新要用的檔案：") + file +
                                               QStringLiteral("。請指定另一個檔名，例如 preview.csv。"));
        }
        print(stdout, reportPath.isEmpty() ? preview.changes : preview.totals);
        if (!preview.caution.isEmpty())
            print(stdout, preview.caution + u'\n');
        if (!reportPath.isEmpty()) {
            const QByteArray& csv = preview.csv;
            QSaveFile report(reportPath);
            if (!report.open(QIODevice::WriteOnly) || report.write(csv) != csv.size() || !report.commit())
                throw korvane::platform::Error(
                    QStringLiteral("無法寫入報表檔 ") + QDir::toNativeSeparators(reportPath) +
                    QStringLiteral("，預覽的明細沒有寫出；資料都沒有變更。請確認它所在的資料夾存在而且可以寫入，"
                                   "或以 --report 指定另一個檔案。（") +
                    report.errorString() + u'）');
            print(stdout, QStringLiteral("明細已寫入報表檔：") + QDir::toNativeSeparators(reportPath) + u'\n');
        }
        if (!preview.closing.isEmpty())
            print(stdout, preview.closing + u'\n');
        return korvane::exitStatus(Outcome::Done);
    } catch (...) {
        progress.stopKeepingAlive();
        progress.flush();
        dialogs.messageBox(korvane::platform::MessageIcon::Critical, QStringLiteral("錯誤"),
                           (heading.isEmpty() ? QStringLiteral("無法預覽藥價更新，可能的原因為：\r\n")
                                              : QStringLiteral("無法預覽這項更新（沒有寫入任何檔案或資料），可能的原因為：\r\n")) +
                               korvane::platform::describe(std::current_exception()));
        return korvane::exitStatus(Outcome::Failed);
    }
}

// The last line of a run, from its outcome.
void summarise(Outcome outcome, const korvane::IUnattendedAction* options)
{
    if (const QStringList refused = options ? options->refusedTexts() : QStringList(); !refused.isEmpty())
        print(stderr, QStringLiteral("資料庫拒絕的全部 %1 項資料：\n").arg(refused.size()) + refused.join(u'\n') + u'\n');
    switch (outcome) {
    case Outcome::Done: {
        const QString done = options ? options->doneText() : QString();
        print(stdout, (done.isEmpty() ? QStringLiteral("更新作業完成。") : done) + u'\n');
        return;
    }
    case Outcome::ItemsLeft:
        print(stderr, QStringLiteral("更新作業已執行，但有項目未完成（見上方訊息）；更新程式的檔案保留，排除原因後可以再執行一次。\n"));
        return;
    case Outcome::Refused:
        print(stderr, QStringLiteral("更新作業沒有執行（見上方訊息），電腦中的資料都沒有變更。\n"));
        return;
    case Outcome::Failed:
        print(stderr, QStringLiteral("更新作業失敗（見上方訊息）：資料都維持原狀，或已寫入的部分都已還原；"
                                     "排除原因後可以再執行一次。\n"));
        return;
    case Outcome::Cancelled:
        if (options && options->asksBeforeShrinking())
            print(stderr, QStringLiteral("若確定要以這份藥價資料取代目前的藥品資料，請加上 --allow-shrink 再執行一次。\n"));
        else if (options && !options->cancelledText().isEmpty())
            print(stderr, options->cancelledText() + u'\n');
        return;
    }
}

// The last runs recorded in the installation that the pack folder's settings name.
int history(const QStringList& positional, const QString& packFolder)
{
    bool number = true;
    const int count = positional.isEmpty() ? 10 : positional.first().toInt(&number);
    if (positional.size() > 1 || !number || count < 1)
        return usage(QStringLiteral("--history 之後只能接一個正整數（筆數）：") + positional.join(u' '));
    korvane::platform::ConsoleDialogs dialogs;
    korvane::platform::NativeServices native(dialogs);
    const korvane::platform::Services services = native.services(packFolder);
    const korvane::Installation installation(services);
    const QString folder = korvane::runLogFolder(services);
    const QString log = QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral("updates.log")));
    const QStringList runs = korvane::recentRuns(folder, count);
    if (!installation.exists()) {
        // Said first: an empty list would read as an installation never updated.
        print(stderr, (installation.isSet()
                           ? QStringLiteral("找不到 Korvane 的安裝資料夾：設定中的 ") + installation.folder() +
                                 QStringLiteral(" 不存在")
                           : QStringLiteral("找不到 Korvane 的安裝資料夾：設定中沒有記錄 Korvane 安裝在哪裡")) +
                          QStringLiteral("（查看了 ") + installation.settingLocation() +
                          QStringLiteral("），無法列出它的更新記錄。請以平常使用 Korvane 的帳號執行 updatlet。\n"));
        if (runs.isEmpty())
            print(stdout, QStringLiteral("更新程式資料夾中也沒有更新記錄：") + log + u'\n');
        else
            print(stdout, QStringLiteral("找不到安裝資料夾時，更新記錄寫在更新程式資料夾中；最近 %1 次（記錄在 %2）：\n")
                                  .arg(runs.size())
                                  .arg(log) +
                              runs.join(u'\n') + u'\n');
        return korvane::exitStatus(Outcome::Refused);
    }
    if (runs.isEmpty()) {
        print(stdout, QStringLiteral("這個安裝還沒有更新記錄：") + log + QStringLiteral(" 不存在或是空的。\n"));
        return korvane::exitStatus(Outcome::Done);
    }
    print(stdout, QStringLiteral("最近 %1 次更新（記錄在 %2）：\n").arg(runs.size()).arg(log) + runs.join(u'\n') + u'\n');
    return korvane::exitStatus(Outcome::Done);
}

// Runs the action with the steps and the progress on the terminal, and records the run.
int run(korvane::IAction& action, korvane::ConsoleView& view, korvane::RunRecorder& recorder)
{
    print(stdout, korvane::platform::withLineFeeds(action.getDescription().toString()) + QStringLiteral("\n\n"));
    view.start();
    QString recordWarning;
    const Outcome outcome = korvane::runRecorded(action, view, recorder, recordWarning);
    if (outcome == Outcome::Cancelled)
        view.cancel();
    else
        view.finish();
    summarise(outcome, action.unattended());
    // Never a reason to fail the run: the update itself stands.
    if (!recordWarning.isEmpty())
        print(stderr, recordWarning + u'\n');
    return korvane::exitStatus(outcome);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    korvane::platform::loadQtTranslation();
    QCoreApplication::setApplicationName(QStringLiteral("updatlet"));

    QCommandLineParser parser;
    const QCommandLineOption packFolderOption(QStringLiteral("pack-folder"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption answerOption(QStringLiteral("answer"), QString(), QStringLiteral("TEXT"));
    const QCommandLineOption allowShrinkOption(QStringLiteral("allow-shrink"));
    const QCommandLineOption dryRunOption(QStringLiteral("dry-run"));
    const QCommandLineOption reportOption(QStringLiteral("report"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption historyOption(QStringLiteral("history"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions(
        {packFolderOption, answerOption, allowShrinkOption, dryRunOption, reportOption, historyOption, helpOption});
    if (!parser.parse(QCoreApplication::arguments())) {
        const QStringList unknown = parser.unknownOptionNames();
        // Qt's own words otherwise, in Chinese with its translation.
        return usage(unknown.isEmpty() ? parser.errorText()
                                       : QStringLiteral("不認得的選項：") +
                                             typedOptions(QCoreApplication::arguments(), unknown).join(QStringLiteral("、")));
    }
    if (parser.isSet(helpOption)) {
        print(stdout, Usage + u'\n' + Options + u'\n' + actionList() + u'\n' + ExitStatuses);
        return korvane::exitStatus(Outcome::Done);
    }
    QString packFolder = korvane::platform::applicationFolder();
    if (parser.isSet(packFolderOption)) {
        QString folder = QDir::toNativeSeparators(QDir(parser.value(packFolderOption)).absolutePath());
        if (!QDir(folder).exists())
            return usage(QStringLiteral("沒有這個資料夾：") + parser.value(packFolderOption));
        packFolder = folder;
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(historyOption))
        return history(positional, packFolder);
    if (positional.size() > 1)
        return usage(QStringLiteral("作業只能指定一個：") + positional.join(u' '));
    const QString actionName =
        positional.isEmpty() ? ActionCatalogue::DefaultAction.toString() : positional.first();
    const korvane::ActionEntry* entry = ActionCatalogue::find(actionName);
    if (!entry)
        return usage(QStringLiteral("沒有這個作業：") + actionName + QStringLiteral("（作業名稱見 --help）"));
    if (parser.isSet(reportOption) && !parser.isSet(dryRunOption))
        return usage(QStringLiteral("--report 只能與 --dry-run 一起使用"));

    korvane::platform::ConsoleDialogs dialogs;
    dialogs.answerFrom(parser.values(answerOption));
    korvane::platform::NativeServices native(dialogs);
    const korvane::platform::Services machine = native.services(packFolder);
    korvane::ConsoleView view(machine.clock, dialogs);
    // Every run is recorded in the installation, with every message the terminal showed.
    korvane::RunRecorder recorder(machine.with(static_cast<korvane::platform::Dialogs&>(view)), entry->name,
                                  QCoreApplication::applicationFilePath());
    const auto action = entry->create(recorder.services());
    korvane::IUnattendedAction* options = action->unattended();
    if (parser.isSet(allowShrinkOption) && !(options && options->asksBeforeShrinking()))
        return usage(QStringLiteral("--allow-shrink 只適用於 C52407301"));
    if (parser.isSet(dryRunOption) && !options)
        return usage(QStringLiteral("這項作業沒有 --dry-run：") + entry->name);

    if (parser.isSet(dryRunOption))
        return dryRun(*options, machine, dialogs, parser.value(reportOption), packFolder);
    if (options)
        options->setAllowShrink(parser.isSet(allowShrinkOption));
    return run(*action, view, recorder);
}
