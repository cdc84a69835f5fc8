// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ClinicDatabase.h"
#include "PriceListText.h"
#include "SqliteProgram.h"
#include "TestServices.h"
#include "actions/RunRecord.h"
#include "platform/AnsiText.h"
#include "platform/Error.h"
#include "pricing/C52407301.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <new>
#include <tuple>

using korvane::C52407301;
using korvane::Outcome;
using korvane::platform::Error;
using korvane::platform::MessageIcon;
using korvane::test::ClinicDatabase;
using korvane::test::FakeView;
using korvane::test::TestMachine;
using korvane::test::drugLine;

namespace {

const QString kHeader = korvane::test::priceListHeader();

const QString kFailurePrefix = QStringLiteral("更新藥價作業失敗，可能的原因為：\r\n");
// A run refused before it changed anything is told as such, not as a failure.
const QString kRefusalPrefix = QStringLiteral("藥價更新沒有執行，原因如下：\r\n");

// The files of a real machine, except that the price list cannot be removed.
class UndeletableFiles : public korvane::platform::NativeFileSystem
{
public:
    void removeFile(const QString& path) override
    {
        if (path.endsWith(QStringLiteral("all.puf")))
            throw Error(QStringLiteral("無法刪除檔案（可能正在使用中或沒有權限）：") + path, Error::Kind::AccessDenied);
        NativeFileSystem::removeFile(path);
    }
};

// The files of a real machine, except that reading the price list runs out of memory.
class ExhaustedFiles : public korvane::platform::NativeFileSystem
{
public:
    QByteArray readFile(const QString& path) const override
    {
        if (path.endsWith(QStringLiteral("all.puf")))
            throw std::bad_alloc();
        return NativeFileSystem::readFile(path);
    }
};

} // namespace

class DrugPriceUpdate : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = std::make_unique<ClinicDatabase>(ClinicDatabase::create(machine.installFile(QStringLiteral("dbKorvane.mdb"))));
        // Two drugs: a list of one is still half of them, so that only the tests of shrinking
        // lists meet the question.
        for (int i = 0; i < 2; ++i)
            db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 藥價參考金額) VALUES (?, ?)"),
                     {QStringLiteral("OLD%1").arg(i), 1.0 + i});
    }

    void writePriceList(const QStringList& lines)
    {
        QStringList all = lines;
        machine.writeFile(pricePath(), lines.isEmpty() ? QByteArray() : korvane::platform::ansiTextWithCrLf(all));
    }

    void run()
    {
        action = std::make_unique<C52407301>(machine.services());
        outcome = action->action(view);
    }

    QString pricePath() const { return machine.packFile(QStringLiteral("all.puf")); }
    bool priceListKept() const { return QFile::exists(pricePath()); }
    QStringList codes() const
    {
        QStringList result;
        for (const auto& row : db->rows(QStringLiteral("SELECT 代碼 FROM tblDrugs ORDER BY id")))
            result << row.first().toString();
        return result;
    }
    const QStringList oldCodes{QStringLiteral("OLD0"), QStringLiteral("OLD1")};

    // Nothing changed, the list kept, and the pack too: the run did not end as done.
    void expectFailure(const QString& descriptionStart, Outcome expected = Outcome::Refused)
    {
        EXPECT_EQ(outcome, expected);
        ASSERT_EQ(machine.dialogs.messages.size(), 1u);
        const auto& shown = machine.dialogs.messages.front();
        EXPECT_EQ(shown.icon, MessageIcon::Critical);
        const bool refused = expected == Outcome::Refused;
        EXPECT_EQ(shown.title, refused ? QStringLiteral("無法更新藥價") : QStringLiteral("錯誤"));
        EXPECT_TRUE(shown.text.startsWith((refused ? kRefusalPrefix : kFailurePrefix) + descriptionStart))
            << qPrintable(shown.text);
        EXPECT_EQ(codes(), oldCodes);
        EXPECT_EQ(view.hideCalls, 0);
    }

    TestMachine machine;
    FakeView view;
    std::unique_ptr<ClinicDatabase> db;
    std::unique_ptr<C52407301> action;
    Outcome outcome = Outcome::Failed;
};

TEST(C52407301Texts, DescriptionAndNames)
{
    TestMachine machine;
    C52407301 action(machine.services());
    const QByteArray expected =
        "\xe6\x8c\x89\xe4\xb8\x8b\xe3\x80\x8c\xe7\xa2\xba\xe5\xae\x9a\xe3\x80\x8d\xe6\x8c\x89\xe9\x88\x95\xe5\xbe\x8c"
        "\xe5\xb0\x87\xe6\x9b\xb4\xe6\x96\xb0\xe6\x9c\xac\xe6\x9c\x88\xe6\x9c\x80\xe6\x96\xb0\xe7\x95\xb0\xe5\x8b\x95"
        "\xe7\x9a\x84\xe8\x97\xa5\xe5\x83\xb9 \r\n";
    const QString description = action.getDescription().toString();
    EXPECT_TRUE(description.toUtf8().startsWith(expected));
    EXPECT_TRUE(description.endsWith(QStringLiteral("[ 申報前執行處方驗證程序時，請記得啟用「自動調整」的選項 ]。"
                                                    "\r\n\r\n\r\n\r\n 藥價更新程式序號 v1.0.0.6")));
    EXPECT_TRUE(description.contains(QStringLiteral(
        "\r\n本系統會保留前二個月藥價，並以「處方上的調劑日」做為判斷標準，請放心更新。\r\n\r\n[")));
    EXPECT_EQ(description.count(QStringLiteral("\r\n")), 7);
    EXPECT_EQ(C52407301::progressMessage(12),
              QStringLiteral("藥價更新程序作業中\uFF0E\uFF0E\uFF0E\u3000(目前正處理第12筆藥品資料。)\r\n\r\n"
                             "\uFF11\uFF0E更新過程中請勿中斷程式。\r\n"
                             "\uFF12\uFF0E硬體規格不同,您的畫面可能會出現閃爍狀況,屬於正常情況,請勿擔心。"));
}

TEST_F(DrugPriceUpdate, ReplacesTheDrugTableAndReportsAsItGoes)
{
    writePriceList({kHeader, drugLine(1, QStringLiteral("AC12345100")), drugLine(2, QStringLiteral("BC22735G00"))});
    run();

    EXPECT_TRUE(machine.dialogs.messages.empty());
    EXPECT_EQ(codes(), (QStringList{QStringLiteral("AC12345100"), QStringLiteral("BC22735G00")}));
    EXPECT_FALSE(priceListKept());
    EXPECT_EQ(view.hideCalls, 1);
    EXPECT_EQ(view.completedCalls, 0);
    EXPECT_EQ(outcome, Outcome::Done);

    // Step 1, step 2, one progress text per line read, then step 3 while rows are added.
    ASSERT_EQ(view.messages.size(), 6);
    EXPECT_EQ(view.messages[0], action->getMesageString(1).toString());
    EXPECT_EQ(view.messages[1], action->getMesageString(2).toString());
    EXPECT_EQ(view.messages[2], C52407301::progressMessage(1));
    EXPECT_EQ(view.messages[4], C52407301::progressMessage(3));
    EXPECT_EQ(view.messages[5], action->getMesageString(3).toString());
    // j / n × 100, halves to even: 0, 33, 67.
    EXPECT_EQ(view.progress, (std::vector<qint16>{0, 33, 67}));
    EXPECT_GE(machine.events.calls, 6);
}

TEST_F(DrugPriceUpdate, ConvertsEveryColumn)
{
    writePriceList({kHeader,
                    QStringLiteral("7\t*\t複方\tAB00000011G0\t0\t1130401\t1140331\tFOO's \"BAR\"; --\t\t錠\t許可成分\tx\tMG\t內服液劑\t蓋世功藥廠"),
                    drugLine(8, QStringLiteral("NODATE0100"), QStringLiteral("1,234.5"), QStringLiteral("2024/2/30")),
                    drugLine(9, QStringLiteral("AB00000011G0X"))});
    run();
    const auto rows = db->rows(QStringLiteral(
        "SELECT 新, 單複方註記, 代碼, 藥價參考金額, 藥價參考日期, 藥價參考截止日期, 藥品英文名稱, 藥品規格量, "
        "藥品規格單位, 成份, 成份含量, 含量單位, 藥品劑型, 製造廠名稱 FROM tblDrugs ORDER BY id"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][2], QStringLiteral("AB00000011G0"));
    // The code of the last line is one character longer than its column holds: no drug row
    // without its code, and the line is named.
    EXPECT_EQ(outcome, Outcome::ItemsLeft);
    EXPECT_TRUE(priceListKept());
    ASSERT_EQ(action->refusedValues().size(), 1u);
    EXPECT_EQ(action->refusedValues()[0].line, 4);
    EXPECT_EQ(action->refusedValues()[0].code, QStringLiteral("AB00000011G0X"));
    EXPECT_EQ(action->refusedValues()[0].column, QStringLiteral("代碼"));
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_TRUE(machine.dialogs.messages[0].text.contains(QStringLiteral("第 4 行（代碼 AB00000011G0X）欄位「代碼」")))
        << qPrintable(machine.dialogs.messages[0].text);
    EXPECT_EQ(view.hideCalls, 1);
    QVariantList first = rows[0];
    first.removeAt(2);
    EXPECT_EQ(first, (QVariantList{QStringLiteral("*"), QStringLiteral("複方"), 0.0,
                                     QStringLiteral("2024-04-01 00:00:00"), QStringLiteral("2025-03-31 00:00:00"),
                                     QStringLiteral("FOO's \"BAR\"; --"), 0.0, QStringLiteral("錠"),
                                     QStringLiteral("許可成分"), 0.0, QStringLiteral("MG"), QStringLiteral("內服液劑"),
                                     QStringLiteral("蓋世功藥廠")}));
    EXPECT_DOUBLE_EQ(rows[1][3].toDouble(), 1234.5);
    EXPECT_TRUE(rows[1][4].isNull());
}

TEST_F(DrugPriceUpdate, AFileWithoutDrugRecordsChangesNothing)
{
    const QList<QStringList> files{
        {},                                                          // no lines at all
        {kHeader},                                                   // only the header
        {kHeader, QStringLiteral("1\t2\t3"), QString(), QStringLiteral("9\t\t\tX\tfree\t\t\t\t\t\t\t\t\t\t")},
    };
    for (const auto& lines : files) {
        machine.dialogs.messages.clear();
        writePriceList(lines);
        run();
        expectFailure(QStringLiteral("資料檔中沒有任何可以匯入的藥品資料"));
        EXPECT_TRUE(priceListKept());
    }
}

TEST_F(DrugPriceUpdate, RowsTheDatabaseRefusesAreSkipped)
{
    db->exec(QStringLiteral("CREATE TRIGGER refuseFree BEFORE INSERT ON tblDrugs WHEN NEW.藥價參考金額 = 0 "
                            "BEGIN SELECT RAISE(ABORT, 'free'); END"));
    writePriceList({kHeader, drugLine(1, QStringLiteral("FREE000100"), QStringLiteral("0")),
                    drugLine(2, QStringLiteral("PAID000100"))});
    run();
    EXPECT_EQ(codes(), QStringList{QStringLiteral("PAID000100")});
    // Named, with the database's reason; the list stays to be run again once that is mended.
    EXPECT_EQ(outcome, Outcome::ItemsLeft);
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_TRUE(machine.dialogs.messages[0].text.contains(QStringLiteral("第 2 行（代碼 FREE000100）：")));
    EXPECT_TRUE(machine.dialogs.messages[0].text.contains(QStringLiteral("free")));
    EXPECT_TRUE(priceListKept());

    // When the database refuses every row, the old table stays, and the reason is given.
    machine.dialogs.messages.clear();
    writePriceList({kHeader, drugLine(1, QStringLiteral("FREE000100"), QStringLiteral("0"))});
    run();
    EXPECT_EQ(codes(), QStringList{QStringLiteral("PAID000100")});
    EXPECT_EQ(outcome, Outcome::Refused);
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_TRUE(machine.dialogs.messages[0].text.contains(QStringLiteral("資料檔中的 1 筆藥品資料都無法存入資料庫")));
    EXPECT_TRUE(machine.dialogs.messages[0].text.contains(QStringLiteral("free")));
    EXPECT_TRUE(priceListKept());
}

// Nothing changed, and the pack is told where its list belongs.
TEST_F(DrugPriceUpdate, AMissingPriceListIsReported)
{
    run();
    expectFailure(QStringLiteral("找不到本次的藥價資料檔：") + QDir::toNativeSeparators(pricePath()) +
                  QStringLiteral("。藥品資料沒有變更。本更新程式要從它自己的資料夾執行，藥價資料檔 all.puf 要放在它的旁邊"));
}

TEST_F(DrugPriceUpdate, ASecondRunFindsNoPriceList)
{
    writePriceList({kHeader, drugLine(1, QStringLiteral("AC12345100"))});
    run();
    ASSERT_TRUE(machine.dialogs.messages.empty());
    EXPECT_EQ(action->action(view), Outcome::Refused);
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_TRUE(machine.dialogs.messages.front().text.startsWith(kRefusalPrefix + QStringLiteral("找不到本次的藥價資料檔")));
    EXPECT_EQ(codes(), QStringList{QStringLiteral("AC12345100")});
}

TEST_F(DrugPriceUpdate, AFailureWhileAddingRollsEverythingBack)
{
    QStringList lines{kHeader};
    for (int i = 1; i <= 50; ++i)
        lines << drugLine(i, korvane::test::drugCode(i));
    writePriceList(lines);
    int calls = 0;
    machine.events.onProcess = [&] {
        // Well into the insert phase (51 lines read first), the machine fails.
        if (++calls == 80)
            throw Error(QStringLiteral("磁碟發生錯誤"));
    };
    run();
    expectFailure(QStringLiteral("磁碟發生錯誤"), Outcome::Failed);
    EXPECT_TRUE(priceListKept());
}

TEST_F(DrugPriceUpdate, AMissingOrLockedDatabaseChangesNothing)
{
    writePriceList({kHeader, drugLine(1, QStringLiteral("AC12345100"))});
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
    other.setDatabaseName(db->path());
    ASSERT_TRUE(other.open());
    ASSERT_TRUE(QSqlQuery(other).exec(QStringLiteral("BEGIN IMMEDIATE")));
    run();
    QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    // Another writer keeps the write lock the transaction takes before anything is changed: the
    // run is refused, as one that never began.
    expectFailure(QStringLiteral("資料庫正被其他程式使用中"), Outcome::Refused);
    EXPECT_TRUE(priceListKept());

    machine.dialogs.messages.clear();
    QFile::remove(db->path());
    run();
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_TRUE(machine.dialogs.messages.front().text.startsWith(kFailurePrefix + QStringLiteral("找不到資料庫檔案")));
    EXPECT_FALSE(QFile::exists(db->path()));
    EXPECT_TRUE(priceListKept());
}

// Korvane reading the drugs, and another program part-way through a transaction of its own,
// leave a preview its reading: nobody refuses it and it writes nothing.
// A preview reads beside Korvane reading the drugs; another writer, which would refuse the run,
// refuses the preview the same way.
TEST_F(DrugPriceUpdate, APreviewReadsBesideOtherProgramsAndRefusesWhatTheRunWould)
{
    writePriceList({kHeader, drugLine(1, QStringLiteral("AC12345100")), drugLine(2, QStringLiteral("OLD0"))});
    const korvane::test::SqliteProgram korvane(db->path(), {QStringLiteral("BEGIN"), QStringLiteral("SELECT count(*) FROM tblDrugs")});
    {
        C52407301 preview(machine.services());
        const auto changes = preview.preview();
        EXPECT_EQ(changes.tableRows(), 2);
        EXPECT_EQ(changes.added(), 1);
        EXPECT_EQ(changes.removed(), 1);
    }
    const korvane::test::SqliteProgram writer(
        db->path(), {QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("INSERT INTO tblTemp (pKey) VALUES ('k')")});
    C52407301 preview(machine.services());
    try {
        preview.preview();
        ADD_FAILURE() << "previewed beside a writer";
    } catch (const korvane::RunRefused& refusal) {
        EXPECT_TRUE(refusal.description().startsWith(QStringLiteral("資料庫正被其他程式使用中"))) << qPrintable(refusal.description());
    }
    EXPECT_EQ(codes(), oldCodes);
    EXPECT_TRUE(priceListKept());
}

// Of a code's rows, the price now in force is the one taking effect last, a row without a date
// counting as the earliest: the list's price equal to it is no change.
TEST_F(DrugPriceUpdate, APreviewComparesWithThePriceTakingEffectLast)
{
    for (const auto& [date, price] : {std::pair{"2024-04-01 00:00:00", 20.0}, {nullptr, 5.0}, {"2024-01-01 00:00:00", 10.0}})
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 藥價參考日期, 藥價參考金額) VALUES ('AC12345100', ?, ?)"),
                 {date ? QVariant(QString::fromLatin1(date)) : QVariant(), price});
    writePriceList({kHeader, drugLine(1, QStringLiteral("AC12345100"), QStringLiteral("20")),
                    drugLine(2, QStringLiteral("OLD0"), QStringLiteral("1")), drugLine(3, QStringLiteral("OLD1"), QStringLiteral("2"))});
    C52407301 update(machine.services());
    const auto changes = update.preview();
    EXPECT_EQ(changes.repriced(), 0);
    EXPECT_EQ(changes.unchanged(), 3);
}

// A first installation has no drugs yet: any list fills the table without a question.
TEST_F(DrugPriceUpdate, AnEmptyDrugTableIsFilledWithoutAQuestion)
{
    db->exec(QStringLiteral("DELETE FROM tblDrugs"));
    writePriceList({kHeader, drugLine(1, QStringLiteral("AC12345100"))});
    run();
    EXPECT_TRUE(machine.dialogs.questions.empty());
    EXPECT_EQ(action->drugCount(), 1);
}

// A database the configuration names that cannot hold the drugs is named, with what is wrong.
TEST_F(DrugPriceUpdate, ADatabaseFileThatIsEmptyOrHasNoDrugTableIsNamed)
{
    writePriceList({kHeader, drugLine(1, QStringLiteral("AC12345100"))});
    const QString empty = machine.installFile(QStringLiteral("empty.mdb"));
    machine.writeFile(empty, QByteArray());
    const QString foreign = machine.installFile(QStringLiteral("foreign.mdb"));
    ClinicDatabase(foreign).exec(QStringLiteral("CREATE TABLE tblTemp (pKey VARCHAR(50))"));
    const std::tuple<QString, QString, Outcome> cases[] = {
        {empty, QStringLiteral("資料庫檔案是空的（0 位元組）"), Outcome::Failed},
        {foreign, QStringLiteral("資料庫中找不到藥品資料，這可能不是 Korvane 的資料庫"), Outcome::Refused}};
    for (const auto& [path, says, expected] : cases) {
        machine.dialogs.messages.clear();
        machine.writeFile(machine.installFile(QStringLiteral("Korvane.config")),
                          korvane::platform::encodeAnsi(QDir::toNativeSeparators(path) + QStringLiteral("\r\n")));
        run();
        expectFailure(says, expected);
        EXPECT_TRUE(machine.dialogs.messages.front().text.contains(QDir::toNativeSeparators(path)));
        EXPECT_TRUE(priceListKept());
    }
    EXPECT_EQ(QFileInfo(empty).size(), 0);
}

TEST_F(DrugPriceUpdate, APriceListThatCannotBeRemovedLeavesTheNewPricesAndSaysSo)
{
    writePriceList({kHeader, drugLine(1, QStringLiteral("AC12345100"))});
    UndeletableFiles files;
    action = std::make_unique<C52407301>(machine.services(files));
    EXPECT_EQ(action->action(view), Outcome::ItemsLeft);
    EXPECT_EQ(codes(), QStringList{QStringLiteral("AC12345100")});
    ASSERT_EQ(machine.dialogs.messages.size(), 1u);
    EXPECT_EQ(machine.dialogs.messages.front().icon, MessageIcon::Information);
    EXPECT_TRUE(machine.dialogs.messages.front().text.contains(QStringLiteral("無法刪除本次的藥價資料檔")));
    EXPECT_EQ(view.hideCalls, 1);
}

// Once the new prices are committed the run is done, whatever fails after: here the wizard's
// window, gone when it is to be hidden. The record says what failed.
TEST_F(DrugPriceUpdate, NothingThatFailsAfterTheCommitFailsTheRun)
{
    class GoneView : public FakeView
    {
        void hideForm() override { throw Error(QStringLiteral("視窗已經關閉。")); }
    } gone;
    writePriceList({kHeader, drugLine(1, QStringLiteral("AC12345100"))});
    action = std::make_unique<C52407301>(machine.services());
    korvane::RunRecorder recorder(machine.services(), QStringLiteral("C52407301"), QString());
    recorder.start();
    outcome = action->action(gone);
    EXPECT_TRUE(recorder.finish(outcome, *action).isEmpty());

    EXPECT_EQ(outcome, Outcome::Done);
    EXPECT_EQ(codes(), QStringList{QStringLiteral("AC12345100")});
    EXPECT_FALSE(priceListKept());
    EXPECT_TRUE(machine.dialogs.messages.empty()) << qPrintable(machine.dialogs.messages.front().text);
    QFile log(machine.installFile(QStringLiteral("UpdateLog/updates.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString recorded = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(recorded.contains(QStringLiteral("結果：完成（結束代碼 0）")) &&
                recorded.contains(QStringLiteral("\r\n注意：更新完成後的訊息無法顯示：視窗已經關閉。\r\n")))
        << qPrintable(recorded);
}

TEST_F(DrugPriceUpdate, AnErrorOfAnotherTypeIsAFailureToo)
{
    writePriceList({kHeader, drugLine(1, QStringLiteral("AC12345100"))});
    ExhaustedFiles files;
    action = std::make_unique<C52407301>(machine.services(files));
    outcome = action->action(view);
    expectFailure(QStringLiteral("記憶體不足。"), Outcome::Failed);
    EXPECT_TRUE(priceListKept());
}
