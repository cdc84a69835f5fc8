// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/Conversions.h"

#include "TempEnvironmentVariable.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <gtest/gtest.h>

namespace korvane::platform {
namespace {

struct NumberCase
{
    const char16_t* text;
    std::optional<double> expected;
};

void PrintTo(const NumberCase& c, std::ostream* os)
{
    *os << '"' << QString::fromUtf16(c.text).toStdString() << '"';
}

class NumberText : public ::testing::TestWithParam<NumberCase>
{
};

TEST_P(NumberText, convertsOrRefusesAndTheTestAgrees)
{
    const NumberCase& c = GetParam();
    const std::optional<double> value = toDouble(QStringView(c.text));
    EXPECT_EQ(isNumeric(QStringView(c.text)), value.has_value());
    ASSERT_EQ(value.has_value(), c.expected.has_value());
    if (c.expected) {
        EXPECT_DOUBLE_EQ(*value, *c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, NumberText,
    ::testing::Values(NumberCase{u"0", 0.0}, NumberCase{u"12", 12.0}, NumberCase{u"  -1,234.50 ", -1234.5},
                      NumberCase{u"\t+7\t", 7.0}, NumberCase{u"1,234.5", 1234.5},
                      NumberCase{u"1,2345", 12345.0}, NumberCase{u"1,234,567", 1234567.0},
                      NumberCase{u".5", 0.5}, NumberCase{u"5.", 5.0}, NumberCase{u"-.25", -0.25},
                      NumberCase{u"1e3", 1000.0}, NumberCase{u"2.5E-2", 0.025}, NumberCase{u"1e+2", 100.0},
                      NumberCase{u"007", 7.0},
                      NumberCase{u"\u3000"
                                 u"42\u3000",
                                 42.0},
                      NumberCase{u"1.7976931348623157e308", 1.7976931348623157e308},
                      NumberCase{u"1e-400", 0.0}, NumberCase{u"0.000e99999999999999999999", 0.0},
                      NumberCase{u"123456789012345678901234567890123456789012345678901234567890"
                                 u"123456789012345678901234567890",
                                 1.2345678901234568e89}));

INSTANTIATE_TEST_SUITE_P(
    Refused, NumberText,
    ::testing::Values(NumberCase{u"", {}}, NumberCase{u"   ", {}}, NumberCase{u"1e400", {}},
                      NumberCase{u"-1e400", {}}, NumberCase{u"1.7976931348623159e308", {}},
                      NumberCase{u"1,,2", {}}, NumberCase{u",5", {}}, NumberCase{u"5,", {}},
                      NumberCase{u"1,.5", {}}, NumberCase{u"-,5", {}}, NumberCase{u"1.2,3", {}},
                      NumberCase{u"12.5元", {}}, NumberCase{u"$5", {}}, NumberCase{u".", {}},
                      NumberCase{u"-", {}}, NumberCase{u"+-1", {}}, NumberCase{u"- 1", {}},
                      NumberCase{u"1 000", {}}, NumberCase{u"1.2.3", {}}, NumberCase{u"e5", {}},
                      NumberCase{u"1e", {}}, NumberCase{u"1e+", {}}, NumberCase{u"1e5.5", {}},
                      NumberCase{u"inf", {}}, NumberCase{u"nan", {}}, NumberCase{u"0x10", {}},
                      NumberCase{u"１２", {}}, NumberCase{u"12\n", {}},
                      NumberCase{u"1"
                                 u"\u00A0",
                                 {}}));

TEST(NumberText, keepsTheSignOfATinyNegative)
{
    const std::optional<double> value = toDouble(u"-1e-400");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, 0.0);
    EXPECT_TRUE(std::signbit(*value));
}

struct DateCase
{
    const char16_t* text;
    QDate date;
    QTime time = QTime(0, 0);
};

void PrintTo(const DateCase& c, std::ostream* os)
{
    *os << '"' << QString::fromUtf16(c.text).toStdString() << '"';
}

class DateText : public ::testing::TestWithParam<DateCase>
{
};

TEST_P(DateText, parsesRealDatesAndTimes)
{
    const DateCase& c = GetParam();
    const std::optional<QDateTime> value = toDate(QStringView(c.text));
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->date(), c.date);
    EXPECT_EQ(value->time(), c.time);
    EXPECT_EQ(value->timeSpec(), Qt::UTC); // in no zone: nothing may shift it
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, DateText,
    ::testing::Values(DateCase{u"2024/2/29", QDate(2024, 2, 29)}, DateCase{u"2024-04-01", QDate(2024, 4, 1)},
                      DateCase{u"  2024/12/31\t", QDate(2024, 12, 31)},
                      DateCase{u"2024-04-01 下午 3:04", QDate(2024, 4, 1), QTime(15, 4)},
                      DateCase{u"2024/4/1 上午 12:00", QDate(2024, 4, 1), QTime(0, 0)},
                      DateCase{u"2024/4/1 下午 12:30", QDate(2024, 4, 1), QTime(12, 30)},
                      DateCase{u"2024/4/1 3:04:05 PM", QDate(2024, 4, 1), QTime(15, 4, 5)},
                      DateCase{u"2024/4/1 am 11:59:59", QDate(2024, 4, 1), QTime(11, 59, 59)},
                      DateCase{u"2024/4/1 3:04下午", QDate(2024, 4, 1), QTime(15, 4)},
                      DateCase{u"2024/4/1 23:59:59", QDate(2024, 4, 1), QTime(23, 59, 59)},
                      DateCase{u"2024/4/1 0:00", QDate(2024, 4, 1), QTime(0, 0)},
                      // A zh-TW workstation's long date, with or without leading zeros and a time.
                      DateCase{u"2024年4月1日", QDate(2024, 4, 1)},
                      DateCase{u"2024年02月29日", QDate(2024, 2, 29)},
                      DateCase{u"2024年12月31日 下午 3:04:05", QDate(2024, 12, 31), QTime(15, 4, 5)},
                      DateCase{u"1130401", QDate(2024, 4, 1)}, DateCase{u"0991231", QDate(2010, 12, 31)},
                      DateCase{u"9991231", QDate(2910, 12, 31)}, DateCase{u"1090229", QDate(2020, 2, 29)},
                      DateCase{u"\u3000"
                               u"1130401 ",
                               QDate(2024, 4, 1)}));

// Dates come back as written whatever the local zone, also where a clock change skipped that
// local time (Taipei's summer times began at midnight: 1974-04-01 00:00 to 00:59 never showed).
TEST(DateText, isTheDateAndTimeAsWrittenInAnyZone)
{
    const struct
    {
        const char16_t* text;
        QDate date;
        QTime time;
    } cases[] = {{u"0630401", QDate(1974, 4, 1), QTime(0, 0)},
                 {u"1975/4/1", QDate(1975, 4, 1), QTime(0, 0)},
                 {u"1979/7/1 0:30", QDate(1979, 7, 1), QTime(0, 30)},
                 {u"2024-03-10 2:30", QDate(2024, 3, 10), QTime(2, 30)}};
    for (const char* zone : {"Asia/Taipei", "America/New_York", "UTC"}) {
        const korvane::test::TempEnvironmentVariable tz("TZ", zone);
        for (const auto& c : cases) {
            const std::optional<QDateTime> value = toDate(QStringView(c.text));
            ASSERT_TRUE(value.has_value()) << QString::fromUtf16(c.text).toStdString();
            EXPECT_TRUE(value->isValid()) << zone << ' ' << QString::fromUtf16(c.text).toStdString();
            EXPECT_EQ(value->date(), c.date) << zone << ' ' << QString::fromUtf16(c.text).toStdString();
            EXPECT_EQ(value->time(), c.time) << zone << ' ' << QString::fromUtf16(c.text).toStdString();
        }
    }
}

class NotADate : public ::testing::TestWithParam<const char16_t*>
{
};

TEST_P(NotADate, isRefused)
{
    const std::optional<QDateTime> value = toDate(QStringView(GetParam()));
    EXPECT_FALSE(value.has_value()) << value->toString(Qt::ISODate).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Refused, NotADate,
    ::testing::Values(u"", u"   ", u"2023/2/29", u"2024/4/31", u"2024/13/1", u"2024/0/1", u"2024/4/0",
                      u"2024/4-1", u"2024-4/1", u"2024.4.1", u"24/4/1", u"2024/004/1", u"2024/4/1/",
                      u"2024/4/1 13:60", u"2024/4/1 24:00", u"2024/4/1 3:4", u"2024/4/1 3:04:60",
                      u"2024/4/1 3:04:5", u"2024/4/1 下午 13:00", u"2024/4/1 0:30 AM",
                      u"2024/4/1 下午 3:04 PM", u"2024/4/1 下午", u"2024/4/1 3", u"2024/4/1下午3:04",
                      u"2024/4/1 3:04 xm", u"13:60", u"3:04", u"1130231", u"113041", u"11304011", u"1131301",
                      u"113 0401", u"0000/1/1", u"abc", u"2024年2月30日", u"113年4月1日", u"2024年4月1",
                      u"2024年4/1日", u"2024/4/1日", u"2024年004月1日", u"2024年4月1日下午3:04",
                      u"4月1日2024年", u"4/1/2024", u"04-01-2024"));

// Text from a price list on its way to a terminal or the record: nothing in it acts there.
TEST(VisibleControls, ShowsWhatWouldActOnADisplayAndKeepsTheRest)
{
    const struct
    {
        const char16_t* text;
        bool keepLayout;
        const char16_t* shown;
    } cases[] = {
        {u"AC\x1b[2J12345", false, u"AC\\x1B[2J12345"},
        {u"\x1b]0;title\x07", false, u"\\x1B]0;title\\x07"},
        {u"a\tb\r\nc", false, u"a\\x09b\\x0D\\x0Ac"},
        {u"a\tb\r\nc\x1b", true, u"a\tb\r\nc\\x1B"},
        {u"\x7f\x85\x9b", false, u"\\x7F\\x85\\x9B"},
        {u"名\u202Eabc\u2066", false, u"名\\u202Eabc\\u2066"},
        {u"ACETAMINOPHEN（功許）\u3000", false, u"ACETAMINOPHEN（功許）\u3000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(visibleControls(QString::fromUtf16(c.text), c.keepLayout), QString::fromUtf16(c.shown));
}

} // namespace
} // namespace korvane::platform
