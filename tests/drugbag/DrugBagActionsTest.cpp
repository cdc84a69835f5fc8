// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugProfileData.h"
#include "SqliteProgram.h"
#include "TestServices.h"
#include "drugbag/C524011002.h"
#include "drugbag/C524011003.h"

#include <QFile>
#include <gtest/gtest.h>
#include <tuple>

using korvane::C524011002;
using korvane::C524011003;
using korvane::platform::MessageIcon;
using korvane::test::addRows;
using korvane::test::ClinicDatabase;

namespace {

TEST(DrugBagProgress, TheBarHalvesToEvenAndTheTextRoundsHalvesUp)
{
    const std::tuple<qint64, qint64, qint16, QString> cases[] = {{0, 4, 0, "目前處理: / 4.....%"},
                                                                 {3, 4, 75, "目前處理:3 / 4.....75%"},
                                                                 {1, 8, 12, "目前處理:1 / 8.....13%"},
                                                                 {5, 8, 62, "目前處理:5 / 8.....63%"},
                                                                 {7, 8, 88, "目前處理:7 / 8.....88%"}};
    for (const auto& [count, total, value, text] : cases) {
        EXPECT_EQ(C524011003::progressValue(count, total), value) << count << '/' << total;
        EXPECT_EQ(C524011003::progressText(count, total), text);
    }
}

class DrugBagActions : public ::testing::Test
{
protected:
    QStringList labels(const QString& where = QString()) const
    {
        return korvane::test::rowTexts(profile, "SELECT * FROM tblDrugBag " + where + " ORDER BY 藥品代碼");
    }

    template <typename Action> korvane::Outcome run()
    {
        return Action(machine.services()).action(view);
    }

    void expectFailedRunKept(korvane::Outcome outcome, const QStringList& before, const QString& cause)
    {
        EXPECT_EQ(outcome, korvane::Outcome::Failed);
        EXPECT_EQ(labels(), before);
        ASSERT_EQ(machine.dialogs.messages.size(), 1u);
        const auto& shown = machine.dialogs.messages.front();
        EXPECT_TRUE(shown.icon == MessageIcon::Critical &&
                    shown.text.startsWith("更新藥袋資料失敗：藥袋資料維持原狀，沒有任何變更。可能的原因為：\r\n") &&
                    shown.text.contains(cause) && shown.text.endsWith("\r\n\r\n排除原因後，可以再執行一次本更新程式。"))
            << qPrintable(shown.text);
        machine.dialogs.messages.clear();
    }

    korvane::test::TestMachine machine;
    korvane::test::FakeView view;
    ClinicDatabase profile = korvane::test::drugProfile(machine.installFile("tools/dbDrugProfile.mdb"));
    ClinicDatabase clinic = ClinicDatabase::create(machine.installFile("dbKorvane.mdb"));
};

TEST_F(DrugBagActions, TheProfileFillsTheLabels)
{
    // The scan gets a table of its own, to hold a code with blanks, a null and codes without a profile row.
    profile.exec("DROP VIEW tDrugInfoFronNhi");
    profile.exec("CREATE TABLE tDrugInfoFronNhi (健保碼 TEXT)");
    addRows(profile, "tDrugInfoFronNhi",
            {" AC12345100 ", "BC00000100", "<null>", "BC00000200", "A'00000300", "NO00000100", "NO00000200",
             "BC00000100", "BC00000300"});
    addRows(profile, "tDrugInfoFromNhi (健保碼, 中文名, 適應症, 劑型)",
            {"AC12345100|\"永信\"#安?心'錠|  " + QString(300, u'痛') + " |錠劑",
             "BC00000100|新名|頭痛。|膠囊劑", "BC00000200|<null>|胃痛。|<null>",
             "A'00000300|引號|<null>|錠劑", "BC00000300|全形|胃痛。|\u3000"});
    // Blank indications are filled, an appearance is kept, a name is replaced; a label without a
    // profile row or without a profile name keeps its texts. Ideographic spaces are text, not blanks.
    const QStringList kept{
        "BC00000200|<null>|原名|<null>|<null>|<null>|原有適應症|<null>|<null>|<null>|<null>",
        "NO00000200|<null>|不動|<null>|<null>|<null>|<null>|<null>|<null>|<null>|<null>"};
    addRows(profile, "tblDrugBag",
            QStringList{"BC00000100|EN|舊名|成分|廠|白色|   |飯後|嗜睡|B|警語",
                        "BC00000300|EN|舊|成分|廠|\u3000|\u3000\u3000|飯後|嗜睡|B|警語"} +
                kept);

    EXPECT_EQ(run<C524011003>(), korvane::Outcome::Done);

    EXPECT_TRUE(machine.dialogs.messages.empty());
    QStringList expected = QStringList{"A'00000300||引號|||錠劑|<null>||||",
                                       "AC12345100||\"永信\"安心錠|||錠劑|" + QString(250, u'痛') + "||||",
                                       "BC00000100|EN|新名|成分|廠|白色|頭痛。|飯後|嗜睡|B|警語",
                                       "BC00000300|EN|全形|成分|廠|\u3000|\u3000\u3000|飯後|嗜睡|B|警語"} +
                           kept;
    expected.sort();
    EXPECT_EQ(labels(), expected);
    // Nine scan rows: a progress text and a bar value for each, then the bar full.
    EXPECT_EQ(view.progress, (std::vector<qint16>{0, 11, 22, 33, 44, 56, 67, 78, 89, 100}));
    ASSERT_EQ(view.messages.size(), 11);
    EXPECT_EQ(view.messages.at(2), "目前處理:1 / 9.....11%");
}

TEST_F(DrugBagActions, ACLabelsTakeTheTextsOfTheirA0CounterpartsAndKeepTheirOwnNames)
{
    addRows(clinic, "tblDrugs (代碼)",
            {"AC12345100", "AC22222200  ", "AC33333300", "AC44444400", "BC12345100", "AC55555500"});
    const auto label = [](const QString& code, const QString& a0, const QString& name, const QString& says) {
        return code + "|EN " + a0 + '|' + name + "|成分|廠|白色|" + says + "|飯後|嗜睡|C|警語";
    };
    addRows(profile, "tblDrugBag",
            {label("A012345100", "A012345100", "A0名", "A0適應症"),
             "AC12345100|舊|自己的名|舊|舊|舊|自己的適應症|舊|舊|A|舊",
             label("A0222200  ", "A0222200  ", "A0名", "空白碼適應症"), // the stored code's last eight
             label("A044444400", "A044444400", "A0名", "<null>"),
             "AC44444400|<null>|<null>|<null>|<null>|<null>|<null>|<null>|<null>|<null>|<null>",
             label("A055555500", "A055555500", "A0名", "五")});

    EXPECT_EQ(run<C524011002>(), korvane::Outcome::Done);

    EXPECT_TRUE(machine.dialogs.messages.empty());
    // AC33333300 has no A0 label to copy; a null own name and indications stay null.
    EXPECT_EQ(labels("WHERE 藥品代碼 NOT LIKE 'A0%'"),
              (QStringList{label("AC12345100", "A012345100", "自己的名", "自己的適應症"),
                           label("AC22222200", "A0222200  ", "", "空白碼適應症"),
                           label("AC44444400", "A044444400", "<null>", "<null>"),
                           label("AC55555500", "A055555500", "", "五")}));
}

// The drug-bag printer saving a label holds the write lock that the run's one transaction takes
// first: the run, and its preview alike, are refused before anything changes, saying what holds
// the database, and go through once the printer is done.
TEST_F(DrugBagActions, AnotherProgramWritingTheLabelsRefusesTheRunBeforeAnythingChanges)
{
    addRows(clinic, "tblDrugs (代碼)", {"AC12345100"});
    addRows(profile, "tblDrugBag (藥品代碼, 英文品名)", {"A012345100|A0"});
    const QStringList before = labels();
    {
        const korvane::test::SqliteProgram printer(
            profile.path(), {"BEGIN IMMEDIATE", "UPDATE tblDrugBag SET 英文品名 = 'printer' WHERE 藥品代碼 = 'A012345100'"});
        EXPECT_EQ(C524011002(machine.services()).previewChanges().outcome, korvane::Outcome::Refused);
        EXPECT_EQ(run<C524011002>(), korvane::Outcome::Refused);
    }
    EXPECT_EQ(labels(), before);
    ASSERT_EQ(machine.dialogs.messages.size(), 2u);
    for (const auto& shown : machine.dialogs.messages) {
        EXPECT_EQ(shown.title, "更新失敗");
        EXPECT_TRUE(shown.text.startsWith("藥袋資料沒有更新，維持原狀，沒有任何變更。原因：\r\n") &&
                    shown.text.contains("資料庫正被其他程式使用中（已鎖定）"))
            << qPrintable(shown.text);
    }
    EXPECT_EQ(machine.dialogs.messages[0].text, machine.dialogs.messages[1].text);
    EXPECT_EQ(C524011002(machine.services()).previewChanges().outcome, korvane::Outcome::Done);
    EXPECT_EQ(run<C524011002>(), korvane::Outcome::Done);
    EXPECT_EQ(labels("WHERE 藥品代碼 = 'AC12345100'").size(), 1);
}

TEST_F(DrugBagActions, AFailedRunLeavesTheLabelsAsTheyWereSaysWhyAndKeepsThePack)
{
    // Three AC drugs in the profile, each with an A0 label; the third new label is refused.
    for (const QString tail : {"00000100", "00000200", "00000300"}) {
        addRows(profile, "tDrugInfoFromNhi (健保碼, 中文名)", {"AC" + tail + "|名"});
        addRows(profile, "tblDrugBag (藥品代碼, 適應症)", {"A0" + tail + "|適應症"});
        addRows(clinic, "tblDrugs (代碼)", {"AC" + tail});
    }
    profile.exec("CREATE TRIGGER refuse BEFORE INSERT ON tblDrugBag WHEN NEW.藥品代碼 = 'AC00000300' "
                 "BEGIN SELECT RAISE(ABORT, '標籤被拒絕'); END");
    const QStringList before = labels();
    // Which drug's label was refused is named.
    expectFailedRunKept(run<C524011003>(), before, "藥品代碼 AC00000300：");
    expectFailedRunKept(run<C524011002>(), before, "藥品代碼 AC00000300：");

    ASSERT_TRUE(QFile::remove(clinic.path()));
    expectFailedRunKept(run<C524011002>(), before, "dbKorvane.mdb");
    EXPECT_FALSE(QFile::exists(clinic.path()));

    // Without the drug-bag printing module: told so, and the database is never made.
    ASSERT_TRUE(QFile::remove(profile.path()));
    EXPECT_EQ(run<C524011003>(), korvane::Outcome::Refused);
    EXPECT_EQ(run<C524011002>(), korvane::Outcome::Refused);
    ASSERT_EQ(machine.dialogs.messages.size(), 2u);
    for (const auto& shown : machine.dialogs.messages) {
        EXPECT_EQ(shown.icon, MessageIcon::Critical);
        EXPECT_EQ(shown.title + shown.text, "安裝失敗沒有安裝Zan科技藥袋列印模組，請上公司網站下載");
    }
    EXPECT_FALSE(QFile::exists(profile.path()));
}

} // namespace
