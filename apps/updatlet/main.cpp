// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// updatlet: runs one update action unattended, exactly as the pack's wizard would run it, with
// the step list, the progress and every message box on the terminal. For rolling a pack out
// without clicks.

#include "actions/RunAction.h"
#include "catalogue/ActionCatalogue.h"
#include "platform/ConsoleDialogs.h"
#include "platform/NativeServices.h"
#include "shell/console/ConsoleProcesses.h"
#include "shell/console/ConsoleView.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
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

const QString ExitStatuses =
    QStringLiteral("Exit status: 0 the action ended without a critical message, 1 it "
                   "showed one (the update failed), 2 usage error, 3 cancelled at a prompt.\n");

int usage(const QString& problem)
{
    std::fprintf(stderr, "%s\nusage: updatlet [--pack-folder DIR] [--answer TEXT]... [ACTION]\n%s",
                 problem.toUtf8().constData(), actionList().toUtf8().constData());
    return ExitUsage;
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
    parser.addOption(packFolderOption);
    const QCommandLineOption answerOption(
        QStringLiteral("answer"),
        QStringLiteral(
            "The answer to the action's next question, for a run nobody watches (the printer of "
            "CDrugDeployActioner: 1 or 2); once per question. Without it a question is asked on the "
            "terminal, or cancelled where there is none."),
        QStringLiteral("TEXT"));
    parser.addOption(answerOption);
    parser.addHelpOption();
    parser.addPositionalArgument(
        QStringLiteral("ACTION"),
        QStringLiteral("The action class to run (default %1).").arg(ActionCatalogue::DefaultAction),
        QStringLiteral("[ACTION]"));
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s\n%s\n%s", parser.helpText().toUtf8().constData(), actionList().toUtf8().constData(),
                    ExitStatuses.toUtf8().constData());
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

    std::printf("%s\n\n", action->getDescription()
                              .toString()
                              .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                              .toUtf8()
                              .constData());
    view.start();
    const bool ran = korvane::runAction(*action, view, view);
    view.finish();
    return !ran || dialogs.criticalShown() ? ExitFailed : ExitDone;
}
