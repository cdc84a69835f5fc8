// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "modUpdatlet.h"

#include "frmOptionPanel.h"
#include "platform/Error.h"
#include "utlUpdatorView.h"

#include <QCoreApplication>

namespace korvane {

ViewRegistry modUpdatlet::viewRegistry(const platform::Services& services)
{
    ViewRegistry registry;
    registry.registerFactory(utlUpdatorView::Identifier,
                             [services](QWidget* parent) { return new utlUpdatorView(services, parent); });
    return registry;
}

frmOptionPanel* modUpdatlet::Main(const platform::Services& services, std::shared_ptr<IAction> p_action,
                                  std::function<void(Outcome)> onEnded, std::shared_ptr<RunRecorder> recorder)
{
    auto* form = new frmOptionPanel(viewRegistry(services));
    QString identifier = utlUpdatorView::Identifier;
    form->setUserControl(identifier);
    auto* view = qobject_cast<utlUpdatorView*>(form->getUserControl());
    try {
        if (!view)
            throw platform::Error(QStringLiteral("無法建立元件：") + identifier,
                                  platform::Error::Kind::NullObject);
        view->setActioner(std::move(p_action));
        view->setRecorder(std::move(recorder));
        if (onEnded)
            QObject::connect(view, &utlUpdatorView::ended, view, std::move(onEnded));
    } catch (...) {
        delete form;
        throw;
    }
    // The program ends with its form. Qt ends it only when the last visible window closes, and a
    // run may hide the form before it is unloaded; the process would then stay, holding the pack.
    QObject::connect(form, &QObject::destroyed, QCoreApplication::instance(), &QCoreApplication::quit);
    form->show();
    return form;
}

} // namespace korvane
