// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// updatlet: runs one update action unattended, exactly as the pack's wizard would run it, with
// the step list, the progress and every message box on the terminal. For rolling a pack out
// without clicks. Exit status: 0 when the action ended without a critical message, 1 when it
// showed one, 2 for a usage error.

#include "platform/ConsoleDialogs.h"
#include "platform/NativeServices.h"
#include "pricing/C52407301.h"
#include "shell/console/ConsoleView.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>

namespace {

using ActionFactory = std::function<std::unique_ptr<korvane::IAction>(const korvane::platform::Services&)>;

const std::map<QString, ActionFactory>& actions()
{
    static const std::map<QString, ActionFactory> catalog{
        {QStringLiteral("C52407301"),
         [](const korvane::platform::Services& s) { return std::make_unique<korvane::C52407301>(s); }},
    };
    return catalog;
}

int usage(const QString& problem)
{
    QString text = problem + QStringLiteral("\nusage: updatlet [--pack-folder DIR] [ACTION]\nactions:");
    for (const auto& entry : actions())
        text += u' ' + entry.first;
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("updatlet"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs one update action of the pack without its wizard."));
    const QCommandLineOption packFolderOption(QStringLiteral("pack-folder"),
                                              QStringLiteral("The folder that holds the pack's files."),
                                              QStringLiteral("DIR"));
    parser.addOption(packFolderOption);
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("ACTION"), QStringLiteral("The action class to run (C52407301)."));
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", parser.helpText().toUtf8().constData());
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return usage(QStringLiteral("too many arguments"));
    const QString actionName = positional.isEmpty() ? QStringLiteral("C52407301") : positional.first();
    const auto factory = actions().find(actionName);
    if (factory == actions().end())
        return usage(QStringLiteral("unknown action: ") + actionName);

    QString packFolder = korvane::platform::applicationFolder();
    if (parser.isSet(packFolderOption)) {
        QString folder = QDir::toNativeSeparators(QDir(parser.value(packFolderOption)).absolutePath());
        if (!QDir(folder).exists())
            return usage(QStringLiteral("no such folder: ") + parser.value(packFolderOption));
        packFolder = folder;
    }

    korvane::platform::ConsoleDialogs dialogs;
    korvane::platform::NativeServices native(dialogs);
    const korvane::platform::Services machine = native.services(packFolder);
    korvane::ConsoleView view(machine.clock, dialogs);
    const korvane::platform::Services services = machine.with(static_cast<korvane::platform::Dialogs&>(view));
    const auto action = factory->second(services);

    std::printf("%s\n\n", action->getDescription().toString().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8().constData());
    view.start();
    try {
        action->action(view);
    } catch (const std::exception& e) {
        // The wizard ignores what escapes an action; a terminal run at least says so.
        std::fprintf(stderr, "%s\n", e.what());
    }
    view.finish();
    return dialogs.criticalShown() ? 1 : 0;
}
