// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "SmallDisk.h"
#include "TempFolder.h"
#include "platform/Error.h"
#include "platform/LogFile.h"

#include <QFile>
#include <gtest/gtest.h>
#include <thread>

using korvane::platform::LogFile;

namespace {

const QString kStart = QStringLiteral("=== ");

QString block(const QString& writer, int n, int bodyLines = 3)
{
    QString text = kStart + writer + QStringLiteral(" %1\r\n").arg(n);
    for (int i = 0; i < bodyLines; ++i)
        text += QStringLiteral("  第 %1 行 of %2 %3\r\n").arg(i).arg(writer).arg(n);
    return text;
}

LogFile logIn(const QString& folder, qint64 limit = LogFile::DefaultLimit)
{
    return LogFile(folder, QStringLiteral("updates.log"), QStringLiteral("updates.old.log"), kStart, limit);
}

TEST(LogFile, WritersAtTheSameTimeNeverInterleaveTheirBlocks)
{
    korvane::test::TempFolder temp;
    const QString folder = temp.path(QStringLiteral("UpdateLog"));
    auto write = [&](const QString& writer) {
        for (int n = 0; n < 100; ++n)
            logIn(folder).append(block(writer, n));
    };
    std::thread a(write, QStringLiteral("A"));
    std::thread b(write, QStringLiteral("B"));
    a.join();
    b.join();

    const QByteArray bytes = temp.read(QStringLiteral("UpdateLog/updates.log"));
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF=== "));
    EXPECT_EQ(bytes.count("\xEF\xBB\xBF"), 1);
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));
    const QString text = LogFile::read(logIn(folder).path());
    qsizetype expected = 0;
    for (const QString& writer : {QStringLiteral("A"), QStringLiteral("B")}) {
        for (int n = 0; n < 100; ++n) {
            EXPECT_TRUE(text.contains(block(writer, n))) << qPrintable(writer) << n;
            expected += block(writer, n).size();
        }
    }
    EXPECT_EQ(text.size(), expected);
}

TEST(LogFile, TheOlderHalfMovesAsideAtTheLimitCutAtABlock)
{
    korvane::test::TempFolder temp;
    const QString folder = temp.path(QStringLiteral("UpdateLog"));
    constexpr qint64 limit = 4000;
    for (int n = 0; n < 200; ++n)
        logIn(folder, limit).append(block(QStringLiteral("W"), n, 1 + n % 5));

    const QString now = LogFile::read(logIn(folder).path());
    const QString old = LogFile::read(logIn(folder).oldPath());
    EXPECT_LE(QFile(logIn(folder).path()).size(), limit);
    EXPECT_LE(QFile(logIn(folder).oldPath()).size(), limit);
    for (const QString& file : {QStringLiteral("UpdateLog/updates.log"), QStringLiteral("UpdateLog/updates.old.log")})
        EXPECT_TRUE(temp.read(file).startsWith("\xEF\xBB\xBF=== W ")) << qPrintable(file);
    // Whole blocks, in order, the newest last, with none lost between the two files.
    const QString both = old + now;
    EXPECT_TRUE(now.endsWith(block(QStringLiteral("W"), 199, 5)));
    const int first = both.mid(kStart.size() + 2).section(u'\r', 0, 0).toInt();
    QString expected;
    for (int n = first; n < 200; ++n)
        expected += block(QStringLiteral("W"), n, 1 + n % 5);
    EXPECT_EQ(both, expected);
}

// The small disk is a tmpfs mount.
#ifndef Q_OS_WIN
TEST(LogFile, ADiskThatFillsLeavesTheLogAsItWasAndSaysWhere)
{
    korvane::test::TempFolder temp;
    const QString folder = temp.makeFolder(QStringLiteral("disk"));
    korvane::test::SmallDisk disk(folder, 64 * 1024);
    KORVANE_REQUIRE_SMALL_DISK(disk);
    logIn(folder).append(block(QStringLiteral("A"), 1));
    const QByteArray before = temp.read(QStringLiteral("disk/updates.log"));
    QFile filler(folder + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
    }
    filler.close();
    // Room for the lock file, not for the block.
    QFile::resize(filler.fileName(), filler.size() - 8192);

    try {
        logIn(folder).append(block(QStringLiteral("B"), 2, 2000));
        FAIL() << "a full disk took the block";
    } catch (const korvane::platform::Error& error) {
        EXPECT_TRUE(error.description().contains(folder + QStringLiteral("/updates.log"))) << qPrintable(error.description());
    }
    EXPECT_EQ(temp.read(QStringLiteral("disk/updates.log")), before);
}

#endif

} // namespace
