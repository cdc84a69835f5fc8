// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "PriceListSurvey.h"

#include "DrugPriceLine.h"

#include <algorithm>

namespace korvane {

namespace {

// The fields a drug row cannot do without: code, price, and the dates its price holds between.
constexpr qsizetype keyFields[] = {3, DrugPriceLine::priceField, 5, 6};

} // namespace

QString PriceListSurvey::unchanged()
{
    return QStringLiteral("藥品資料表與藥價資料檔維持原狀，未做任何變更。");
}

void PriceListSurvey::add(QStringView p_line)
{
    ++ivLines;
    const DrugPriceLine line(p_line);
    ivLastFieldCount = line.fieldCount();
    const bool record = line.isDrugRecord();
    if (record)
        ++ivDrugRecords;
    if (!p_line.contains(QChar::ReplacementCharacter))
        return;
    ++ivDamagedLines;
    if (ivFirstDamagedLine == 0)
        ivFirstDamagedLine = ivLines;
    const bool importsCleanly = record && std::none_of(std::begin(keyFields), std::end(keyFields), [&](qsizetype f) {
        return line.field(f).contains(QChar::ReplacementCharacter);
    });
    if (!importsCleanly && ivFirstUnimportableLine == 0)
        ivFirstUnimportableLine = ivLines;
}

QString PriceListSurvey::refusal(bool p_lastLineTerminated) const
{
    if (!p_lastLineTerminated && ivLastFieldCount < DrugPriceLine::recordFieldCount)
        return QStringLiteral("藥價資料檔不完整：最後一行（第 %1 行）沒有行尾，而且只有 %2 個欄位（藥品資料有 %3 個），"
                              "檔案可能在傳送或複製時被截斷了。請重新取得完整的藥價資料檔。")
                   .arg(ivLines)
                   .arg(ivLastFieldCount)
                   .arg(DrugPriceLine::recordFieldCount) +
               unchanged();

    const qsizetype tolerated = std::max<qsizetype>(1, ivDrugRecords / drugRecordsPerDamagedLine);
    if (ivDamagedLines > tolerated || ivFirstUnimportableLine != 0)
        return QStringLiteral("藥價資料檔第 %1 行含有無法辨識的字元（全檔共 %2 行如此），檔案可能不是 Big5 或 UTF-8 "
                              "編碼，或已經損毀。請重新取得正確的藥價資料檔。")
                   .arg(ivFirstUnimportableLine != 0 && ivDamagedLines <= tolerated ? ivFirstUnimportableLine
                                                                                    : ivFirstDamagedLine)
                   .arg(ivDamagedLines) +
               unchanged();
    return {};
}

} // namespace korvane
