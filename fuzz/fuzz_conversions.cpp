// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
// The numeric test and the number and date conversions, on the bytes read as UTF-16 and as Big5.
// Each result is held against a plain reading of the documented forms: a regular expression
// for what is accepted, strtod and QDate for the value.
#include "FuzzCheck.h"
#include "platform/AnsiText.h"
#include "platform/Conversions.h"

#include <QRegularExpression>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>

using korvane::fuzz::require;
namespace platform = korvane::platform;

namespace {

// Blanks: space, tab, ideographic space. Digits: ASCII only.
const QRegularExpression& numberForm()
{
    static const QRegularExpression form(
        QStringLiteral("^[ \\t\\x{3000}]*([+-]?)((?:[0-9]+(?:,[0-9]+)*)?)(\\.[0-9]*)?([eE][+-]?[0-9]+)?"
                       "[ \\t\\x{3000}]*\\z"));
    return form;
}

const QRegularExpression& dateForm()
{
    static const QRegularExpression form(
        QStringLiteral("^[ \\t\\x{3000}]*(?:([0-9]{7})|([0-9]{4})(?:([/-])([0-9]{1,2})\\3([0-9]{1,2})|"
                       "年([0-9]{1,2})月([0-9]{1,2})日)"
                       "(?:[ \\t\\x{3000}]+(?:(上午|下午|[aApP][mM])[ "
                       "\\t\\x{3000}]*)?([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?"
                       "(?:[ \\t\\x{3000}]*(上午|下午|[aApP][mM]))?)?)[ \\t\\x{3000}]*\\z"));
    return form;
}

// What toDouble must give: nothing, or a finite value equal to the C library's reading.
std::optional<double> expectedNumber(QStringView text)
{
    const QRegularExpressionMatch match = numberForm().match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString integer = match.captured(2);
    const QString fraction = match.captured(3);
    if (integer.isEmpty() && fraction.size() < 2) // "." alone, or no digits at all
        return std::nullopt;
    QString plain = match.captured(1) + integer + fraction + match.captured(4);
    plain.remove(u',');
    const QByteArray ascii = plain.toLatin1();
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(ascii.constData(), &end);
    require(end == ascii.constData() + ascii.size(), "strtod reads a whole plain number", plain);
    if (std::isinf(value))
        return std::nullopt; // too large for a double
    return value;
}

void checkNumber(QStringView text)
{
    const std::optional<double> value = platform::toDouble(text);
    require(platform::isNumeric(text) == value.has_value(), "isNumeric(x) == toDouble(x).has_value()", text);
    require(!value || std::isfinite(*value), "a number is finite", text);

    const std::optional<double> expected = expectedNumber(text);
    require(value.has_value() == expected.has_value(), "numbers are exactly the documented forms", text);
    if (!value)
        return;
    // Below the normal range the C library may give a subnormal where toDouble gives 0.
    const bool tiny = std::fabs(*expected) < DBL_MIN;
    require(*value == *expected || (tiny && *value == 0.0), "a number has the value the C library reads",
            text);
}

int halfDayShift(const QString& marker)
{
    if (marker.isEmpty())
        return -1;
    return marker == u"下午" || marker.front().toLower() == u'p' ? 12 : 0;
}

// What toDate must give, as a date and a time of day.
std::optional<std::pair<QDate, QTime>> expectedDate(QStringView text)
{
    const QRegularExpressionMatch match = dateForm().match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const auto number = [&](int group) { return match.captured(group).toInt(); };
    if (match.hasCaptured(1)) {
        const QString roc = match.captured(1);
        const QDate date(roc.left(3).toInt() + 1911, roc.mid(3, 2).toInt(), roc.mid(5, 2).toInt());
        if (!date.isValid())
            return std::nullopt;
        return std::pair{date, QTime(0, 0)};
    }
    const bool inWords = match.hasCaptured(6);
    const QDate date(number(2), number(inWords ? 6 : 4), number(inWords ? 7 : 5));
    if (!date.isValid())
        return std::nullopt;
    if (!match.hasCaptured(9))
        return std::pair{date, QTime(0, 0)};
    if (match.hasCaptured(8) && match.hasCaptured(12)) // the half day given twice
        return std::nullopt;
    int hour = number(9);
    const int shift = halfDayShift(match.hasCaptured(8) ? match.captured(8) : match.captured(12));
    if (shift >= 0) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + shift;
    }
    const int minute = number(10);
    const int second = match.hasCaptured(11) ? number(11) : 0;
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return std::pair{date, QTime(hour, minute, second)};
}

void checkDate(QStringView text)
{
    const std::optional<QDateTime> value = platform::toDate(text);
    require(!value || value->isValid(), "a parsed date is valid", text);
    const std::optional<std::pair<QDate, QTime>> expected = expectedDate(text);
    require(value.has_value() == expected.has_value(), "dates are exactly the documented forms", text);
    if (!value)
        return;
    require(value->date() == expected->first, "a date keeps its calendar day", text);
    require(value->timeSpec() == Qt::UTC, "a date is in no zone, so nothing shifts it", text);
    require(value->time() == expected->second, "a date keeps its time of day", text);
}

void check(QStringView text)
{
    checkNumber(text);
    checkDate(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    check(korvane::fuzz::utf16Text(data, size));
    check(platform::decodeAnsi(QByteArrayView(data, qsizetype(size))));
    return 0;
}
