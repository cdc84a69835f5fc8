// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugProfileData.h"
#include "drugbag/CDrugAdvInfoHome.h"
#include "drugbag/DrugBagSql.h"
#include "platform/Error.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using korvane::CDrugAdvInfo;
using korvane::CDrugAdvInfoHome;
using korvane::platform::Error;
using korvane::test::ClinicDatabase;
namespace DrugBagSql = korvane::DrugBagSql;

namespace {

class DrugBagStore : public ::testing::Test, protected korvane::test::DrugProfileStore
{
protected:
    // A label whose texts all name its code, with the pregnancy category "B".
    void addLabel(const QString& code) const
    {
        db.exec(QStringLiteral("INSERT INTO tblDrugBag VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 'B', ?)"),
                {code, code + QStringLiteral(" EN"), code + QStringLiteral("中"),
                 code + QStringLiteral("成分"), code + QStringLiteral("廠"), code + QStringLiteral("外觀"),
                 code + QStringLiteral("適應"), code + QStringLiteral("指示"),
                 code + QStringLiteral("副作用"), code + QStringLiteral("警語")});
    }

    QStringList codes() const
    {
        QStringList all;
        for (const auto& row : db.rows(QStringLiteral("SELECT 藥品代碼 FROM tblDrugBag ORDER BY rowid")))
            all << row.at(0).toString();
        return all;
    }
};

TEST(DrugBagSqlText, OrdinaryValuesGiveTheStatementsAsTheStoreHasAlwaysWrittenThem)
{
    EXPECT_EQ(
        DrugBagSql::deleteFamily(QStringLiteral("AC12345100")),
        QStringLiteral("DELETE FROM tblDrugBag WHERE 藥品代碼 LIKE 'A%' AND (藥品代碼 LIKE '%12345100' OR  "
                       "藥品代碼 LIKE '%123451G0')"));
    EXPECT_EQ(DrugBagSql::deleteFamily(QStringLiteral("AC12345101")),
              QStringLiteral("DELETE FROM tblDrugBag WHERE 藥品代碼='AC12345101'"));
    EXPECT_EQ(DrugBagSql::selectFamily(QStringLiteral("AC123451G0")),
              QStringLiteral(
                  "SELECT * FROM tblDrugBag WHERE 藥品代碼 LIKE 'A%' AND  (藥品代碼 LIKE '%12345100' OR  "
                  "藥品代碼 LIKE '%123451G0')"));
    EXPECT_EQ(
        DrugBagSql::selectFamily(QStringLiteral("AC12345101")),
        QStringLiteral("SELECT * FROM tblDrugBag WHERE 藥品代碼 LIKE 'A%' AND  (藥品代碼 LIKE '%12345101')"));
    EXPECT_EQ(DrugBagSql::selectIngredient(QStringLiteral("甘草")),
              QStringLiteral("SELECT * FROM tblDrugBag WHERE  成分名稱 LIKE '%甘草%' "));
    EXPECT_TRUE(DrugBagSql::selectKeyWord(QStringLiteral("AC"))
                    .startsWith(QStringLiteral(
                        "SELECT * FROM tblDrugBag WHERE 藥品代碼 LIKE'AC%' OR 英文品名 LIKE '%AC%'OR "
                        "中文品名 LIKE '%AC%'OR 成分名稱")));
    // A quote is doubled inside its literal, so it can neither end the literal nor add to the statement.
    EXPECT_EQ(DrugBagSql::selectCode(QStringLiteral("A' OR '1'='1")),
              QStringLiteral("SELECT * FROM tblDrugBag WHERE 藥品代碼='A'' OR ''1''=''1'"));
}

TEST_F(DrugBagStore, TheFamilyOfACodeIsFoundAndDeletedTogether)
{
    for (const char* code :
         {"AC12345100", "A012345100", "AB123451G0", "AC12345101", "B012345100", "AC1234500"})
        addLabel(QString::fromLatin1(code));

    // Whichever family row the database returns first.
    const auto found = home.getBy中間六碼(QStringLiteral("AC123451G0"));
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE((QStringList{"AC12345100", "A012345100", "AB123451G0"}).contains(found->代碼()))
        << qPrintable(found->代碼());
    EXPECT_EQ(found->中文名(), found->代碼() + QStringLiteral("中"));
    // The database ignores case, but the family must begin with the same letter exactly.
    EXPECT_EQ(home.getBy中間六碼(QStringLiteral("ac12345100")), nullptr);
    EXPECT_EQ(home.getBy中間六碼(QStringLiteral("AC12345101"))->代碼(), QStringLiteral("AC12345101"));
    EXPECT_EQ(home.getBy中間六碼(QStringLiteral("AC99999900")), nullptr);

    CDrugAdvInfo record;
    record.set代碼(QStringLiteral("AC12345100"));
    home.deleteDrugAdvInfo(record);
    EXPECT_EQ(codes(), (QStringList{"A012345100", "AB123451G0", "AC12345101", "B012345100", "AC1234500"}));
    home.deleteDrugAdvInfoBy健保碼(QStringLiteral("AC12345100"));
    EXPECT_EQ(codes(), (QStringList{"AC12345101", "B012345100", "AC1234500"}));
    home.deleteDrugAdvInfoBy健保碼(QStringLiteral("AC12345101")); // no family: that code alone
    EXPECT_EQ(codes(), (QStringList{"B012345100", "AC1234500"}));
}

TEST_F(DrugBagStore, WritingBackLeavesTheFamilyOneRowWithTheRecordsTexts)
{
    for (const char* code : {"AC12345100", "A0123451G0", "AC1234500", "AC12345101"})
        addLabel(QString::fromLatin1(code));
    auto record = home.getById(QStringLiteral("A0123451G0"));
    ASSERT_NE(record, nullptr);
    record->set代碼(QStringLiteral("AC12345100"));
    EXPECT_TRUE(home.updateDrugAdvInfo(*record));
    EXPECT_EQ(codes(), (QStringList{"AC1234500", "AC12345101", "AC12345100"}));
    const auto rows = db.rows(
        QStringLiteral("SELECT 中文品名, 藥品警語, 孕婦等級 FROM tblDrugBag WHERE 藥品代碼='AC12345100'"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][0], QStringLiteral("A0123451G0中"));
    EXPECT_EQ(rows[0][1], QStringLiteral("A0123451G0警語"));
    EXPECT_TRUE(rows[0][2].isNull()); // the store never writes the pregnancy category

    // A nine-character code is out of reach of its family's patterns: its own row is changed in place.
    record->set代碼(QStringLiteral("AC1234500"));
    record->set中文名(QStringLiteral("新名"));
    EXPECT_TRUE(home.updateDrugAdvInfo(*record));
    EXPECT_EQ(db.rows(QStringLiteral("SELECT 中文品名 FROM tblDrugBag WHERE 藥品代碼='AC1234500'")),
              (QList<QVariantList>{{QStringLiteral("新名")}}));
    EXPECT_EQ(codes().size(), 3);
}

TEST_F(DrugBagStore, AWriteBackThatFailsLeavesTheFamilyAsItWas)
{
    for (const char* code : {"AC12345100", "A0123451G0"})
        addLabel(QString::fromLatin1(code));
    CDrugAdvInfo record;
    record.set代碼(QStringLiteral("AC12345100"));
    record.set中文名(QString(256, u'藥')); // longer than the column holds
    EXPECT_FALSE(home.updateDrugAdvInfo(record));
    EXPECT_EQ(codes(), (QStringList{"AC12345100", "A0123451G0"}));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT 孕婦等級 FROM tblDrugBag WHERE 藥品代碼='A0123451G0'")),
              QStringLiteral("B"));
}

TEST_F(DrugBagStore, SearchesMapNullsToEmptyTextAndFindNothingAsOneEmptyElement)
{
    addLabel(QStringLiteral("AC12345100"));
    addLabel(QStringLiteral("BC00000100"));
    db.exec(QStringLiteral(
        "UPDATE tblDrugBag SET 英文品名 = NULL, 副作用 = 'ac 類' WHERE 藥品代碼 = 'BC00000100'"));
    addLabel(QStringLiteral("N000000100"));

    const auto record = home.getById(QStringLiteral("BC00000100"));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->英文名(), QString());
    EXPECT_EQ(record->警語(), QStringLiteral("BC00000100警語"));
    EXPECT_EQ(home.getById(QStringLiteral("XX")), nullptr);

    QStringList found;
    for (const auto& each : home.getByKeyWord(QStringLiteral("AC")))
        found << each->代碼();
    EXPECT_EQ(found, (QStringList{"AC12345100", "BC00000100"}));
    EXPECT_EQ(home.getBy成分(QStringLiteral("N000000100成")).size(), 1u);

    // Nothing found, and a search whose statement cannot run: one element that holds no record.
    for (const auto& list :
         {home.getBy成分(QStringLiteral("甘草")), home.getByKeyWord(QStringLiteral("O'Neil"))}) {
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list.front(), nullptr);
    }
    db.exec(QStringLiteral("DROP TABLE tblDrugBag"));
    const auto none = home.getBy成分(QStringLiteral("x"));
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none.front(), nullptr);
    EXPECT_THROW(home.getById(QStringLiteral("AC12345100")), Error);
}

TEST_F(DrugBagStore, AQuoteInAValueChangesNoStatement)
{
    addLabel(QStringLiteral("AC12345100"));
    home.deleteDrugAdvInfoBy健保碼(QStringLiteral("A' OR '1'='1"));
    EXPECT_EQ(codes(), (QStringList{"AC12345100"}));
    CDrugAdvInfo record;
    record.set代碼(QStringLiteral("O'NEIL00"));
    record.set英文名(QStringLiteral("it's"));
    EXPECT_TRUE(home.updateDrugAdvInfo(record));
    EXPECT_EQ(home.getById(QStringLiteral("O'NEIL00"))->英文名(), QStringLiteral("it's"));
    EXPECT_EQ(codes(), (QStringList{"AC12345100", "O'NEIL00"}));
}

TEST_F(DrugBagStore, WithoutAConnectionNothingHappens)
{
    home.iv_context.reset();
    EXPECT_THROW(home.getById(QStringLiteral("AC12345100")), Error);
    EXPECT_THROW(home.getBy成分(QStringLiteral("x")), Error);
    CDrugAdvInfo record;
    EXPECT_FALSE(home.updateDrugAdvInfo(record));
}

} // namespace
