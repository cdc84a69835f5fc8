// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "PriceList.h"

#include "platform/AnsiText.h"
#include "platform/Conversions.h"

namespace korvane {

PriceList PriceList::read(const platform::TextLines& lines, const std::function<void(qsizetype)>& eachLine)
{
    PriceList list;
    const qsizetype n = lines.count();
    // Never more characters than the file has bytes; reserved so, the text is never moved.
    list.ivText.reserve(lines.maxCharacters());
    list.ivLineStarts.reserve(size_t(n) + 1);
    list.ivFirstField.reserve(size_t(n) + 1);
    list.ivFieldStarts.reserve(size_t(n) * (DrugPriceLine::recordFieldCount + 1));
    list.ivPrices.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype start = list.ivText.size();
        list.ivLineStarts.push_back(quint32(start));
        list.ivFirstField.push_back(quint32(list.ivFieldStarts.size()));
        lines.append(i, list.ivText);
        const QStringView line = QStringView(list.ivText).sliced(start);
        // A plain scan: fields are a few characters long, too short for a search to pay its setup.
        const char16_t* const chars = line.utf16();
        list.ivFieldStarts.push_back(0);
        for (qsizetype c = 0; c < line.size(); ++c) {
            if (chars[c] == u'\t')
                list.ivFieldStarts.push_back(quint32(c + 1));
        }
        // An empty line has no fields.
        if (line.isEmpty())
            list.ivFieldStarts.pop_back();
        const qsizetype fields = qsizetype(list.ivFieldStarts.size()) - list.ivFirstField.back();
        std::optional<double> price;
        if (fields > DrugPriceLine::priceField) {
            const quint32* starts = list.ivFieldStarts.data() + list.ivFirstField.back();
            const qsizetype from = starts[DrugPriceLine::priceField];
            const qsizetype to =
                fields > DrugPriceLine::priceField + 1 ? qsizetype(starts[DrugPriceLine::priceField + 1]) - 1 : line.size();
            price = platform::toDouble(line.sliced(from, to - from));
        }
        list.ivPrices.push_back(price);
        list.ivSurvey.add(line, list.line(i));
        if (eachLine)
            eachLine(i + 1);
    }
    list.ivLineStarts.push_back(quint32(list.ivText.size()));
    list.ivFirstField.push_back(quint32(list.ivFieldStarts.size()));
    return list;
}

QStringView PriceList::text(qsizetype index) const
{
    const qsizetype start = ivLineStarts[size_t(index)];
    const qsizetype end = qsizetype(ivLineStarts[size_t(index) + 1]);
    return QStringView(ivText).sliced(start, end - start);
}

DrugPriceLine PriceList::line(qsizetype index) const
{
    const size_t first = ivFirstField[size_t(index)];
    // The last line's end is known only once it is read: its fields run to the text's end.
    const size_t last = size_t(index) + 1 < ivFirstField.size() ? ivFirstField[size_t(index) + 1] : ivFieldStarts.size();
    const qsizetype start = ivLineStarts[size_t(index)];
    const qsizetype end = size_t(index) + 1 < ivLineStarts.size() ? qsizetype(ivLineStarts[size_t(index) + 1]) : ivText.size();
    return DrugPriceLine(QStringView(ivText).sliced(start, end - start), ivFieldStarts.data() + first,
                         qsizetype(last - first), ivPrices[size_t(index)]);
}

} // namespace korvane
