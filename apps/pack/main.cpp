// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// A pack executable: the wizard around the one action it is built for (KORVANE_PACK_ACTION).

#include "actions/RunRecord.h"
#include "catalogue/ActionCatalogue.h"
#include "platform/Error.h"
#include "platform/NativeServices.h"
#include "platform/QtTranslation.h"
#include "platform/widgets/WidgetDialogs.h"
#include "shell/modUpdatlet.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    korvane::platform::loadQtTranslation();
    korvane::platform::WidgetDialogs dialogs;
    korvane::platform::NativeServices native(dialogs);
    const korvane::platform::Services services = native.services();
    const korvane::ActionEntry* entry = korvane::ActionCatalogue::find(QStringLiteral(KORVANE_PACK_ACTION));
    const QString title =
        entry ? entry->packExecutable.section(u'.', 0, 0) : QStringLiteral(KORVANE_PACK_ACTION);
    // Closing the wizard without a run cancels; a run replaces this with how it ended.
    korvane::Outcome outcome = korvane::Outcome::Cancelled;
    // Every run leaves a record in the installation; the recorder sees every message. It lives
    // as long as the wizard, whose action reaches its dialogs.
    std::shared_ptr<korvane::RunRecorder> recorder;
    try {
        if (!entry)
            throw korvane::platform::Error(QStringLiteral("無法建立更新作業：") +
                                           QStringLiteral(KORVANE_PACK_ACTION));
        recorder = std::make_shared<korvane::RunRecorder>(services, entry->name,
                                                               QCoreApplication::applicationFilePath());
        const korvane::platform::Services recorded = recorder->services();
        korvane::modUpdatlet::Main(recorded, entry->create(recorded),
                                   [&outcome](korvane::Outcome ended) { outcome = ended; }, recorder);
    } catch (const korvane::platform::Error& error) {
        dialogs.messageBox(korvane::platform::MessageIcon::Critical, title, error.description());
        return korvane::exitStatus(korvane::Outcome::Failed);
    }
    QApplication::exec();
    // Whoever started the pack (a script, a deployment tool) learns from the exit status how the
    // run ended.
    return korvane::exitStatus(outcome);
}
