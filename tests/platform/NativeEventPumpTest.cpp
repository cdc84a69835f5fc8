// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/NativeEventPump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QThread>
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

TEST(NativeEventPumpTest, RunsPendingEventsAtMostOnceEveryTenMilliseconds)
{
    EventCounter counter;
    NativeEventPump pump;
    QElapsedTimer sinceFirst;

    counter.post();
    sinceFirst.start();
    pump.processEvents();
    EXPECT_EQ(counter.received, 1) << "the first call always runs";

    counter.post();
    for (int i = 0; i < 1000; ++i)
        pump.processEvents();
    if (sinceFirst.elapsed() < NativeEventPump::intervalMs) {
        EXPECT_EQ(counter.received, 1) << "calls within the interval run nothing";
    }

    QThread::msleep(NativeEventPump::intervalMs + 5);
    pump.processEvents();
    EXPECT_EQ(counter.received, 2);

    QCoreApplication::removePostedEvents(&counter);
}

} // namespace
