// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "PriceListSurvey.h"

#include "DrugPriceLine.h"
#include "SkippedValue.h"

#include <algorithm>

namespace korvane {

namespace {

// The fields a drug row cannot do without: code, price, and the dates its price holds between.
constexpr qsizetype keyFields[] = {3, DrugPriceLine::priceField, 5, 6};

} // namespace

QString PriceListSurvey::unchanged()
{
    return QStringLiteral("藥品資料與藥價資料檔維持原狀，未做任何變更。");
}

void PriceListSurvey::add(QStringView p_line)
{
    add(p_line, DrugPriceLine(p_line));
}

void PriceListSurvey::add(QStringView p_line, const DrugPriceLine& line)
{
    ++ivLines;
    ivLastFieldCount = line.fieldCount();
    const bool record = line.isDrugRecord();
    if (record) {
        ++ivDrugRecords;
    } else if (ivFirstSkipped.isEmpty()) {
        if (const QString why = line.whyNoRecord(); !why.isEmpty())
            ivFirstSkipped =
                SkippedValue{ivLines, line.fieldCount() > 3 ? line.field(3).toString() : QString(), QString(), why}.text();
    }
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

QString PriceListSurvey::refusalOfContent(QByteArrayView p_bytes)
{
    if (p_bytes.startsWith("\xFF\xFE") || p_bytes.startsWith("\xFE\xFF"))
        return QStringLiteral("藥價資料檔是以 UTF-16（Unicode）編碼儲存的，本程式只能讀取 Big5 或 UTF-8 編碼的藥價資料檔。"
                              "請以 Big5 或 UTF-8 重新儲存，或重新取得正確的藥價資料檔。") +
               unchanged();
    // Stray NULs are damage in a field or a line; text in UTF-16 without its mark, or a program,
    // holds them throughout, in every other byte of the many ASCII characters of a list.
    const QByteArrayView head = p_bytes.first(std::min<qsizetype>(p_bytes.size(), 64 * 1024));
    const qsizetype nuls = std::count(head.begin(), head.end(), '\0');
    if (nuls > 8 && nuls * 4 > head.size())
        return QStringLiteral("藥價資料檔不是文字檔（含有 %1 個 NUL 位元組），可能是 UTF-16 編碼的文字、壓縮檔或其他檔案。"
                              "請重新取得正確的藥價資料檔（Big5 或 UTF-8 編碼的文字檔）。")
                   .arg(nuls) +
               unchanged();
    return {};
}

QString PriceListSurvey::refusal(bool p_lastLineTerminated) const
{
    if (!p_lastLineTerminated) {
        QString fields;
        if (ivLastFieldCount < DrugPriceLine::recordFieldCount)
            fields = QStringLiteral("，而且只有 %1 個欄位（藥品資料有 %2 個）")
                         .arg(ivLastFieldCount)
                         .arg(DrugPriceLine::recordFieldCount);
        return QStringLiteral("藥價資料檔不完整：最後一行（第 %1 行）沒有行尾%2。藥價資料檔的每一行都以換行結束，"
                              "檔案可能在傳送或複製時被截斷了。請重新取得完整的藥價資料檔。")
                   .arg(ivLines)
                   .arg(fields) +
               unchanged();
    }

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
