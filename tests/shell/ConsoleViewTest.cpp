// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The terminal view as a reader of its stream sees it, on a clock that moves 10 ms whenever it
// is read.

#include "Fakes.h"
#include "pricing/C52407301.h"
#include "shell/console/ConsoleView.h"

#include <QStringList>
#include <cstdio>
#include <gtest/gtest.h>

namespace korvane::test {
namespace {

// What a view writes to its stream, paced as a terminal or as a log.
struct Capture
{
    explicit Capture(bool terminal) { view.setPace(terminal, [this] { return ms += 10; }); }
    ~Capture() { std::fclose(stream); }

    QStringList lines()
    {
        view.flush();
        std::rewind(stream);
        QByteArray bytes(1 << 20, '\0');
        bytes.truncate(qsizetype(std::fread(bytes.data(), 1, size_t(bytes.size()), stream)));
        return QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts);
    }

    std::FILE* stream = std::tmpfile();
    FakeClock clock;
    FakeDialogs dialogs;
    qint64 ms = 0;
    ConsoleView view{clock, dialogs, stream};
};

qsizetype count(const QStringList& lines, const QString& part)
{
    return std::count_if(lines.begin(), lines.end(), [&](const QString& line) { return line.contains(part); });
}

// 1,000 lines read in ten seconds: the notes of the progress text once, the count every half
// second on a terminal, and in a log only its first and last.
TEST(ConsoleViewTest, ARepeatedProgressTextIsWrittenOnceThenByItsCountAtThePace)
{
    for (const bool terminal : {true, false}) {
        SCOPED_TRACE(terminal ? "terminal" : "log");
        Capture capture(terminal);
        for (qint64 n = 1; n <= 1000; ++n)
            capture.view.setMessgaeValue(C52407301::progressMessage(n));
        const QStringList out = capture.lines();
        EXPECT_EQ(count(out, QStringLiteral("更新過程中請勿中斷程式")), 1) << qPrintable(out.join(u'\n'));
        EXPECT_EQ(count(out, QStringLiteral("目前正處理第")), terminal ? 21 : 2) << qPrintable(out.join(u'\n'));
        EXPECT_TRUE(out.join(u'\n').contains(QStringLiteral("第1000筆"))) << qPrintable(out.join(u'\n'));
    }
}

// A log gets the bar at each tenth; a moved step mark is written as the step it moved to; a new
// stage first writes the count the last one reached.
TEST(ConsoleViewTest, ALogGetsEveryTenthTheMovedStepAndTheLastCountOfAStage)
{
    Capture capture(false);
    ConsoleView& shown = capture.view;
    const StepList& steps = C52407301::steps();
    shown.setMessgaeValue(steps.render(1));
    shown.setMessgaeValue(steps.render(2));
    for (qint64 n = 1; n <= 40; ++n)
        shown.setMessgaeValue(C52407301::progressMessage(n));
    shown.setMessgaeValue(steps.render(3));
    for (qint16 percent = 0; percent <= 100; ++percent)
        shown.setProgressBarValue(percent);
    const QStringList out = capture.lines();
    const QStringList expectedStart{QStringLiteral("V\t刪除現有資料庫中的藥品資料"), QStringLiteral("\t讀取本次更新資料檔"),
                                    QStringLiteral("\t新增藥品資料到資料庫中"), QStringLiteral("\t刪除不給付的藥品資料"),
                                    QStringLiteral("\t同步藥袋資訊"), QStringLiteral("V\t讀取本次更新資料檔")};
    ASSERT_GE(out.size(), 8);
    EXPECT_EQ(out.mid(0, 6), expectedStart);
    const qsizetype last = out.indexOf(QStringLiteral("V\t新增藥品資料到資料庫中"));
    ASSERT_GT(last, 0) << qPrintable(out.join(u'\n'));
    EXPECT_TRUE(out[last - 1].contains(QStringLiteral("第40筆"))) << qPrintable(out.join(u'\n'));
    QStringList tenths;
    for (int percent = 10; percent <= 100; percent += 10)
        tenths << QStringLiteral("進度：%1%").arg(percent);
    EXPECT_EQ(out.mid(last + 1), tenths);
}

} // namespace
} // namespace korvane::test
