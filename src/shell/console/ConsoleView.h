// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "actions/IUpdatorView.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QElapsedTimer>
#include <QString>
#include <cstdio>

namespace korvane {

// The wizard's view for unattended runs on a terminal: the step list, the progress and the
// times go to a stream instead of widgets. Messages arrive once per record; the terminal is
// written at most a few times a second, and the last text always reaches it. It is also the
// dialogs of the run, so that a message box comes after the text it belongs to.
class ConsoleView : public IUpdatorView, public platform::Dialogs
{
public:
    ConsoleView(const platform::Clock& clock, platform::Dialogs& dialogs, std::FILE* out = stdout);

    void messageBox(platform::MessageIcon icon, const QString& title, const QString& text) override;
    QString inputBox(const QString& prompt, const QString& title) override;
    bool question(const QString& title, const QString& text, bool defaultYes = false) override;

    void setMessgaeValue(const QString& p_value) override;
    void setProgressBarValue(qint16 p_value) override;
    void fireActionCompleted() override;
    void hideForm() override;
    void setIsNotClosedForm(bool p_value) override { ivIsNotClosedForm = p_value; }

    // "開始時間：" and the time of day, as the wizard shows it on OK.
    void start();
    // Writes what is still pending.
    void flush();
    // Writes what is pending, then the time of day and how long the run took.
    void finish();
    // Writes what is pending, then that the run was cancelled and the time of day.
    void cancel();

    const QString& messageValue() const { return ivMessage; }
    qint16 progressValue() const { return ivProgress; }

private:
    void write(const QString& text);

    const platform::Clock& ivClock;
    platform::Dialogs& ivDialogs;
    std::FILE* ivOut;
    QString ivMessage;
    QString ivShownMessage;
    qint16 ivProgress = 0;
    qint16 ivShownProgress = -1;
    bool ivIsNotClosedForm = false;
    QElapsedTimer ivSinceShown;
    QElapsedTimer ivSinceStart;
};

} // namespace korvane
