// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugPriceLine.h"

#include "platform/Conversions.h"
#include "platform/Error.h"

#include <algorithm>

namespace korvane {

namespace {

using Conversion = DrugPriceLine::Conversion;

std::array<DrugPriceLine::Column, 14> makeColumns()
{
    return {{
        {QStringLiteral("新"), 1, Conversion::Text},
        {QStringLiteral("單複方註記"), 2, Conversion::Text},
        {QStringLiteral("代碼"), 3, Conversion::Text},
        {QStringLiteral("藥價參考金額"), 4, Conversion::Number},
        {QStringLiteral("藥價參考日期"), 5, Conversion::Date},
        {QStringLiteral("藥價參考截止日期"), 6, Conversion::Date},
        {QStringLiteral("藥品英文名稱"), 7, Conversion::Text},
        {QStringLiteral("藥品規格量"), 8, Conversion::NumberOrZero},
        {QStringLiteral("藥品規格單位"), 9, Conversion::Text},
        {QStringLiteral("成份"), 10, Conversion::Text},
        {QStringLiteral("成份含量"), 11, Conversion::NumberOrZero},
        {QStringLiteral("含量單位"), 12, Conversion::Text},
        {QStringLiteral("藥品劑型"), 13, Conversion::Text},
        {QStringLiteral("製造廠名稱"), 14, Conversion::Text},
    }};
}

} // namespace

DrugPriceLine::DrugPriceLine(QStringView p_line)
{
    if (p_line.isEmpty())
        return;
    // A plain scan: fields are a few characters long, too short for a search to pay its setup.
    const char16_t* const text = p_line.utf16();
    const qsizetype size = p_line.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (text[i] == u'\t') {
            ivFields.append(p_line.sliced(start, i - start));
            start = i + 1;
        }
    }
    ivFields.append(p_line.sliced(start));
    if (ivFields.size() > priceField)
        ivPrice = platform::toDouble(ivFields[priceField]);
}

DrugPriceLine::DrugPriceLine(QStringView p_line, const quint32* p_starts, qsizetype p_fieldCount,
                             std::optional<double> p_price)
    : ivPrice(p_price)
{
    ivFields.resize(p_fieldCount);
    for (qsizetype i = 0; i < p_fieldCount; ++i) {
        const qsizetype start = p_starts[i];
        const qsizetype end = i + 1 < p_fieldCount ? qsizetype(p_starts[i + 1]) - 1 : p_line.size();
        ivFields[i] = p_line.sliced(start, end - start);
    }
}

std::optional<double> DrugPriceLine::number(qsizetype index) const
{
    return index == priceField ? ivPrice : platform::toDouble(ivFields[index]);
}

QStringView DrugPriceLine::field(qsizetype index) const
{
    if (index < 0 || index >= ivFields.size())
        throw platform::Error(QStringLiteral("陣列索引超出範圍：此行沒有第 ") + QString::number(index) +
                                  QStringLiteral(" 個欄位。"),
                              platform::Error::Kind::OutOfRange);
    return ivFields[index];
}

bool DrugPriceLine::isDrugRecord() const
{
    return ivFields.size() >= recordFieldCount && ivFields[0] != u"id" && ivPrice.has_value();
}

QString DrugPriceLine::whyNoRecord() const
{
    if (ivFields.isEmpty() || ivFields[0] == u"id" || isDrugRecord())
        return {};
    if (std::all_of(ivFields.begin(), ivFields.end(), [](QStringView field) { return field.trimmed().isEmpty(); }))
        return {};
    if (ivFields.size() < recordFieldCount)
        return QStringLiteral("只有 %1 個欄位（藥品資料有 %2 個），可能少了定位字元（Tab）或被換行切斷")
            .arg(ivFields.size())
            .arg(recordFieldCount);
    const QStringView price = ivFields[priceField];
    if (price.trimmed().isEmpty())
        return QStringLiteral("藥價是空的");
    return QStringLiteral("藥價「") + price.toString() + QStringLiteral("」不是數字");
}

QString DrugPriceLine::whyUnconverted(const Column& p_column) const
{
    if (p_column.field < 0 || p_column.field >= ivFields.size() || p_column.conversion == Conversion::Text)
        return {};
    const QStringView text = ivFields[p_column.field];
    if (text.trimmed().isEmpty())
        return {};
    switch (p_column.conversion) {
    case Conversion::Date:
        if (!platform::toDate(text))
            return QStringLiteral("「") + text.toString() + QStringLiteral("」不是日期，該欄留白");
        break;
    case Conversion::Number:
    case Conversion::NumberOrZero:
        if (!number(p_column.field))
            return QStringLiteral("「") + text.toString() +
                   (p_column.conversion == Conversion::Number ? QStringLiteral("」不是數字，該欄留白")
                                                              : QStringLiteral("」不是數字，以 0 存入"));
        break;
    case Conversion::Text:
        break;
    }
    return {};
}

const std::array<DrugPriceLine::Column, 14>& DrugPriceLine::columns()
{
    // Names from literals: handing one to a recordset copies no characters.
    static const std::array<Column, 14> drugColumns = makeColumns();
    return drugColumns;
}

std::optional<QVariant> DrugPriceLine::value(const Column& p_column) const
{
    if (p_column.field < 0 || p_column.field >= ivFields.size())
        return std::nullopt;
    const QStringView text = ivFields[p_column.field];
    switch (p_column.conversion) {
    case Conversion::Text:
        return QVariant(text.toString());
    case Conversion::Number:
        if (const std::optional<double> value = number(p_column.field))
            return QVariant(*value);
        return std::nullopt;
    case Conversion::NumberOrZero:
        if (const std::optional<double> value = number(p_column.field))
            return QVariant(*value);
        return QVariant(0);
    case Conversion::Date:
        if (const std::optional<QDateTime> date = platform::toDate(text))
            return QVariant(*date);
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace korvane
