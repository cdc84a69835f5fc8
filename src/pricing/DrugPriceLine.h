// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <QVariant>
#include <array>
#include <optional>

namespace korvane {

// One line of the NHI drug-price list, split at tabs. The fields are views into the line, which
// must outlive this object; nothing is copied until a value is asked for.
class DrugPriceLine
{
public:
    enum class Conversion {
        Text,         // the field exactly as it stands, untrimmed
        Number,       // a double; does not convert when the field is not numeric
        Date,         // a local date and time; does not convert when the field is not a date
        NumberOrZero, // a double when the field is numeric, else the integer 0
    };

    // A column of tblDrugs and the field of a drug record that fills it.
    struct Column
    {
        QString name;
        qsizetype field;
        Conversion conversion;
    };

    // Fields 0 to 14 make a drug record; any further fields are ignored.
    static constexpr qsizetype recordFieldCount = 15;
    // The field of the reference price, which decides whether a line is a drug record.
    static constexpr qsizetype priceField = 4;

    explicit DrugPriceLine(QStringView p_line);
    // A line split before: p_starts holds where each of its p_fieldCount fields starts in it
    // (each ends at the tab before the next, the last at the line's end), p_price its price.
    DrugPriceLine(QStringView p_line, const quint32* p_starts, qsizetype p_fieldCount, std::optional<double> p_price);

    // An empty line has no fields; otherwise one more than the number of tabs.
    qsizetype fieldCount() const { return ivFields.size(); }
    // Throws platform::Error OutOfRange for a field the line does not have.
    QStringView field(qsizetype index) const;

    // At least 15 fields, field 0 not exactly "id" (the header line), and a numeric price in
    // field 4.
    bool isDrugRecord() const;
    // The reference price of a drug record.
    std::optional<double> price() const { return ivPrice; }
    // Why a line that looks like a drug line is none (too few fields, a price that is empty or
    // no number), for the user; empty for a drug record, the header line and a blank line.
    QString whyNoRecord() const;
    // Why the value a drug record gives for the column does not convert (a date that is no date,
    // a number that is no number), for the user; empty when it converts or the field is blank.
    QString whyUnconverted(const Column& p_column) const;

    // The 14 columns a drug record fills, in the order they are assigned.
    static const std::array<Column, 14>& columns();

    // The column's field converted by the column's conversion; nothing when it does not convert
    // or the line has no such field (the column is then left unset).
    std::optional<QVariant> value(const Column& p_column) const;

private:
    // A number field as a double; the price is read once, for the test and for its column.
    std::optional<double> number(qsizetype index) const;

    QVarLengthArray<QStringView, 16> ivFields;
    std::optional<double> ivPrice;
};

using DrugColumn = DrugPriceLine::Column;

} // namespace korvane
