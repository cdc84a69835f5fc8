// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/NativeEventPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <gtest/gtest.h>

using korvane::platform::NativeEventPump;

namespace {

class EventCounter : public QObject
{
public:
    int received = 0;

    void post() { QCoreApplication::postEvent(this, new QEvent(QEvent::User)); }

protected:
    void customEvent(QEvent*) override { ++received; }
};

// The program's pump on a clock the test moves.
class SteppedPump : public NativeEventPump
{
public:
    qint64 now = 1000;

protected:
    qint64 nowMs() const override { return now; }
};

TEST(NativeEventPumpTest, RunsPendingEventsAtMostOnceEveryTenMilliseconds)
{
    EventCounter counter;
    SteppedPump pump;

    counter.post();
    pump.processEvents();
    EXPECT_EQ(counter.received, 1) << "the first call always runs";

    counter.post();
    for (qint64 step = 0; step < NativeEventPump::intervalMs; ++step) {
        pump.now = 1000 + step;
        for (int i = 0; i < 100; ++i)
            pump.processEvents();
    }
    EXPECT_EQ(counter.received, 1) << "calls within the interval run nothing";

    pump.now = 1000 + NativeEventPump::intervalMs;
    pump.processEvents();
    EXPECT_EQ(counter.received, 2) << "the first call after the interval runs";

    counter.post();
    pump.now += NativeEventPump::intervalMs - 1;
    pump.processEvents();
    EXPECT_EQ(counter.received, 2) << "the interval counts from the last pass";

    QCoreApplication::removePostedEvents(&counter);
}

TEST(NativeEventPumpTest, APauseRunsTheEventsThatArriveMeanwhileAndLastsItsTime)
{
    EventCounter counter;
    QTimer::singleShot(50, &counter, [&counter] { counter.post(); });
    QElapsedTimer timer;
    timer.start();
    NativeEventPump().processEventsFor(300);
    EXPECT_GE(timer.elapsed(), 280); // a coarse timer may fire a little early
    EXPECT_EQ(counter.received, 1);
}

} // namespace
