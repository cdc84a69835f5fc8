// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// UP52407301.exe: the monthly drug-price update pack.

#include "platform/Error.h"
#include "platform/NativeServices.h"
#include "platform/widgets/WidgetDialogs.h"
#include "pricing/C52407301.h"
#include "shell/modUpdatlet.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    korvane::platform::WidgetDialogs dialogs;
    korvane::platform::NativeServices native(dialogs);
    const korvane::platform::Services services = native.services();
    try {
        korvane::modUpdatlet::Main(services, std::make_shared<korvane::C52407301>(services));
    } catch (const korvane::platform::Error& error) {
        dialogs.messageBox(korvane::platform::MessageIcon::Critical, QStringLiteral("UP52407301"), error.description());
        return 1;
    }
    return QApplication::exec();
}
