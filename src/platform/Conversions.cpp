// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Conversions.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <system_error>

namespace korvane::platform {

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\x3000';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin].unicode()))
        ++begin;
    while (end > begin && isBlank(text[end - 1].unicode()))
        --end;
    return text.sliced(begin, end - begin);
}

// Walks a text one UTF-16 unit at a time; reading past the end gives 0, which matches nothing.
class Cursor
{
public:
    explicit Cursor(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    char16_t peek(qsizetype ahead = 0) const
    {
        const qsizetype at = m_pos + ahead;
        return at < m_text.size() ? m_text[at].unicode() : char16_t(0);
    }
    void advance(qsizetype count = 1) { m_pos += count; }
    bool take(char16_t c)
    {
        if (peek() != c)
            return false;
        ++m_pos;
        return true;
    }
    qsizetype skipBlanks()
    {
        const qsizetype start = m_pos;
        while (isBlank(peek()))
            ++m_pos;
        return m_pos - start;
    }
    // Between minDigits and maxDigits decimal digits as a number; -1 when there are too few or
    // more digits follow.
    int number(int minDigits, int maxDigits)
    {
        int value = 0;
        int count = 0;
        while (count < maxDigits && isDigit(peek())) {
            value = value * 10 + (peek() - u'0');
            ++m_pos;
            ++count;
        }
        if (count < minDigits || isDigit(peek()))
            return -1;
        return value;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

// Small enough to live on the stack for every realistic number; longer texts take the slow road.
constexpr qsizetype numberBufferSize = 80;

// A marker of the half day at the cursor; the cursor stays where it was when there is none.
enum class HalfDay { None, Morning, Afternoon };

HalfDay takeHalfDay(Cursor& cursor)
{
    if (cursor.peek() == u'上' && cursor.peek(1) == u'午') {
        cursor.advance(2);
        return HalfDay::Morning;
    }
    if (cursor.peek() == u'下' && cursor.peek(1) == u'午') {
        cursor.advance(2);
        return HalfDay::Afternoon;
    }
    const auto first = char16_t(cursor.peek() | 0x20); // ASCII letters to lower case
    const auto second = char16_t(cursor.peek(1) | 0x20);
    if ((first == u'a' || first == u'p') && second == u'm') {
        cursor.advance(2);
        return first == u'a' ? HalfDay::Morning : HalfDay::Afternoon;
    }
    return HalfDay::None;
}

// The date and time exactly as written. They are carried as UTC only because that is the one
// kind of QDateTime that never consults a time zone: a local one asks the C library for the
// zone's offset, which looks at the zone file once per date, and would shift or refuse a time
// that a clock change skipped. Nothing converts the value; it is stored as written.
QDateTime writtenDateTime(QDate date, QTime time)
{
    return QDateTime(date, time, Qt::UTC);
}

std::optional<QDateTime> rocDate(QStringView digits)
{
    const auto at = [&](qsizetype i) { return digits[i].unicode() - u'0'; };
    const int year = at(0) * 100 + at(1) * 10 + at(2) + 1911;
    const QDate date(year, at(3) * 10 + at(4), at(5) * 10 + at(6));
    if (!date.isValid())
        return std::nullopt;
    return writtenDateTime(date, QTime(0, 0));
}

} // namespace

std::optional<double> toDouble(QStringView text)
{
    text = trimBlanks(text);
    if (text.isEmpty())
        return std::nullopt;

    // The text without blanks and grouping commas is never longer than the text itself.
    std::array<char, numberBufferSize> stackBuffer;
    std::string heapBuffer;
    char* buffer = stackBuffer.data();
    if (text.size() > numberBufferSize) {
        heapBuffer.resize(size_t(text.size()));
        buffer = heapBuffer.data();
    }
    char* out = buffer;

    Cursor cursor(text);
    bool negative = false;
    if (cursor.peek() == u'+' || cursor.peek() == u'-') {
        negative = cursor.peek() == u'-';
        if (negative)
            *out++ = '-'; // from_chars takes no '+'
        cursor.advance();
    }

    // The decimal order of the first significant digit tells an overflow from an underflow.
    qsizetype integerDigits = 0;
    qsizetype significantIntegerDigits = 0;
    qsizetype leadingFractionZeros = 0;
    bool significant = false;
    bool afterComma = false;
    for (;; cursor.advance()) {
        const char16_t c = cursor.peek();
        if (isDigit(c)) {
            *out++ = char(c);
            ++integerDigits;
            significant = significant || c != u'0';
            if (significant)
                ++significantIntegerDigits;
            afterComma = false;
        } else if (c == u',') {
            if (integerDigits == 0 || afterComma)
                return std::nullopt;
            afterComma = true;
        } else {
            break;
        }
    }
    if (afterComma)
        return std::nullopt;

    qsizetype fractionDigits = 0;
    if (cursor.take(u'.')) {
        *out++ = '.';
        while (isDigit(cursor.peek())) {
            const char16_t c = cursor.peek();
            *out++ = char(c);
            ++fractionDigits;
            if (!significant && c == u'0')
                ++leadingFractionZeros;
            significant = significant || c != u'0';
            cursor.advance();
        }
    }
    if (integerDigits + fractionDigits == 0)
        return std::nullopt;

    long long exponent = 0;
    if (cursor.peek() == u'e' || cursor.peek() == u'E') {
        *out++ = 'e';
        cursor.advance();
        bool negativeExponent = false;
        if (cursor.peek() == u'+' || cursor.peek() == u'-') {
            negativeExponent = cursor.peek() == u'-';
            *out++ = char(cursor.peek());
            cursor.advance();
        }
        if (!isDigit(cursor.peek()))
            return std::nullopt;
        while (isDigit(cursor.peek())) {
            *out++ = char(cursor.peek());
            if (exponent < 1'000'000) // far beyond any double; only the sign of the order matters
                exponent = exponent * 10 + (cursor.peek() - u'0');
            cursor.advance();
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    if (!cursor.atEnd())
        return std::nullopt;

    double value = 0;
    const auto [end, error] = std::from_chars(buffer, out, value);
    if (error == std::errc::result_out_of_range) {
        const long long order = significantIntegerDigits > 0 ? significantIntegerDigits - 1 + exponent
                                                             : exponent - leadingFractionZeros - 1;
        if (order < 0)
            return negative ? -0.0 : 0.0;
        return std::nullopt;
    }
    if (error != std::errc() || end != out)
        return std::nullopt;
    return value;
}

bool isNumeric(QStringView text)
{
    return toDouble(text).has_value();
}

std::optional<QDateTime> toDate(QStringView text)
{
    text = trimBlanks(text);

    if (text.size() == 7 &&
        std::all_of(text.begin(), text.end(), [](QChar c) { return isDigit(c.unicode()); }))
        return rocDate(text);

    // Year first only: a month-first date cannot be told from a day-first one.
    Cursor cursor(text);
    const int year = cursor.number(4, 4);
    const char16_t separator = cursor.peek();
    // "2024年4月1日", as a zh-TW workstation writes a long date.
    const bool inWords = separator == u'年';
    if (year < 0 || (separator != u'/' && separator != u'-' && !inWords))
        return std::nullopt;
    cursor.advance();
    const int month = cursor.number(1, 2);
    if (month < 0 || !cursor.take(inWords ? u'月' : separator))
        return std::nullopt;
    const int day = cursor.number(1, 2);
    if (day < 0 || (inWords && !cursor.take(u'日')))
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    if (cursor.atEnd())
        return writtenDateTime(date, QTime(0, 0));

    if (cursor.skipBlanks() == 0)
        return std::nullopt;
    HalfDay halfDay = takeHalfDay(cursor);
    cursor.skipBlanks();
    int hour = cursor.number(1, 2);
    if (hour < 0 || !cursor.take(u':'))
        return std::nullopt;
    const int minute = cursor.number(2, 2);
    if (minute < 0)
        return std::nullopt;
    int second = 0;
    if (cursor.take(u':')) {
        second = cursor.number(2, 2);
        if (second < 0)
            return std::nullopt;
    }
    if (halfDay == HalfDay::None) {
        cursor.skipBlanks();
        halfDay = takeHalfDay(cursor);
    }
    if (!cursor.atEnd())
        return std::nullopt;

    if (halfDay != HalfDay::None) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (halfDay == HalfDay::Afternoon ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return writtenDateTime(date, QTime(hour, minute, second));
}

QString withLineFeeds(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

} // namespace korvane::platform
