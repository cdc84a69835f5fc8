// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// updatlet: runs one update action unattended, exactly as the pack's wizard would run it, with
// the step list, the progress and every message box on the terminal. For rolling a pack out
// without clicks. For the drug-price update it can also show what an update would change.

#include "actions/RunAction.h"
#include "catalogue/ActionCatalogue.h"
#include "platform/ConsoleDialogs.h"
#include "platform/Error.h"
#include "platform/NativeServices.h"
#include "pricing/C52407301.h"
#include "shell/console/ConsoleProcesses.h"
#include "shell/console/ConsoleView.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <cstdio>

namespace {

using korvane::ActionCatalogue;

constexpr int ExitDone = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
constexpr int ExitCancelled = 3;

QString actionList()
{
    QString text = QStringLiteral("Actions (the pack executable that carries each in brackets):\n");
    for (const korvane::ActionEntry& entry : ActionCatalogue::entries()) {
        text +=
            QStringLiteral("  %1  [%2]%3\n      %4\n")
                .arg(entry.name, entry.packExecutable,
                     entry.name == ActionCatalogue::DefaultAction ? QStringLiteral("  (default)") : QString(),
                     entry.summary);
    }
    return text;
}

const QString ExitStatuses = QStringLiteral(
    "Exit status:\n"
    "  0  the action ended without a critical message (with --dry-run: the preview was shown)\n"
    "  1  it showed one: the update failed or was refused (a damaged or cut-short price list, a\n"
    "     database it cannot use, a list that would leave fewer than half of the drugs without\n"
    "     --allow-shrink); the database and the pack's files are then as they were\n"
    "  2  usage error\n"
    "  3  the run was cancelled at a question (no --answer given and no terminal to ask)\n");

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int usage(const QString& problem)
{
    print(stderr, problem + QStringLiteral("\nusage: updatlet [--pack-folder DIR] [--answer TEXT]... [--allow-shrink] "
                                           "[--dry-run [--report FILE]] [ACTION]\n") +
                      actionList());
    return ExitUsage;
}

// The drug-price update's preview: what would change, on standard output or as a report.
int dryRun(korvane::C52407301& action, korvane::platform::Dialogs& dialogs, const QString& reportPath)
{
    try {
        const korvane::DrugPricePreview preview = action.preview();
        print(stdout, QStringLiteral("藥價更新預覽（只讀取，未變更任何資料，藥價資料檔保留原處）\n\n") +
                          preview.text(reportPath.isEmpty()));
        if (preview.tableRows() > 0 && preview.listRecords() * 2 < preview.tableRows())
            print(stdout, QStringLiteral("注意：更新後的藥品不到目前的一半；實際更新時會先詢問是否套用，"
                                         "updatlet 須加上 --allow-shrink 才會套用。\n"));
        if (!reportPath.isEmpty()) {
            const QByteArray csv = preview.csv();
            QSaveFile report(reportPath);
            if (!report.open(QIODevice::WriteOnly) || report.write(csv) != csv.size() || !report.commit())
                throw korvane::platform::Error(QStringLiteral("無法寫入報表檔：") + reportPath +
                                               QStringLiteral("（") + report.errorString() + u'）');
            print(stdout, QStringLiteral("明細已寫入報表檔：") + QDir::toNativeSeparators(reportPath) + u'\n');
        }
        return ExitDone;
    } catch (...) {
        dialogs.messageBox(korvane::platform::MessageIcon::Critical, QStringLiteral("錯誤"),
                           QStringLiteral("無法預覽藥價更新，可能的原因為：\r\n") +
                               korvane::platform::describe(std::current_exception()));
        return ExitFailed;
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("updatlet"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs one update action of a pack without its wizard."));
    const QCommandLineOption packFolderOption(QStringLiteral("pack-folder"),
                                              QStringLiteral("The folder that holds the pack's files "
                                                             "(default: the folder of updatlet)."),
                                              QStringLiteral("DIR"));
    const QCommandLineOption allowShrinkOption(
        QStringLiteral("allow-shrink"),
        QStringLiteral("C52407301: apply a price list even when it holds fewer than half of the drugs "
                       "tblDrugs holds now (otherwise such a list is refused)."));
    const QCommandLineOption dryRunOption(
        QStringLiteral("dry-run"),
        QStringLiteral("C52407301: read all.puf and tblDrugs, write nothing, keep all.puf, and show the drugs "
                       "that would be added, removed and repriced, with totals."));
    const QCommandLineOption reportOption(
        QStringLiteral("report"),
        QStringLiteral("With --dry-run: write the changes to FILE as CSV (UTF-8 with a byte-order mark) and "
                       "show only the totals."),
        QStringLiteral("FILE"));
    parser.addOption(packFolderOption);
    const QCommandLineOption answerOption(
        QStringLiteral("answer"),
        QStringLiteral(
            "The answer to the action's next question, for a run nobody watches (the printer of "
            "CDrugDeployActioner: 1 or 2); once per question. Without it a question is asked on the "
            "terminal, or cancelled where there is none."),
        QStringLiteral("TEXT"));
    parser.addOption(answerOption);
    parser.addOption(allowShrinkOption);
    parser.addOption(dryRunOption);
    parser.addOption(reportOption);
    parser.addHelpOption();
    parser.addPositionalArgument(
        QStringLiteral("ACTION"),
        QStringLiteral("The action class to run (default %1).").arg(ActionCatalogue::DefaultAction),
        QStringLiteral("[ACTION]"));
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        print(stdout, parser.helpText() + u'\n' + actionList() + u'\n' + ExitStatuses);
        return ExitDone;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return usage(QStringLiteral("too many arguments"));
    const QString actionName =
        positional.isEmpty() ? ActionCatalogue::DefaultAction.toString() : positional.first();
    const korvane::ActionEntry* entry = ActionCatalogue::find(actionName);
    if (!entry)
        return usage(QStringLiteral("unknown action: ") + actionName);
    if (parser.isSet(reportOption) && !parser.isSet(dryRunOption))
        return usage(QStringLiteral("--report goes with --dry-run"));

    QString packFolder = korvane::platform::applicationFolder();
    if (parser.isSet(packFolderOption)) {
        QString folder = QDir::toNativeSeparators(QDir(parser.value(packFolderOption)).absolutePath());
        if (!QDir(folder).exists())
            return usage(QStringLiteral("no such folder: ") + parser.value(packFolderOption));
        packFolder = folder;
    }

    korvane::platform::ConsoleDialogs dialogs;
    dialogs.answerFrom(parser.values(answerOption));
    korvane::platform::NativeServices native(dialogs);
    const korvane::platform::Services machine = native.services(packFolder);
    korvane::ConsoleView view(machine.clock, dialogs);
    korvane::ConsoleProcesses processes(machine.processes, view, ExitCancelled);
    const korvane::platform::Services services =
        machine.with(static_cast<korvane::platform::Dialogs&>(view)).with(processes);
    const auto action = entry->create(services);
    auto* priceUpdate = dynamic_cast<korvane::C52407301*>(action.get());
    if (!priceUpdate && (parser.isSet(dryRunOption) || parser.isSet(allowShrinkOption)))
        return usage(QStringLiteral("--dry-run and --allow-shrink are for C52407301 only"));

    if (parser.isSet(dryRunOption))
        return dryRun(*priceUpdate, dialogs, parser.value(reportOption));
    if (priceUpdate)
        priceUpdate->setAllowShrink(parser.isSet(allowShrinkOption));

    print(stdout, action->getDescription().toString().replace(QStringLiteral("\r\n"), QStringLiteral("\n")) +
                      QStringLiteral("\n\n"));
    view.start();
    const bool ran = korvane::runAction(*action, view, view);
    view.finish();
    if (!ran || dialogs.criticalShown()) {
        if (priceUpdate && priceUpdate->shrinkRefused())
            print(stderr, QStringLiteral("若確定要以這份藥價資料取代目前的藥品資料，請加上 --allow-shrink 再執行一次。\n"));
        return ExitFailed;
    }
    print(stdout, priceUpdate ? QStringLiteral("藥價更新完成：藥品資料表 tblDrugs 現有 %1 筆藥品資料。\n")
                                    .arg(priceUpdate->drugCount())
                              : QStringLiteral("更新作業完成。\n"));
    return ExitDone;
}
