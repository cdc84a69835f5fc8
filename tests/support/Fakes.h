// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "actions/IUpdatorView.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/Processes.h"
#include "platform/SettingsStore.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>
#include <vector>

namespace korvane::test {

class FakeSettingsStore : public platform::SettingsStore
{
public:
    QString read(const QString& application, const QString& section, const QString& key) const override;
    QString location(const QString& application, const QString& section, const QString& key) const override;
    void set(const QString& application, const QString& section, const QString& key, const QString& value);
    void setInstallationFolder(const QString& folder);
    mutable int reads = 0;

private:
    QMap<QString, QString> m_values;
};

class FakeClock : public platform::Clock
{
public:
    QTime timeOfDay() const override { return now; }
    QTime now{9, 30, 5};
};

class CountingEventPump : public platform::EventPump
{
public:
    void processEvents() override
    {
        ++calls;
        if (onProcess)
            onProcess();
    }
    // Returns at once.
    void processEventsFor(int) override { processEvents(); }
    int calls = 0;
    std::function<void()> onProcess;
};

struct ShownMessage
{
    platform::MessageIcon icon;
    QString title;
    QString text;
};

struct AskedQuestion
{
    QString title;
    QString text;
    bool defaultYes;
};

// Records every message box and question; input boxes and questions are answered from queues
// (a question with none left gets its default answer).
class FakeDialogs : public platform::Dialogs
{
public:
    void messageBox(platform::MessageIcon icon, const QString& title, const QString& text) override;
    QString inputBox(const QString& prompt, const QString& title) override;
    bool question(const QString& title, const QString& text, bool defaultYes = false) override;

    std::vector<ShownMessage> messages;
    QStringList answers;
    QStringList prompts;
    std::vector<AskedQuestion> questions;
    std::vector<bool> questionAnswers;
    std::function<void(const ShownMessage&)> onMessage;
};

struct StartedProcess
{
    QString commandLine;
    QString workingFolder;
    platform::WindowStyle style;
};

class FakeProcesses : public platform::Processes
{
public:
    bool startDetached(const QString& commandLine, const QString& workingFolder, platform::WindowStyle style,
                       QString* whyNot = nullptr) override;
    bool startSelfRemoval(const QString& folder, const QString& scriptName, const QString& target) override;
    void endProcess() override { ++endCalls; }

    std::vector<StartedProcess> started;
    bool startsFail = false; // every start fails, as a program that is not there would
    struct SelfRemoval
    {
        QString folder, scriptName, target;
    };
    std::vector<SelfRemoval> selfRemovals;
    int endCalls = 0;
};

// The view as an action sees it, with everything it was told.
class FakeView : public IUpdatorView
{
public:
    void setMessgaeValue(const QString& p_value) override;
    void setProgressBarValue(qint16 p_value) override;
    void fireActionCompleted() override { ++completedCalls; }
    void hideForm() override { ++hideCalls; }
    void setIsNotClosedForm(bool p_value) override { isNotClosedForm = p_value; }

    QString message;
    QStringList messages; // every text, in order
    std::vector<qint16> progress;
    int completedCalls = 0;
    int hideCalls = 0;
    bool isNotClosedForm = false;
    std::function<void()> onMessage;
};

} // namespace korvane::test
