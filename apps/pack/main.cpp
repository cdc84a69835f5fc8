// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// A pack executable: the wizard around the one action it is built for (KORVANE_PACK_ACTION).

#include "catalogue/ActionCatalogue.h"
#include "platform/Error.h"
#include "platform/NativeServices.h"
#include "platform/widgets/WidgetDialogs.h"
#include "shell/modUpdatlet.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    korvane::platform::WidgetDialogs dialogs;
    korvane::platform::NativeServices native(dialogs);
    const korvane::platform::Services services = native.services();
    const korvane::ActionEntry* entry = korvane::ActionCatalogue::find(QStringLiteral(KORVANE_PACK_ACTION));
    const QString title =
        entry ? entry->packExecutable.section(u'.', 0, 0) : QStringLiteral(KORVANE_PACK_ACTION);
    try {
        if (!entry)
            throw korvane::platform::Error(QStringLiteral("無法建立更新作業：") +
                                           QStringLiteral(KORVANE_PACK_ACTION));
        korvane::modUpdatlet::Main(services, entry->create(services));
    } catch (const korvane::platform::Error& error) {
        dialogs.messageBox(korvane::platform::MessageIcon::Critical, title, error.description());
        return 1;
    }
    const int status = QApplication::exec();
    // A failed run tells the user in a critical message; whoever started the pack (a script,
    // a deployment tool) learns it from the exit status.
    return dialogs.criticalShown() ? 1 : status;
}
