// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "generators/PriceListGenerator.h"

#include "platform/AnsiText.h"
#include "platform/Conversions.h"
#include "pricing/DrugPriceLine.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>
#include <iterator>
#include <numeric>

namespace korvane {
namespace {

// True when the line holds a Big5 character whose second byte is a backslash.
bool hasBackslashTrailByte(QByteArrayView line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (quint8(line[i]) >= 0x81 && i + 1 < line.size()) {
            if (line[i + 1] == '\\')
                return true;
            ++i;
        }
    }
    return false;
}

TEST(PriceListGenerator, writesABig5ListThatReadsBackAsDrugRecords)
{
    constexpr qsizetype drugLines = 2'000;
    const QByteArray bytes = PriceListGenerator::generate(drugLines, 7);
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), drugLines + 1);
    EXPECT_EQ(bytes.count('\n'), drugLines + 1); // no line ends other than CR LF
    EXPECT_EQ(bytes.count('\r'), drugLines + 1);

    const platform::TextLines lines = platform::TextLines::fromAnsiFile(bytes);
    ASSERT_EQ(lines.count(), drugLines + 1);
    EXPECT_FALSE(platform::decodeAnsi(bytes).contains(QChar::ReplacementCharacter));

    const QString headerText = lines.at(0);
    const DrugPriceLine header(headerText);
    ASSERT_EQ(header.fieldCount(), 15);
    EXPECT_EQ(header.field(0), u"id");
    EXPECT_FALSE(header.isDrugRecord());
    for (const DrugColumn& column : DrugPriceLine::columns())
        EXPECT_EQ(header.field(column.field), column.name);

    const QRegularExpression code(QStringLiteral("^[A-Z][A-Z0-9](\\d{6}(00|G0)|\\d{5}G00)$"));
    const QRegularExpression price(QStringLiteral("^\\d+\\.\\d\\d$"));
    // Seven-digit ROC, "2024/4/1", "2024-04-01", "2024/4/1 上午 12:00:00" and "2024年4月1日".
    const QRegularExpression dateForms[] = {
        QRegularExpression(QStringLiteral("^\\d{7}$")),
        QRegularExpression(QStringLiteral("^\\d{4}/\\d{1,2}/\\d{1,2}$")),
        QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d$")),
        QRegularExpression(QStringLiteral("^\\d{4}/\\d{1,2}/\\d{1,2} 上午 12:00:00$")),
        QRegularExpression(QStringLiteral("^\\d{4}年\\d{1,2}月\\d{1,2}日$"))};
    int datesInForm[std::size(dateForms)] = {};
    QSet<QDate> startDays;
    int withoutQuantity = 0;
    int zeroPrices = 0;
    for (qsizetype i = 1; i < lines.count(); ++i) {
        const QString text = lines.at(i);
        const DrugPriceLine line(text);
        SCOPED_TRACE(text.toStdString());
        ASSERT_EQ(line.fieldCount(), 15);
        ASSERT_TRUE(line.isDrugRecord());
        EXPECT_EQ(line.field(0), QString::number(i));
        EXPECT_TRUE(line.field(1).isEmpty() || line.field(1) == u"*");
        EXPECT_TRUE(line.field(2) == u"單方" || line.field(2) == u"複方");
        EXPECT_TRUE(code.match(line.field(3)).hasMatch());
        EXPECT_TRUE(price.match(line.field(4)).hasMatch());
        const std::optional<QDateTime> start = platform::toDate(line.field(5));
        const std::optional<QDateTime> end = platform::toDate(line.field(6));
        ASSERT_TRUE(start && end);
        EXPECT_LT(*start, *end);
        EXPECT_EQ(start->time(), QTime(0, 0));
        startDays.insert(start->date());
        for (size_t form = 0; form < std::size(dateForms); ++form) {
            if (dateForms[form].match(line.field(5)).hasMatch()) {
                EXPECT_TRUE(dateForms[form].match(line.field(6)).hasMatch());
                ++datesInForm[form];
            }
        }
        if (line.field(2) == u"複方") {
            EXPECT_TRUE(line.field(10).contains(u'+'));
        }
        for (const qsizetype field : {7, 9, 12, 13, 14})
            EXPECT_FALSE(line.field(field).isEmpty()) << "field " << field;
        for (const DrugColumn& column : DrugPriceLine::columns())
            EXPECT_TRUE(line.value(column).has_value()) << qPrintable(column.name);
        withoutQuantity += line.field(8).isEmpty() ? 1 : 0;
        zeroPrices += line.field(4) == u"0.00" ? 1 : 0;
    }
    // Some lines without a quantity and some free drugs, as in the published lists.
    EXPECT_GT(withoutQuantity, 0);
    EXPECT_GT(zeroPrices, 0);
    // Every form, and prices taking effect on any day rather than on a few.
    EXPECT_EQ(std::accumulate(std::begin(datesInForm), std::end(datesInForm), 0), drugLines);
    for (const int count : datesInForm)
        EXPECT_GT(count, drugLines / 10);
    EXPECT_GT(startDays.size(), drugLines / 2);
}

TEST(PriceListGenerator, putsBackslashTrailBytesInAtLeastATenthOfTheLines)
{
    const QByteArray bytes = PriceListGenerator::generate(1'000, 3);
    const QList<QByteArray> lines = bytes.split('\n');
    const auto withBackslash = std::count_if(lines.begin() + 1, lines.end(), hasBackslashTrailByte);
    EXPECT_GE(withBackslash, 100);
}

TEST(PriceListGenerator, givesTheSameListForTheSameSeed)
{
    EXPECT_EQ(PriceListGenerator::generate(300, 42), PriceListGenerator::generate(300, 42));
    EXPECT_NE(PriceListGenerator::generate(300, 42), PriceListGenerator::generate(300, 43));
    EXPECT_EQ(platform::decodeAnsi(PriceListGenerator::generate(0, 42)),
              PriceListGenerator::headerLine() + QStringLiteral("\r\n"));
}

} // namespace
} // namespace korvane
