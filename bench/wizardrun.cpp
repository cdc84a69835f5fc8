// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// wizardrun PACK_FOLDER: runs the drug-price update through the real wizard, as the pack
// does, pressing OK by itself; for timing the wizard against updatlet. Message boxes go to the
// terminal so that nothing waits for a hand. When the wizard ends the process, as the pack
// does, it first prints how long it took from OK: "import: N ms".

#include "actions/RunRecord.h"
#include "catalogue/ActionCatalogue.h"
#include "platform/ConsoleDialogs.h"
#include "platform/NativeServices.h"
#include "platform/QtTranslation.h"
#include "shell/frmOptionPanel.h"
#include "shell/modUpdatlet.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

// The machine's processes, but the end of the process first tells the time since OK.
class TimedProcesses : public korvane::platform::Processes
{
public:
    explicit TimedProcesses(korvane::platform::Processes& real) : m_real(real) {}
    bool startDetached(const QString& commandLine, const QString& folder, korvane::platform::WindowStyle style,
                       QString* whyNot) override
    {
        return m_real.startDetached(commandLine, folder, style, whyNot);
    }
    bool startSelfRemoval(const QString& folder, const QString& scriptName, const QString& target) override
    {
        return m_real.startSelfRemoval(folder, scriptName, target);
    }
    void endProcess() override
    {
        std::printf("import: %lld ms\n", static_cast<long long>(sinceOk.elapsed()));
        m_real.endProcess();
    }
    QElapsedTimer sinceOk;

private:
    korvane::platform::Processes& m_real;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    korvane::platform::loadQtTranslation();
    if (argc != 2) {
        std::fprintf(stderr, "usage: wizardrun PACK_FOLDER\n");
        return 2;
    }
    korvane::platform::ConsoleDialogs dialogs;
    korvane::platform::NativeServices native(dialogs);
    const korvane::platform::Services real =
        native.services(QDir::toNativeSeparators(QDir(QString::fromLocal8Bit(argv[1])).absolutePath()));
    TimedProcesses processes(real.processes);
    // Made and recorded as the pack makes and records it.
    const korvane::ActionEntry* entry = korvane::ActionCatalogue::find(korvane::ActionCatalogue::DefaultAction);
    auto recorder = std::make_shared<korvane::RunRecorder>(real.with(processes), entry->name,
                                                           QCoreApplication::applicationFilePath());
    const korvane::platform::Services services = recorder->services();
    QWidget* form = korvane::modUpdatlet::Main(services, entry->create(services), {}, recorder);
    QTimer::singleShot(0, form, [form, &processes] {
        // OK is pressed on a wizard that is on the screen, as a user presses it: its first
        // painting (and the loading of its fonts) belongs to the start, not to the run.
        form->repaint();
        if (auto* ok = form->findChild<QPushButton*>(QStringLiteral("btnOk"))) {
            processes.sinceOk.start();
            ok->click();
        }
    });
    return QApplication::exec();
}
