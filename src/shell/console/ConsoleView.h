// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "actions/IUpdatorView.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QElapsedTimer>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace korvane {

// The wizard's view for unattended runs on a terminal: the step list, the progress and the
// times go to a stream instead of widgets. Messages arrive once per record, so the stream gets
// what a reader can follow: a message of a new form in full, at once; one that differs from a
// shown one only in its numbers or its step mark, by its changed lines, and the progress, at
// most every half second on a terminal; in a file or a pipe (the log of an unattended run) every
// ten seconds, and the progress at each tenth. The last text always reaches it. Where an action
// works a while without reporting (reading a table, committing), a terminal told nothing for a
// second hears that the work goes on. It is also the dialogs of the run, so that a message box
// comes after the text it belongs to.
class ConsoleView : public IUpdatorView, public platform::Dialogs
{
public:
    static constexpr qint64 TerminalIntervalMs = 500;
    static constexpr qint64 LogIntervalMs = 10'000;

    ConsoleView(const platform::Clock& clock, platform::Dialogs& dialogs, std::FILE* out = stdout);
    ~ConsoleView() override;
    ConsoleView(const ConsoleView&) = delete;
    ConsoleView& operator=(const ConsoleView&) = delete;

    void messageBox(platform::MessageIcon icon, const QString& title, const QString& text) override;
    QString inputBox(const QString& prompt, const QString& title) override;
    bool question(const QString& title, const QString& text, bool defaultYes = false) override;

    void setMessgaeValue(const QString& p_value) override;
    void setProgressBarValue(qint16 p_value) override;
    void fireActionCompleted() override;
    void hideForm() override;
    void setIsNotClosedForm(bool p_value) override { ivIsNotClosedForm = p_value; }

    // "開始時間：" and the time of day, as the wizard shows it on OK; then keepAlive().
    void start();
    // Until stopKeepingAlive() (or finish(), cancel()), a terminal that has been told nothing for
    // a second is told that the work goes on and for how long it has. Not in a file or a pipe.
    void keepAlive();
    void stopKeepingAlive();
    // Writes what is still pending.
    void flush();
    // Writes what is pending, then the time of day and how long the run took.
    void finish();
    // Writes what is pending, then that the run was cancelled and the time of day.
    void cancel();

    const QString& messageValue() const { return ivMessage; }
    qint16 progressValue() const { return ivProgress; }

    // For tests: whether to pace the stream as a terminal, and the clock that measures it
    // (milliseconds, only differences count). Such a view keeps nobody alive.
    void setPace(bool terminal, std::function<qint64()> milliseconds);

private:
    void write(const QString& text);
    void writeLocked(const QString& text);
    // flush() with the lock held; whether anything was written.
    bool flushLocked();
    void heartbeat();
    bool due() const;
    // The message as the stream should get it now: whole, or the lines that changed since a
    // message of its form was last written.
    QString changedPart(const QString& message);

    const platform::Clock& ivClock;
    platform::Dialogs& ivDialogs;
    std::FILE* ivOut;
    QString ivMessage;
    QString ivShownMessage;
    // The last message written of each recent form, to write a repeated one by its changes.
    std::vector<QString> ivShownForms;
    qint16 ivProgress = 0;
    qint16 ivShownProgress = 0; // nothing to show before the bar has moved
    bool ivIsNotClosedForm = false;
    bool ivTerminal;
    bool ivRealTime = true; // false once a test paces the view: no heartbeat then
    qint64 ivIntervalMs;
    std::function<qint64()> ivMilliseconds;
    qint64 ivLastShownMs = -1;
    QElapsedTimer ivSinceStart;

    // The heartbeat's thread writes only under the lock, as every write and every change of
    // what is to be shown does.
    std::mutex ivWriting;
    std::condition_variable ivWake;
    std::chrono::steady_clock::time_point ivLastWrite = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point ivAliveSince;
    bool ivStopping = false;
    std::thread ivHeartbeat;
};

} // namespace korvane
