// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "pricing/DrugPriceLine.h"

#include "platform/AnsiText.h"
#include "platform/Error.h"

#include <QDate>
#include <QStringList>
#include <gtest/gtest.h>

namespace korvane {
namespace {

// A drug line of the published list with its fields as given.
QString drugLine(const QStringList& fields)
{
    return fields.join(u'\t');
}

QStringList typicalFields()
{
    return {QStringLiteral("1"),
            QStringLiteral("*"),
            QStringLiteral("單方"),
            QStringLiteral("AC12345100"),
            QStringLiteral("12.50"),
            QStringLiteral("1130401"),
            QStringLiteral("9991231"),
            QStringLiteral("\"KANG HUA\" AMOXICILLIN CAPSULES 500MG"),
            QStringLiteral("500"),
            QStringLiteral("MG"),
            QStringLiteral("AMOXICILLIN（AS TRIHYDRATE）"),
            QStringLiteral("500"),
            QStringLiteral("MG"),
            QStringLiteral("膠囊劑"),
            QStringLiteral("台灣功學藥品有限公司")};
}

struct SplitCase
{
    const char16_t* line;
    QStringList fields;
};

void PrintTo(const SplitCase& c, std::ostream* os)
{
    *os << '"' << QString::fromUtf16(c.line).toStdString() << '"';
}

class LineFields : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(LineFields, areTheTextsBetweenTabs)
{
    const QString line = QString::fromUtf16(GetParam().line);
    const DrugPriceLine fields(line);
    ASSERT_EQ(fields.fieldCount(), GetParam().fields.size());
    for (qsizetype i = 0; i < fields.fieldCount(); ++i)
        EXPECT_EQ(fields.field(i), GetParam().fields.at(i)) << "field " << i;
    EXPECT_THROW(fields.field(fields.fieldCount()), platform::Error);
    EXPECT_THROW(fields.field(-1), platform::Error);
}

INSTANTIATE_TEST_SUITE_P(Lines, LineFields,
                         ::testing::Values(SplitCase{u"", {}}, SplitCase{u"a", {"a"}}, SplitCase{u" ", {" "}},
                                           SplitCase{u"a\tb", {"a", "b"}}, SplitCase{u"\t", {"", ""}},
                                           SplitCase{u"a\t", {"a", ""}}, SplitCase{u"\t\tc", {"", "", "c"}},
                                           SplitCase{u" a \t b ", {" a ", " b "}}));

struct RecordCase
{
    const char* name;
    int fieldCount;
    const char16_t* field0;
    const char16_t* price;
    bool isRecord;
};

void PrintTo(const RecordCase& c, std::ostream* os)
{
    *os << c.name;
}

class DrugRecord : public ::testing::TestWithParam<RecordCase>
{
};

TEST_P(DrugRecord, needsFifteenFieldsNoHeaderMarkAndAPrice)
{
    QStringList fields = typicalFields();
    while (fields.size() < GetParam().fieldCount)
        fields.append(QStringLiteral("extra"));
    while (fields.size() > GetParam().fieldCount)
        fields.removeLast();
    fields[0] = QString::fromUtf16(GetParam().field0);
    fields[4] = QString::fromUtf16(GetParam().price);
    const QString line = drugLine(fields);
    EXPECT_EQ(DrugPriceLine(line).isDrugRecord(), GetParam().isRecord);
}

INSTANTIATE_TEST_SUITE_P(Lines, DrugRecord,
                         ::testing::Values(RecordCase{"typical", 15, u"1", u"12.50", true},
                                           RecordCase{"fourteen fields", 14, u"1", u"12.50", false},
                                           RecordCase{"sixteen fields", 16, u"1", u"12.50", true},
                                           RecordCase{"header", 15, u"id", u"12.50", false},
                                           RecordCase{"upper-case id", 15, u"ID", u"12.50", true},
                                           RecordCase{"id with a blank", 15, u"id ", u"12.50", true},
                                           RecordCase{"empty price", 15, u"1", u"", false},
                                           RecordCase{"price as text", 15, u"1", u"藥價參考金額", false},
                                           RecordCase{"price with currency", 15, u"1", u"12.5元", false},
                                           RecordCase{"price 0", 15, u"1", u"0", true},
                                           RecordCase{"grouped price", 15, u"1", u" 1,234.50 ", true}));

TEST(DrugPriceLine, convertsEveryColumnOfATypicalRecord)
{
    const QString line = drugLine(typicalFields());
    const DrugPriceLine fields(line);
    QVariantMap values;
    for (const DrugColumn& column : DrugPriceLine::columns()) {
        const std::optional<QVariant> value = fields.value(column);
        ASSERT_TRUE(value.has_value()) << column.name.toStdString();
        values.insert(column.name, *value);
    }

    const QDateTime april(QDate(2024, 4, 1), QTime(0, 0));
    const QVariantMap expected{
        {QStringLiteral("新"), QStringLiteral("*")},
        {QStringLiteral("單複方註記"), QStringLiteral("單方")},
        {QStringLiteral("代碼"), QStringLiteral("AC12345100")},
        {QStringLiteral("藥價參考金額"), 12.5},
        {QStringLiteral("藥價參考日期"), april},
        {QStringLiteral("藥價參考截止日期"), QDateTime(QDate(2910, 12, 31), QTime(0, 0))},
        {QStringLiteral("藥品英文名稱"), QStringLiteral("\"KANG HUA\" AMOXICILLIN CAPSULES 500MG")},
        {QStringLiteral("藥品規格量"), 500.0},
        {QStringLiteral("藥品規格單位"), QStringLiteral("MG")},
        {QStringLiteral("成份"), QStringLiteral("AMOXICILLIN（AS TRIHYDRATE）")},
        {QStringLiteral("成份含量"), 500.0},
        {QStringLiteral("含量單位"), QStringLiteral("MG")},
        {QStringLiteral("藥品劑型"), QStringLiteral("膠囊劑")},
        {QStringLiteral("製造廠名稱"), QStringLiteral("台灣功學藥品有限公司")}};
    EXPECT_EQ(values, expected);
    EXPECT_EQ(values.value(QStringLiteral("藥價參考金額")).metaType(), QMetaType::fromType<double>());
    EXPECT_EQ(values.value(QStringLiteral("藥品規格量")).metaType(), QMetaType::fromType<double>());
}

struct FieldCase
{
    const char* name;
    int field;
    const char16_t* text;
    std::optional<QVariant> value; // nothing: the column is left unset
};

void PrintTo(const FieldCase& c, std::ostream* os)
{
    *os << c.name;
}

class FieldValue : public ::testing::TestWithParam<FieldCase>
{
};

TEST_P(FieldValue, followsTheConversionOfItsColumn)
{
    QStringList fields = typicalFields();
    fields[GetParam().field] = QString::fromUtf16(GetParam().text);
    const QString line = drugLine(fields);
    const DrugPriceLine record(line);
    const auto& columns = DrugPriceLine::columns();
    const auto column = std::find_if(columns.begin(), columns.end(),
                                     [&](const DrugColumn& c) { return c.field == GetParam().field; });
    ASSERT_NE(column, columns.end());

    const std::optional<QVariant> value = record.value(*column);
    ASSERT_EQ(value.has_value(), GetParam().value.has_value());
    if (value) {
        EXPECT_EQ(value->metaType(), GetParam().value->metaType());
        EXPECT_EQ(*value, *GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, FieldValue,
                         ::testing::Values(FieldCase{"empty quantity", 8, u"", QVariant(0)},
                                           FieldCase{"quantity as text", 8, u"適量", QVariant(0)},
                                           FieldCase{"grouped quantity", 8, u"1,000", QVariant(1000.0)},
                                           FieldCase{"empty content", 11, u"", QVariant(0)},
                                           FieldCase{"decimal content", 11, u"0.5", QVariant(0.5)},
                                           FieldCase{"price 0", 4, u"0", QVariant(0.0)},
                                           FieldCase{"large price", 4, u"123456.78", QVariant(123456.78)},
                                           FieldCase{"unparsable start date", 5, u"113/04/01", std::nullopt},
                                           FieldCase{"impossible end date", 6, u"1130231", std::nullopt},
                                           FieldCase{"empty end date", 6, u"", std::nullopt},
                                           FieldCase{"slashed date", 5, u"2024/4/1",
                                                     QVariant(QDateTime(QDate(2024, 4, 1), QTime(0, 0)))},
                                           FieldCase{"text is not trimmed", 7, u"  PANADOL  ",
                                                     QVariant(QStringLiteral("  PANADOL  "))},
                                           FieldCase{"empty text stays empty", 1, u"", QVariant(QString())}));

TEST(DrugPriceLine, leavesAColumnUnsetWhenTheLineIsTooShort)
{
    const QString line = QStringLiteral("1\t*\t單方");
    const DrugPriceLine fields(line);
    EXPECT_FALSE(fields.value(DrugPriceLine::columns().back()).has_value());
}

TEST(DrugPriceLine, splitsABig5LineWithBackslashTrailBytesAtItsTabs)
{
    // 功 A5 5C, 許 B3 5C, 蓋 BB 5C, 擺 C2 5C: each second byte is a backslash, and 功 and 擺
    // stand right before a tab.
    const QByteArray bytes = QByteArray("1\t\t\xB3\xE6\xA4\xE8\tAC12345100\t12.50\t1130401\t9991231\t"
                                        "GONG\t500\tMG\t\xA5\x5C\tabc\tMG\t\xBB\x5C\t"
                                        "\xB3\x5C\xC2\x5C");
    const QString line = platform::decodeAnsi(bytes);
    const DrugPriceLine fields(line);
    ASSERT_EQ(fields.fieldCount(), 15);
    EXPECT_TRUE(fields.isDrugRecord());
    EXPECT_EQ(fields.field(2), u"單方");
    EXPECT_EQ(fields.field(10), u"功");
    EXPECT_EQ(fields.field(11), u"abc");
    EXPECT_EQ(fields.field(13), u"蓋");
    EXPECT_EQ(fields.field(14), u"許擺");
}

} // namespace
} // namespace korvane
