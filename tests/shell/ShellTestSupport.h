// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "Fakes.h"
#include "MemoryFileSystem.h"
#include "actions/IAction.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"
#include "shell/frmOptionPanel.h"
#include "shell/modUpdatlet.h"
#include "shell/utlUpdatorView.h"

#include <QCoreApplication>
#include <QDir>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace korvane::test {

// An action whose every answer and run the test chooses.
class TestAction : public IAction
{
public:
    QVariant getDescription() override { return description; }
    Outcome action(IUpdatorView& p_form) override
    {
        ++runs;
        if (run)
            run(p_form);
        return outcome;
    }
    QString getAppName() override
    {
        ++appNameCalls;
        if (appNameFails)
            throw platform::Error(QStringLiteral("物件不支援此屬性或方法"));
        return appName;
    }

    QVariant description = QStringLiteral("藥價更新 藥價更新程式序號 v1.0.0.6");
    QString appName = QStringLiteral("UP52407301.exe");
    bool appNameFails = false;
    std::function<void(IUpdatorView&)> run;
    Outcome outcome = Outcome::Done;
    int runs = 0;
    int appNameCalls = 0;
};

// Lets deferred deletions run, as the event loop would after a click has been handled.
inline void deliverDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The wizard built through start-up, on fakes, with a pack folder in native separators.
class WizardFixture : public ::testing::Test
{
protected:
    void TearDown() override
    {
        deliverDeferredDeletes();
        delete form.data();
    }

    void start() { start(action); }
    void start(std::shared_ptr<IAction> p_action)
    {
        form = modUpdatlet::Main(services, std::move(p_action), [this](Outcome outcome) { ended.push_back(outcome); });
        view = qobject_cast<utlUpdatorView*>(form->getUserControl());
        ASSERT_NE(view, nullptr);
    }

    template <typename T> T* child(const char* name) const
    {
        return view->findChild<T*>(QString::fromUtf8(name));
    }

    // True once the host form has been closed and deleted.
    bool unloaded()
    {
        deliverDeferredDeletes();
        return form.isNull();
    }

    QString packPath(const QString& name) const { return packFolder + QDir::separator() + name; }

    FakeSettingsStore settings;
    MemoryFileSystem files;
    FakeProcesses processes;
    FakeClock clock;
    CountingEventPump events;
    FakeDialogs dialogs;
    QString packFolder = QDir::toNativeSeparators(QStringLiteral("/srv/pack"));
    platform::Services services{settings, files, processes, clock, events, dialogs, packFolder};
    std::shared_ptr<TestAction> action = std::make_shared<TestAction>();
    QPointer<frmOptionPanel> form;
    utlUpdatorView* view = nullptr;
    std::vector<Outcome> ended; // as the pack hears how the wizard ended
};

} // namespace korvane::test
