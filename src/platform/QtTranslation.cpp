// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "QtTranslation.h"

#include <QCoreApplication>
#include <QTranslator>

namespace korvane::platform {

bool loadQtTranslation()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return false;
    // Owned by the application, so that it lasts as long as the texts it translates.
    auto* translator = new QTranslator(application);
    if (!translator->load(QStringLiteral(":/korvane/translations/qtbase_zh_TW.qm")) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace korvane::platform
