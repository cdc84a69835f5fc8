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

// Room for a number's text without blanks and grouping commas, which is never longer than the
// text itself: on the stack for every realistic number, on the heap for a longer text.
class NumberBuffer
{
public:
    explicit NumberBuffer(qsizetype size)
    {
        if (size > stackSize) {
            m_heap.resize(size_t(size));
            m_begin = m_heap.data();
        }
    }
    NumberBuffer(const NumberBuffer&) = delete;
    NumberBuffer& operator=(const NumberBuffer&) = delete;

    char* begin() { return m_begin; }

private:
    static constexpr qsizetype stackSize = 80;

    std::array<char, stackSize> m_stack;
    std::string m_heap;
    char* m_begin = m_stack.data();
};

// Reads a number, part by part in the order they are written, into the form from_chars takes:
// no '+', no grouping commas. A part that returns false is not part of a number.
class NumberReader
{
public:
    NumberReader(QStringView text, char* out) : m_cursor(text), m_out(out) {}

    void readSign()
    {
        if (m_cursor.peek() == u'+' || m_cursor.peek() == u'-') {
            m_negative = m_cursor.peek() == u'-';
            if (m_negative)
                *m_out++ = '-'; // from_chars takes no '+'
            m_cursor.advance();
        }
    }

    // Digits with "," grouping: no leading, trailing or doubled comma.
    bool readIntegerPart()
    {
        bool afterComma = false;
        for (;; m_cursor.advance()) {
            const char16_t c = m_cursor.peek();
            if (isDigit(c)) {
                *m_out++ = char(c);
                ++m_integerDigits;
                m_significant = m_significant || c != u'0';
                if (m_significant)
                    ++m_significantIntegerDigits;
                afterComma = false;
            } else if (c == u',') {
                if (m_integerDigits == 0 || afterComma)
                    return false;
                afterComma = true;
            } else {
                break;
            }
        }
        return !afterComma;
    }

    void readFraction()
    {
        if (!m_cursor.take(u'.'))
            return;
        *m_out++ = '.';
        while (isDigit(m_cursor.peek())) {
            const char16_t c = m_cursor.peek();
            *m_out++ = char(c);
            ++m_fractionDigits;
            if (!m_significant && c == u'0')
                ++m_leadingFractionZeros;
            m_significant = m_significant || c != u'0';
            m_cursor.advance();
        }
    }

    bool hasDigits() const { return m_integerDigits + m_fractionDigits != 0; }

    // An optional exponent; an 'e' must have digits.
    bool readExponent()
    {
        if (m_cursor.peek() != u'e' && m_cursor.peek() != u'E')
            return true;
        *m_out++ = 'e';
        m_cursor.advance();
        bool negativeExponent = false;
        if (m_cursor.peek() == u'+' || m_cursor.peek() == u'-') {
            negativeExponent = m_cursor.peek() == u'-';
            *m_out++ = char(m_cursor.peek());
            m_cursor.advance();
        }
        if (!isDigit(m_cursor.peek()))
            return false;
        while (isDigit(m_cursor.peek())) {
            *m_out++ = char(m_cursor.peek());
            if (m_exponent < 1'000'000) // far beyond any double; only the sign of the order matters
                m_exponent = m_exponent * 10 + (m_cursor.peek() - u'0');
            m_cursor.advance();
        }
        if (negativeExponent)
            m_exponent = -m_exponent;
        return true;
    }

    bool atEnd() const { return m_cursor.atEnd(); }

    // The value of what was read into the buffer from begin on.
    std::optional<double> value(const char* begin) const
    {
        double value = 0;
        const auto [end, error] = std::from_chars(begin, m_out, value);
        if (error == std::errc::result_out_of_range) {
            if (underflow())
                return m_negative ? -0.0 : 0.0;
            return std::nullopt;
        }
        if (error != std::errc() || end != m_out)
            return std::nullopt;
        return value;
    }

private:
    // Whether a number out of a double's range is too small rather than too large: the decimal
    // order of its first significant digit tells.
    bool underflow() const
    {
        const long long order = m_significantIntegerDigits > 0 ? m_significantIntegerDigits - 1 + m_exponent
                                                               : m_exponent - m_leadingFractionZeros - 1;
        return order < 0;
    }

    Cursor m_cursor;
    char* m_out;
    bool m_negative = false;
    qsizetype m_integerDigits = 0;
    qsizetype m_significantIntegerDigits = 0;
    qsizetype m_fractionDigits = 0;
    qsizetype m_leadingFractionZeros = 0;
    bool m_significant = false;
    long long m_exponent = 0;
};

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
    NumberBuffer buffer(text.size());
    NumberReader reader(text, buffer.begin());
    reader.readSign();
    if (!reader.readIntegerPart())
        return std::nullopt;
    reader.readFraction();
    if (!reader.hasDigits() || !reader.readExponent() || !reader.atEnd())
        return std::nullopt;
    return reader.value(buffer.begin());
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

namespace {

bool actsOnDisplay(char16_t c, bool keepLayout)
{
    if (c < 0x20)
        return !(keepLayout && (c == u'\t' || c == u'\r' || c == u'\n'));
    return (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// "\x1B" for a character of one byte, "\u202E" for the others.
void appendEscape(QString& into, char16_t c)
{
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    const bool small = c <= 0xFF;
    into += u'\\';
    into += small ? u'x' : u'u';
    for (int shift = small ? 4 : 12; shift >= 0; shift -= 4)
        into += QChar(digits[(c >> shift) & 0xF]);
}

} // namespace

QString visibleControls(const QString& text, bool keepLayout)
{
    if (std::none_of(text.begin(), text.end(), [&](QChar c) { return actsOnDisplay(c.unicode(), keepLayout); }))
        return text;
    return visibleControls(QStringView(text), keepLayout);
}

QString visibleControls(QStringView text, bool keepLayout)
{
    const auto first = std::find_if(text.begin(), text.end(), [&](QChar c) { return actsOnDisplay(c.unicode(), keepLayout); });
    if (first == text.end())
        return text.toString();
    QString shown;
    shown.reserve(text.size() + 8);
    shown += text.first(first - text.begin());
    for (auto it = first; it != text.end(); ++it) {
        const char16_t c = it->unicode();
        if (!actsOnDisplay(c, keepLayout))
            shown += *it;
        else
            appendEscape(shown, c);
    }
    return shown;
}

QString csvField(const QString& text)
{
    QString cell = visibleControls(text, true);
    if (!cell.isEmpty() && QStringView(u"=+-@\t\r").contains(cell.front()))
        cell.prepend(u'\'');
    const bool plain = std::none_of(cell.begin(), cell.end(), [](QChar c) {
        return c == u',' || c == u'"' || c == u'\n' || c == u'\r';
    });
    if (plain)
        return cell;
    cell.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + cell + u'"';
}

QString csvLine(const QStringList& cells)
{
    QStringList written;
    for (const QString& cell : cells)
        written << csvField(cell);
    return written.join(u',') + QStringLiteral("\r\n");
}

} // namespace korvane::platform
