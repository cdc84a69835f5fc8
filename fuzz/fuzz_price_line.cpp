// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
// The bytes of a price list, read as the import reads them: split into lines, each line decoded
// from Big5, split at tabs and converted column by column.
#include "FuzzCheck.h"
#include "platform/AnsiText.h"
#include "platform/Conversions.h"
#include "pricing/DrugPriceLine.h"

#include <QByteArray>
#include <QStringDecoder>
#include <algorithm>
#include <cstdint>
#include <vector>

using korvane::DrugPriceLine;
using korvane::fuzz::errorKindOf;
using korvane::fuzz::require;
using korvane::platform::Error;
using korvane::platform::TextLines;

namespace {

constexpr QByteArrayView utf8ByteOrderMark("\xEF\xBB\xBF");

// The line ends of a text, found the slow and obvious way: where each line starts and ends.
template <typename Text> std::vector<std::pair<qsizetype, qsizetype>> lineBounds(const Text& text)
{
    std::vector<std::pair<qsizetype, qsizetype>> bounds;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == '\r' || text[i] == '\n') {
            bounds.emplace_back(start, i);
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < text.size())
        bounds.emplace_back(start, text.size());
    return bounds;
}

// Whether the whole text is UTF-8 by Qt's own decoder, beyond ASCII somewhere.
bool readsAsUtf8(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return !utf8.hasError() && std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; });
}

// What each line must read as. A file with a UTF-8 byte-order mark, or valid UTF-8 beyond ASCII,
// is UTF-8. Otherwise a Big5 line is decoded on its own, and a lead byte left waiting at its end
// is pushed out by a byte that cannot follow it (a NUL): such a byte must show as U+FFFD, never
// vanish and never join the next line.
std::vector<QString> expectedLines(const QByteArray& bytes)
{
    std::vector<QString> lines;
    if (bytes.startsWith(utf8ByteOrderMark) || readsAsUtf8(bytes)) {
        const qsizetype mark = bytes.startsWith(utf8ByteOrderMark) ? utf8ByteOrderMark.size() : 0;
        const QString text = QString::fromUtf8(QByteArrayView(bytes).sliced(mark));
        for (const auto& [start, end] : lineBounds(text))
            lines.push_back(text.sliced(start, end - start));
        return lines;
    }
    QStringDecoder decoder("Big5");
    for (const auto& [start, end] : lineBounds(bytes)) {
        decoder.resetState();
        QString line = decoder.decode(QByteArrayView(bytes).sliced(start, end - start));
        QString rest = decoder.decode(QByteArrayView("\0", 1));
        rest.chop(1);
        lines.push_back(line + rest);
    }
    return lines;
}

void checkLine(const QString& line, bool checkBounds)
{
    require(!line.contains(u'\r') && !line.contains(u'\n'), "a line holds no line end", line);

    const DrugPriceLine record(line);
    const qsizetype fields = line.isEmpty() ? 0 : line.count(u'\t') + 1;
    require(record.fieldCount() == fields, "one field more than there are tabs", line);
    QString joined;
    for (qsizetype i = 0; i < record.fieldCount(); ++i) {
        if (i > 0)
            joined += u'\t';
        joined += record.field(i);
    }
    require(joined == line, "the fields joined with tabs give the line back", line);
    // Throwing is slow; a file of many short lines would spend its time here.
    if (checkBounds) {
        for (const qsizetype outside : {qsizetype(-1), record.fieldCount(), record.fieldCount() + 1000})
            require(errorKindOf([&] { (void)record.field(outside); }) == Error::Kind::OutOfRange,
                    "a field the line does not have throws OutOfRange", line);
    }

    const bool drug = fields >= DrugPriceLine::recordFieldCount && record.field(0) != u"id" &&
                      korvane::platform::isNumeric(record.field(4));
    require(record.isDrugRecord() == drug, "a drug record: 15 fields, not the header, numeric price", line);

    for (const DrugPriceLine::Column& column : DrugPriceLine::columns()) {
        const std::optional<QVariant> value = record.value(column);
        if (column.field >= fields) {
            require(!value, "a missing field leaves its column unset", line);
            continue;
        }
        const QStringView field = record.field(column.field);
        const std::optional<double> number = korvane::platform::toDouble(field);
        switch (column.conversion) {
        case DrugPriceLine::Conversion::Text:
            require(value && value->toString() == field, "a text column is the field untouched", line);
            break;
        case DrugPriceLine::Conversion::Number:
            require(value.has_value() == number.has_value(), "a number column converts what is numeric",
                    line);
            require(!value || value->toDouble() == *number, "a number column holds the field's value", line);
            break;
        case DrugPriceLine::Conversion::NumberOrZero:
            require(value.has_value(), "a number-or-zero column always has a value", line);
            require(value->toDouble() == (number ? *number : 0.0),
                    "a number-or-zero column is 0 unless numeric", line);
            break;
        case DrugPriceLine::Conversion::Date:
            require(!value || value->toDateTime().isValid(), "a date column holds only valid dates", line);
            require(value.has_value() == korvane::platform::toDate(field).has_value(),
                    "a date column converts what is a date", line);
            break;
        }
    }
    // Columns that point outside any line are left unset, not read.
    for (const qsizetype outside : {qsizetype(-1), qsizetype(15), fields, fields + 1})
        if (outside < 0 || outside >= fields)
            require(!record.value({QStringLiteral("x"), outside, DrugPriceLine::Conversion::Text}),
                    "a column beyond the line is unset", line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TextLines lines = TextLines::fromAnsiFile(bytes);
    const std::vector<QString> expected = expectedLines(bytes);

    require(lines.count() == qsizetype(expected.size()), "one line per line end, a final one opens none");
    require(lines.isEmpty() == expected.empty(), "isEmpty agrees with count");
    for (qsizetype i = 0; i < lines.count(); ++i) {
        const QString line = lines.at(i);
        require(line == expected[size_t(i)], "each line decodes on its own", line);
        checkLine(line, i < 8);
    }
    for (const qsizetype outside : {qsizetype(-1), lines.count()})
        require(errorKindOf([&] { (void)lines.at(outside); }) == Error::Kind::OutOfRange,
                "a line the text does not have throws OutOfRange");
    return 0;
}
