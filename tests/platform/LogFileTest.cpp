// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "SmallDisk.h"
#include "TempFolder.h"
#include "platform/Error.h"
#include "platform/LogFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

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

TEST(LogFile, ChangeFilesAreNamedUnderTheLockAndOnlyTheNewestAreKept)
{
    korvane::test::TempFolder temp;
    const QString folder = temp.path(QStringLiteral("UpdateLog"));
    // Runs started in the same second, at the same time: each keeps a file of its own.
    QStringList written[4];
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            for (int n = 0; n < 5; ++n)
                written[w] << logIn(folder).open().writeBeside(QStringLiteral("20261210-081500"), QStringLiteral("C.csv"),
                                                              QByteArray::number(w * 100 + n));
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    QSet<QString> names;
    QSet<QByteArray> contents;
    for (const QStringList& paths : written) {
        for (const QString& path : paths) {
            names.insert(path);
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
            contents.insert(file.readAll());
        }
    }
    EXPECT_EQ(names.size(), 20);
    EXPECT_EQ(contents.size(), 20) << "a file was written over another";

    // Of a later day's runs only the newest stay, with their number as it sorts.
    for (int n = 1; n <= 30; ++n)
        logIn(folder).open().writeBeside(QStringLiteral("20261211-0800%1").arg(n, 2, 10, QChar(u'0')), QStringLiteral("C.csv"),
                                         "x", 24);
    QStringList kept = QDir(folder).entryList({QStringLiteral("* C.csv")}, QDir::Files, QDir::Name);
    ASSERT_EQ(kept.size(), 24);
    EXPECT_EQ(kept.first(), QStringLiteral("20261211-080007 C.csv"));
    EXPECT_EQ(kept.last(), QStringLiteral("20261211-080030 C.csv"));
    EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden).isEmpty());
}

// Links are made as a user can make them under the installation folder; the small disk is a
// tmpfs mount.
#ifndef Q_OS_WIN

// Whatever stands in place of the folder or of one of its files leads elsewhere: nothing is
// written there, nothing of the log changes, and the refusal names the entry.
TEST(LogFile, NothingIsWrittenThroughALinkAtAnyOfItsFiles)
{
    const struct
    {
        const char* what;
        const char* entry; // in the log's folder, or the folder itself ("")
        bool hardLink = false;
    } cases[] = {{"the folder", ""},
                 {"the log", "updates.log"},
                 {"the log as a second name", "updates.log", true},
                 {"the old log, at the rotation", "updates.old.log"},
                 {"the lock", "updates.log.lock"},
                 {"the coming change file", "20261210-081500 C.csv"},
                 {"the change file's temporary", "20261210-081500 C.csv.part"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        korvane::test::TempFolder temp;
        const QString folder = temp.path(QStringLiteral("UpdateLog"));
        const QByteArray outside = "a file elsewhere that no run may touch\r\n";
        const QString target = temp.write(QStringLiteral("elsewhere/file"), outside);
        const QString entry = QString::fromLatin1(c.entry);
        if (entry.isEmpty()) {
            ASSERT_TRUE(QFile::link(temp.path(QStringLiteral("elsewhere")), folder));
        } else {
            // A log near its limit, so that the block rotates it.
            logIn(folder, 400).append(block(QStringLiteral("A"), 1, 8));
            const QString at = folder + u'/' + entry;
            QFile::remove(at);
            ASSERT_TRUE(c.hardLink ? ::link(QFile::encodeName(target), QFile::encodeName(at)) == 0 : QFile::link(target, at));
        }
        auto logNow = [&] {
            QFile file(folder + QStringLiteral("/updates.log"));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
        };
        const QByteArray logBefore = logNow();

        try {
            LogFile::Writer writer = logIn(folder, 400).open();
            writer.writeBeside(QStringLiteral("20261210-081500"), QStringLiteral("C.csv"), "changes");
            writer.append(block(QStringLiteral("B"), 2, 8));
            ADD_FAILURE() << "the record was written";
        } catch (const korvane::platform::Error& error) {
            EXPECT_EQ(error.kind(), korvane::platform::Error::Kind::LinkRefused) << qPrintable(error.description());
            EXPECT_TRUE(error.description().contains(entry.isEmpty() ? QStringLiteral("UpdateLog") : entry))
                << qPrintable(error.description());
        }
        EXPECT_EQ(temp.read(QStringLiteral("elsewhere/file")), outside);
        EXPECT_EQ(QDir(temp.path(QStringLiteral("elsewhere"))).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("file")});
        if (!entry.isEmpty() && entry != QStringLiteral("updates.log")) {
            EXPECT_EQ(logNow(), logBefore);
        }
    }
}

// A disk filled to the last byte: the log's last page still takes a little, so a small block is
// written part of the way before the disk refuses the rest.
class FullDisk : public ::testing::Test
{
protected:
    void fill(qint64 leaveFree = 0)
    {
        const QString filler = folder + QStringLiteral("/filler");
        {
            QFile file(filler);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (file.write(QByteArray(4096, 'x')) == 4096) {
            }
        }
        const qint64 full = QFileInfo(filler).size();
        ASSERT_GT(full, leaveFree);
        ASSERT_TRUE(QFile::resize(filler, full - leaveFree));
    }

    korvane::test::TempFolder temp;
    const QString folder = temp.makeFolder(QStringLiteral("disk"));
    korvane::test::SmallDisk disk{folder, 256 * 1024};
};

TEST_F(FullDisk, ASmallBlockThatDoesNotFitLeavesTheLogByteForByte)
{
    KORVANE_REQUIRE_SMALL_DISK(disk);
    logIn(folder).append(block(QStringLiteral("A"), 1, 3));
    const QByteArray before = temp.read(QStringLiteral("disk/updates.log"));
    // A page for the lock file, and none for the block.
    fill(4096);
    // A few kilobytes of three-byte characters: a cut would fall inside one.
    const QString small = block(QStringLiteral("功"), 2, 400);
    ASSERT_LT(small.toUtf8().size(), 16 * 1024);
    try {
        logIn(folder).append(small);
        ADD_FAILURE() << "a full disk took the block";
    } catch (const korvane::platform::Error& error) {
        EXPECT_TRUE(error.description().contains(QStringLiteral("updates.log："))) << qPrintable(error.description());
    }
    EXPECT_EQ(temp.read(QStringLiteral("disk/updates.log")), before);
}

TEST_F(FullDisk, ARotationThatDoesNotFitLeavesTheLogAsItWas)
{
    KORVANE_REQUIRE_SMALL_DISK(disk);
    constexpr qint64 limit = 60 * 1024;
    for (int n = 0; QFile(folder + QStringLiteral("/updates.log")).size() < limit - 3000; ++n)
        logIn(folder, limit).append(block(QStringLiteral("W"), n, 40));
    const QByteArray log = temp.read(QStringLiteral("disk/updates.log"));
    // Room for the older half and the lock, not for the newer half as well.
    fill(log.size() * 2 / 3);

    EXPECT_THROW(logIn(folder, limit).append(block(QStringLiteral("Z"), 0, 200)), korvane::platform::Error);
    EXPECT_EQ(temp.read(QStringLiteral("disk/updates.log")), log);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{QStringLiteral("filler"), QStringLiteral("updates.log")}))
        << "no old log made of half the blocks, nothing left behind";
}

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
