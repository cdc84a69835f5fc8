// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugProfileData.h"
#include "drugbag/DrugBagSql.h"
#include "platform/Error.h"

#include <gtest/gtest.h>
#include <utility>

using korvane::CDrugAdvInfo;
using korvane::platform::Error;
namespace DrugBagSql = korvane::DrugBagSql;

namespace {

TEST(DrugBagSqlText, OrdinaryValuesGiveTheStoresStatementsAndAQuoteStaysInsideItsLiteral)
{
    const std::pair<QString, QString> cases[] = {
        {DrugBagSql::deleteFamily("AC12345100"), "DELETE FROM tblDrugBag WHERE 藥品代碼 LIKE 'A%' AND "
                                                 "(藥品代碼 LIKE '%12345100' OR  藥品代碼 LIKE '%123451G0')"},
        {DrugBagSql::deleteFamily("AC12345101"), "DELETE FROM tblDrugBag WHERE 藥品代碼='AC12345101'"},
        {DrugBagSql::selectFamily("AC123451G0"), "SELECT * FROM tblDrugBag WHERE 藥品代碼 LIKE 'A%' AND  "
                                                 "(藥品代碼 LIKE '%12345100' OR  藥品代碼 LIKE '%123451G0')"},
        {DrugBagSql::selectFamily("AC12345101"),
         "SELECT * FROM tblDrugBag WHERE 藥品代碼 LIKE 'A%' AND  (藥品代碼 LIKE '%12345101')"},
        {DrugBagSql::selectIngredient("甘草"), "SELECT * FROM tblDrugBag WHERE  成分名稱 LIKE '%甘草%' "},
        {DrugBagSql::selectKeyWord("AC"),
         "SELECT * FROM tblDrugBag WHERE 藥品代碼 LIKE'AC%' OR 英文品名 LIKE '%AC%'OR 中文品名 LIKE '%AC%'"
         "OR 成分名稱 LIKE '%AC%'OR 廠商名稱 LIKE '%AC%'OR 藥品外觀 LIKE '%AC%'OR 適應症 LIKE '%AC%'"
         "OR 其他用藥指示 LIKE '%AC%'OR 副作用 LIKE '%AC%'OR 藥品警語 LIKE '%AC%'"},
        {DrugBagSql::selectCode("A' OR '1'='1"),
         "SELECT * FROM tblDrugBag WHERE 藥品代碼='A'' OR ''1''=''1'"},
    };
    for (const auto& [made, expected] : cases)
        EXPECT_EQ(made, expected);
}

class DrugBagStore : public ::testing::Test, protected korvane::test::DrugProfileStore
{
protected:
    // Labels whose texts all name their code, with the pregnancy category "B".
    void addLabels(const QStringList& codes) const
    {
        for (const QString& code : codes)
            korvane::test::addRows(
                db, "tblDrugBag",
                {QString("%1|%1 EN|%1中|%1成分|%1廠|%1外觀|%1適應|%1指示|%1副作用|B|%1警語").arg(code)});
    }

    QStringList rows(const QString& columns = "藥品代碼") const
    {
        return korvane::test::rowTexts(db, "SELECT " + columns + " FROM tblDrugBag ORDER BY rowid");
    }
};

TEST_F(DrugBagStore, TheFamilyOfACodeIsFoundAndDeletedTogether)
{
    addLabels({"AC12345100", "A012345100", "AB123451G0", "AC12345101", "B012345100", "AC1234500"});

    // Whichever family row the database returns first, whose first letter is the code's exactly
    // (the database ignores case).
    const auto family = home.getBy中間六碼("AC123451G0");
    ASSERT_NE(family, nullptr);
    EXPECT_TRUE(QStringList({"AC12345100", "A012345100", "AB123451G0"}).contains(family->代碼()));
    EXPECT_EQ(home.getBy中間六碼("ac12345100"), nullptr);
    EXPECT_EQ(home.getBy中間六碼("AC99999900"), nullptr);
    EXPECT_EQ(home.getBy中間六碼("AC12345101")->代碼(), "AC12345101");

    CDrugAdvInfo record;
    record.set代碼("AC12345100");
    home.deleteDrugAdvInfo(record);
    EXPECT_EQ(rows(), (QStringList{"A012345100", "AB123451G0", "AC12345101", "B012345100", "AC1234500"}));
    home.deleteDrugAdvInfoBy健保碼("AC12345100"); // out of reach: the nine-character code
    EXPECT_EQ(rows(), (QStringList{"AC12345101", "B012345100", "AC1234500"}));
    home.deleteDrugAdvInfoBy健保碼("A' OR '1'='1");
    home.deleteDrugAdvInfoBy健保碼("AC12345101"); // no family: that code alone
    EXPECT_EQ(rows(), (QStringList{"B012345100", "AC1234500"}));
}

TEST_F(DrugBagStore, AWriteBackLeavesOneRowOfTheFamilyOrChangesNothing)
{
    addLabels({"AC12345100", "A0123451G0", "AC1234500", "AC12345101"});
    CDrugAdvInfo tooLong;
    tooLong.set代碼("AC12345100");
    tooLong.set中文名(QString(256, u'藥')); // longer than the column holds
    EXPECT_FALSE(home.updateDrugAdvInfo(tooLong));
    EXPECT_EQ(rows(), (QStringList{"AC12345100", "A0123451G0", "AC1234500", "AC12345101"}));

    db.exec("UPDATE tblDrugBag SET 英文品名 = NULL WHERE 藥品代碼 = 'A0123451G0'"); // read as empty text
    auto record = home.getById("A0123451G0");
    ASSERT_NE(record, nullptr);
    record->set代碼("AC12345100");
    EXPECT_TRUE(home.updateDrugAdvInfo(*record));
    // A nine-character code is out of reach of its family's patterns: its own row changes in place.
    record->set代碼("AC1234500");
    record->set中文名("新名");
    EXPECT_TRUE(home.updateDrugAdvInfo(*record));
    record->set代碼("AC12'45100");
    EXPECT_TRUE(home.updateDrugAdvInfo(*record));
    EXPECT_EQ(
        rows("藥品代碼, 英文品名, 中文品名, 藥品警語"),
        (QStringList{"AC1234500||新名|A0123451G0警語", "AC12345101|AC12345101 EN|AC12345101中|AC12345101警語",
                     "AC12345100||A0123451G0中|A0123451G0警語", "AC12'45100||新名|A0123451G0警語"}));
}

TEST_F(DrugBagStore, SearchesFindNothingAsOneEmptyElementAndOnlyAMissingConnectionThrows)
{
    addLabels({"AC12345100", "BC00000100"});
    db.exec("UPDATE tblDrugBag SET 成分名稱 = 'O''Neil 鹽' WHERE 藥品代碼 = 'BC00000100'");
    const auto codes = [](const korvane::CDrugAdvInfoList& list) {
        QStringList found;
        for (const auto& each : list)
            found << (each ? each->代碼() : "<none>");
        return found;
    };
    EXPECT_EQ(codes(home.getByKeyWord("O'Neil")) + codes(home.getBy成分("O'Neil")),
              (QStringList{"BC00000100", "BC00000100"}));
    EXPECT_EQ(codes(home.getBy成分("甘草")), QStringList{"<none>"});
    db.exec("DROP TABLE tblDrugBag");
    EXPECT_EQ(codes(home.getByKeyWord("x")), QStringList{"<none>"});
    EXPECT_THROW(home.getById("AC12345100"), Error);
    home.iv_context.reset();
    EXPECT_THROW(home.getBy成分("x"), Error);
    EXPECT_FALSE(home.updateDrugAdvInfo(CDrugAdvInfo()));
}

} // namespace
