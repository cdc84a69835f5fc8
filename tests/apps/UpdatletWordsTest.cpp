// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// What updatlet says, as IT staff read it: usage errors, the help, a run without an installation,
// the history's causes and the progress of a long dry run on a terminal and in a log.

#include "ClinicDatabase.h"
#include "PriceListText.h"
#include "UpdatletInstallation.h"
#include "generators/PriceListGenerator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

using korvane::test::ClinicDatabase;
using korvane::test::UpdatletInstallation;
using korvane::test::UpdatletResult;

namespace {

const QString kNotFound = QStringLiteral("找不到 Korvane 的安裝資料夾");

class UpdatletWords : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = std::make_unique<ClinicDatabase>(ClinicDatabase::create(installation.path(QStringLiteral("Korvane/dbKorvane.mdb"))));
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES ('OLD')"));
        installation.write(QStringLiteral("pack/all.puf"), korvane::test::priceListFile(3));
    }

    void setInstallation(const QByteArray& line)
    {
        installation.write(QStringLiteral("config/Korvane/Korvane.ini"), "[Options]\r\n" + line + "\r\n");
    }

    QString packLog() const
    {
        return QString::fromUtf8(installation.read(QStringLiteral("pack/UpdateLog/updates.log")));
    }

    UpdatletInstallation installation;
    std::unique_ptr<ClinicDatabase> db;
};

TEST_F(UpdatletWords, AnOptionIsNamedAsTypedAndQtsOwnErrorsComeInChinese)
{
    struct Case
    {
        QStringList arguments;
        QString problem;
    };
    const Case cases[] = {
        {{QStringLiteral("--bogus")}, QStringLiteral("不認得的選項：--bogus\n")},
        {{QStringLiteral("--bogus=3"), QStringLiteral("-q")}, QStringLiteral("不認得的選項：--bogus、-q\n")},
        {{QStringLiteral("--dry-run"), QStringLiteral("--report")}, QStringLiteral("缺少「--report」後的值。\n")},
        {{QStringLiteral("--allow-shrink"), QStringLiteral("CExeUpdateActioner")}, QStringLiteral("--allow-shrink 只適用於 C52407301\n")},
    };
    for (const Case& c : cases) {
        const UpdatletResult result = installation.run(c.arguments);
        EXPECT_EQ(result.exitCode, 2) << qPrintable(c.arguments.join(u' '));
        EXPECT_TRUE(result.err.startsWith(c.problem)) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains(QStringLiteral("用法：updatlet"))) << qPrintable(result.err);
    }
}

// Without the setting the refusal is said once, with nothing else to mend, and recorded beside
// the pack; the history then says that there is no installation and where it looked.
TEST_F(UpdatletWords, WithoutTheSettingTheRefusalIsSaidOnceAndRecordedBesideThePack)
{
    setInstallation("; KorvaneStartupPath is not set");
    const UpdatletResult result = installation.run();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out.count(kNotFound), 1) << qPrintable(result.out);
    EXPECT_FALSE(result.out.contains(QStringLiteral("。。"))) << qPrintable(result.out);
    EXPECT_FALSE(result.err.contains(QStringLiteral("警告"))) << qPrintable(result.err);
    EXPECT_FALSE(result.err.contains(QStringLiteral("磁碟"))) << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains(QStringLiteral("電腦中的資料都沒有變更"))) << qPrintable(result.err);
    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 1);

    const QString log = packLog();
    EXPECT_TRUE(log.contains(QStringLiteral("\r\n結果：未執行（拒絕）（結束代碼 1）\r\n原因：") + kNotFound)) << qPrintable(log);
    EXPECT_TRUE(log.contains(QStringLiteral("\r\n安裝資料夾：（未設定）\r\n"))) << qPrintable(log);
    EXPECT_FALSE(QFile::exists(installation.path(QStringLiteral("Korvane/UpdateLog"))));

    const UpdatletResult history = installation.run(installation.packArguments() << QStringLiteral("--history"));
    EXPECT_EQ(history.exitCode, 1);
    EXPECT_TRUE(history.err.startsWith(kNotFound)) << qPrintable(history.err);
    EXPECT_TRUE(history.err.contains(installation.path(QStringLiteral("config/Korvane/Korvane.ini")))) << qPrintable(history.err);
    EXPECT_FALSE(history.out.contains(QStringLiteral("沒有更新記錄"))) << qPrintable(history.out);
    EXPECT_TRUE(history.out.contains(QStringLiteral("  C52407301  未執行（拒絕）（結束代碼 1）  原因：") + kNotFound +
                                     QStringLiteral("：這台電腦沒有記錄 Korvane 安裝在哪裡。")))
        << qPrintable(history.out);
}

// A folder that is gone is named as such, not as a missing database; the record goes beside the
// pack and says so.
TEST_F(UpdatletWords, AMissingInstallationFolderIsNamedAsSuch)
{
    const QString gone = installation.path(QStringLiteral("Gone"));
    setInstallation("KorvaneStartupPath=" + gone.toUtf8());
    const UpdatletResult result = installation.run();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(kNotFound + QStringLiteral("：") + gone + QStringLiteral(" 不存在。"))) << qPrintable(result.err);
    EXPECT_FALSE(result.err.contains(QStringLiteral("資料庫"))) << qPrintable(result.err);
    EXPECT_TRUE(QFile::exists(installation.pricePath()));
    EXPECT_TRUE(packLog().contains(QStringLiteral("\r\n安裝資料夾：") + gone + QStringLiteral("（不存在）\r\n"))) << qPrintable(packLog());

    const UpdatletResult history = installation.run(installation.packArguments() << QStringLiteral("--history"));
    EXPECT_EQ(history.exitCode, 1);
    EXPECT_TRUE(history.err.startsWith(kNotFound + QStringLiteral("：設定中的 ") + gone + QStringLiteral(" 不存在")))
        << qPrintable(history.err);
}

// The history gives a run that did not end well the first line of its cause, and still lists a
// block written before causes were recorded.
TEST_F(UpdatletWords, TheHistoryTellsWhyAndStillReadsOlderLogs)
{
    const QByteArray old = "\xEF\xBB\xBF===== 更新記錄 2025-01-02 08:00:00 +08:00 =====\r\n作業：C52407301\r\n"
                           "結果：失敗（結束代碼 1）\r\n開始：2025-01-02 08:00:00 +08:00\r\n"
                           "訊息：「錯誤」更新藥價作業失敗，可能的原因為：\r\n    原因：不是這一行\r\n    → 確定\r\n\r\n";
    QDir().mkpath(installation.path(QStringLiteral("Korvane/UpdateLog")));
    installation.write(QStringLiteral("Korvane/UpdateLog/updates.log"), old);
    installation.write(QStringLiteral("pack/all.puf"), korvane::test::priceListFile(0));
    ASSERT_EQ(installation.run().exitCode, 1);

    const UpdatletResult history = installation.run(installation.packArguments() << QStringLiteral("--history"));
    EXPECT_EQ(history.exitCode, 0);
    const QStringList lines = history.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << qPrintable(history.out);
    EXPECT_EQ(lines[1], QStringLiteral("2025-01-02 08:00:00 +08:00  C52407301  失敗（結束代碼 1）"));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("  C52407301  未執行（拒絕）（結束代碼 1）  原因："
                                                 "資料檔中沒有任何可以匯入的藥品資料，藥品資料維持原狀，未做任何變更。")))
        << qPrintable(lines[2]);
}

// Reads what arrived at the terminal's master side, waiting at most ms for the first of it.
void readTerminal(int master, QByteArray& into, int ms)
{
    pollfd ready{master, POLLIN, 0};
    char buffer[4096];
    for (ssize_t n = 0; ::poll(&ready, 1, ms) > 0 && (n = ::read(master, buffer, sizeof buffer)) > 0; ms = 0)
        into.append(buffer, qsizetype(n));
}

qsizetype progressLines(const QStringList& lines)
{
    return std::count_if(lines.begin(), lines.end(), [](const QString& line) {
        return line.contains(QStringLiteral("目前正處理第")) || line.startsWith(QStringLiteral("進度：")) ||
               line.startsWith(QStringLiteral("……仍在處理中"));
    });
}

// A dry run of a long list: on a terminal a line at least every second or so, the notes of the
// progress text once; in a log a few lines, however long it takes.
TEST_F(UpdatletWords, ALongDryRunShowsItsProgressOnATerminalAndStaysShortInALog)
{
    installation.write(QStringLiteral("pack/all.puf"), korvane::PriceListGenerator::generate(400000, 26));
    const QStringList arguments = installation.packArguments()
                                  << QStringLiteral("--dry-run") << QStringLiteral("--report")
                                  << installation.path(QStringLiteral("preview.csv"));

    // Standard error goes to a terminal of the test's own.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    QProcess process;
    process.setStandardErrorFile(QString::fromLocal8Bit(::ptsname(master)));
    QElapsedTimer took;
    took.start();
    installation.start(process, arguments);
    QByteArray terminal;
    while (!process.waitForFinished(20))
        readTerminal(master, terminal, 20);
    readTerminal(master, terminal, 200);
    ::close(master);
    const qint64 seconds = took.elapsed() / 1000;
    const QStringList shown = QString::fromUtf8(terminal).remove(u'\r').split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(process.exitCode(), 0) << qPrintable(shown.join(u'\n'));
    EXPECT_EQ(shown.count(QStringLiteral("１．更新過程中請勿中斷程式。")), 1) << qPrintable(shown.join(u'\n'));
    EXPECT_GE(progressLines(shown), std::max<qint64>(2, seconds - 1)) << seconds << " s:\n" << qPrintable(shown.join(u'\n'));

    took.restart();
    const UpdatletResult logged = installation.run(arguments);
    ASSERT_EQ(logged.exitCode, 0) << qPrintable(logged.err);
    const QStringList log = logged.err.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(log.count(QStringLiteral("１．更新過程中請勿中斷程式。")), 1) << qPrintable(logged.err);
    // The first and last count, the tenths of the bar, one line for every ten seconds.
    EXPECT_LE(progressLines(log), 2 + 10 + took.elapsed() / 10000 + 1) << qPrintable(logged.err);
    EXPECT_FALSE(logged.err.contains(QStringLiteral("仍在處理中"))) << qPrintable(logged.err);
}

} // namespace
