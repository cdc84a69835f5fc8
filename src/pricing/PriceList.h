// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DrugPriceLine.h"
#include "PriceListSurvey.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace korvane {
namespace platform {
class TextLines;
}

// A price list read once: every line decoded into one text and split into its fields, each
// line's price converted, and the survey of the whole list made on the way. The update then
// takes its lines from here rather than decoding and splitting each again.
class PriceList
{
public:
    // Reads every line in order; eachLine, when given, hears the count of lines read so far
    // after each.
    static PriceList read(const platform::TextLines& lines, const std::function<void(qsizetype)>& eachLine = {});

    qsizetype count() const { return qsizetype(ivLineStarts.size()) - 1; }
    QStringView text(qsizetype index) const;
    // The line split into its fields; a view into this list, which must outlive it.
    DrugPriceLine line(qsizetype index) const;
    const PriceListSurvey& survey() const { return ivSurvey; }

private:
    QString ivText;
    std::vector<quint32> ivLineStarts;  // in ivText; one more than there are lines
    std::vector<quint32> ivFieldStarts; // each line's fields, where they start in the line
    std::vector<quint32> ivFirstField;  // each line's first in ivFieldStarts; one more than lines
    std::vector<std::optional<double>> ivPrices;
    PriceListSurvey ivSurvey;
};

} // namespace korvane
