// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// A Qt input plugin that plays the user inside a real, unmodified pack process (load it with
// QT_PLUGIN_PATH and QT_QPA_GENERIC_PLUGINS=korvanewizardhand). Once the wizard is up it sets
// the view's IsNotClosedForm by name, as a host may, and presses OK: after a successful run the
// finishing step then unloads the hidden form instead of ending the process. With
// KORVANE_WIZARDHAND_PRESS=btn取消 it presses 取消 instead.

#include <QApplication>
#include <QGenericPlugin>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

class WizardHand : public QObject
{
public:
    WizardHand() { QTimer::singleShot(0, this, &WizardHand::lookForWizard); }

private:
    void lookForWizard()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows) {
            QWidget* view = window->findChild<QWidget*>(QStringLiteral("ComponentName"));
            const QString button = qEnvironmentVariable("KORVANE_WIZARDHAND_PRESS", QStringLiteral("btnOk"));
            auto* ok = window->findChild<QPushButton*>(button);
            if (!view || !ok || !window->isVisible())
                continue;
            if (!view->setProperty("IsNotClosedForm", true)) {
                std::fputs("wizardhand: the view has no property IsNotClosedForm\n", stderr);
                QCoreApplication::exit(3);
                return;
            }
            ok->click();
            return;
        }
        QTimer::singleShot(50, this, &WizardHand::lookForWizard);
    }
};

} // namespace

class WizardHandPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "wizardhand.json")
public:
    QObject* create(const QString& key, const QString&) override
    {
        if (key.compare(QStringLiteral("korvanewizardhand"), Qt::CaseInsensitive) != 0)
            return nullptr;
        return new WizardHand;
    }
};

#include "WizardHandPlugin.moc"
