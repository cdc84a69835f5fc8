// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugPricePreview.h"

#include "DrugPriceLine.h"
#include "platform/Conversions.h"

#include <QLocale>
#include <QStringBuilder>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

constexpr qsizetype codeField = 3;
constexpr qsizetype nameField = 7;
constexpr qsizetype startDateField = 5;

QString changeText(DrugPricePreview::Change change)
{
    switch (change) {
    case DrugPricePreview::Change::Added:
        return QStringLiteral("新增");
    case DrugPricePreview::Change::Removed:
        return QStringLiteral("刪除");
    case DrugPricePreview::Change::Repriced:
        return QStringLiteral("變價");
    }
    return {};
}

QString count(qsizetype n)
{
    return QLocale::c().toString(qlonglong(n));
}

using platform::csvField;

// Where a row goes: its change, then its code. The first eleven UTF-16 units of the code are
// packed into integers, as many as a code has, so that tens of thousands of rows sort by
// comparing numbers; the code itself decides only between rows that share those.
struct SortKey
{
    std::array<quint64, 3> packed;
    DrugPricePreview::Row* row;

    SortKey(DrugPricePreview::Row& p_row) : packed{quint64(p_row.change) << 48, 0, 0}, row(&p_row)
    {
        const qsizetype n = std::min<qsizetype>(p_row.code.size(), 11);
        for (qsizetype i = 0; i < n; ++i) {
            const qsizetype slot = (i + 1) / 4;
            const int shift = 48 - 16 * ((i + 1) % 4);
            packed[size_t(slot)] |= quint64(p_row.code.at(i).unicode()) << shift;
        }
    }
    bool operator<(const SortKey& other) const
    {
        return packed != other.packed ? packed < other.packed : row->code < other.row->code;
    }
};

void sortRows(std::vector<DrugPricePreview::Row>& rows)
{
    std::vector<SortKey> keys(rows.begin(), rows.end());
    std::sort(keys.begin(), keys.end());
    std::vector<DrugPricePreview::Row> sorted;
    sorted.reserve(rows.size());
    for (const SortKey& key : keys)
        sorted.push_back(std::move(*key.row));
    rows = std::move(sorted);
}

} // namespace

QString DrugPricePreview::priceText(double p_price)
{
    const double cents = std::round(p_price * 100.0);
    if (std::abs(cents) < 1e15 && cents / 100.0 == p_price)
        return QString::number(p_price, 'f', 2);
    return QString::number(p_price, 'g', 15);
}

void DrugPricePreview::keepLatest(QHash<QString, Price>& prices, const QString& p_code, Price p_price)
{
    Price& known = prices[p_code];
    if (known.name.isNull() || p_price.when > known.when || (p_price.when == known.when && p_price.place >= known.place)) {
        // A row without a name still counts as known.
        if (p_price.name.isNull())
            p_price.name = QStringLiteral("");
        known = std::move(p_price);
    }
}

void DrugPricePreview::addTableRow(const QString& p_code, const QString& p_name, double p_price, qint64 p_when,
                                   qint64 p_place)
{
    ++ivTableRows;
    keepLatest(ivTable, p_code, Price{p_name, p_price, p_when, p_place});
}

void DrugPricePreview::addKeptRow(const QString& p_code, const QString& p_name, double p_price, qint64 p_when,
                                  qint64 p_place)
{
    ++ivListRecords;
    keepLatest(ivList, p_code, Price{p_name, p_price, p_when, p_place});
}

qint64 DrugPricePreview::takesEffect(const QVariant& p_stored)
{
    if (p_stored.isNull())
        return std::numeric_limits<qint64>::min();
    std::optional<QDateTime> date;
    if (p_stored.metaType().id() == QMetaType::QString)
        date = platform::toDate(*static_cast<const QString*>(p_stored.constData()));
    else if (p_stored.canConvert<QDateTime>())
        date = p_stored.toDateTime();
    if (!date || !date->isValid())
        return std::numeric_limits<qint64>::min();
    // Its fields as they stand, in no time zone.
    return date->date().toJulianDay() * 86'400'000 + date->time().msecsSinceStartOfDay();
}

void DrugPricePreview::addListLine(const DrugPriceLine& p_line, qsizetype p_index)
{
    const auto code = [&] { return p_line.fieldCount() > codeField ? p_line.field(codeField).toString() : QString(); };
    if (!p_line.isDrugRecord()) {
        if (const QString why = p_line.whyNoRecord(); !why.isEmpty())
            ivSkipped.push_back({p_index + 1, code(), QString(), why});
        return;
    }
    ++ivListRecords;
    const std::optional<double> price = p_line.price();
    const std::optional<QDateTime> start = platform::toDate(p_line.field(startDateField));
    if (start) {
        const QDate day = start->date();
        if (!ivEarliest || day < *ivEarliest)
            ivEarliest = day;
        if (!ivLatest || day > *ivLatest)
            ivLatest = day;
    }
    const qint64 when = start ? start->date().toJulianDay() * 86'400'000 : std::numeric_limits<qint64>::min();
    keepLatest(ivList, p_line.field(codeField).toString(), Price{p_line.field(nameField).toString(), price.value_or(0.0), when, p_index});
}

void DrugPricePreview::addSkipped(const std::vector<SkippedValue>& p_values)
{
    ivSkipped.insert(ivSkipped.end(), p_values.begin(), p_values.end());
    std::stable_sort(ivSkipped.begin(), ivSkipped.end(),
                     [](const SkippedValue& a, const SkippedValue& b) { return a.line < b.line; });
}

void DrugPricePreview::finish()
{
    ivRows.clear();
    std::fill(std::begin(ivCounts), std::end(ivCounts), 0);
    ivUnchanged = 0;
    for (auto it = ivList.cbegin(); it != ivList.cend(); ++it) {
        const auto now = ivTable.constFind(it.key());
        if (now == ivTable.cend())
            ivRows.push_back({Change::Added, it.key(), it->name, std::nullopt, it->price, 0, {}});
        else if (now->price != it->price)
            ivRows.push_back({Change::Repriced, it.key(), it->name, now->price, it->price, 0, {}});
        else
            ++ivUnchanged;
    }
    for (auto it = ivTable.cbegin(); it != ivTable.cend(); ++it) {
        if (!ivList.contains(it.key()))
            ivRows.push_back({Change::Removed, it.key(), it->name, it->price, std::nullopt, 0, {}});
    }
    sortRows(ivRows);
    // A drug that goes because its line was skipped says so.
    QHash<QString, qsizetype> skippedCodes;
    for (qsizetype i = 0; i < qsizetype(ivSkipped.size()); ++i) {
        if (ivSkipped[size_t(i)].column.isEmpty() && !ivSkipped[size_t(i)].code.isEmpty())
            skippedCodes.insert(ivSkipped[size_t(i)].code, i);
    }
    for (Row& row : ivRows) {
        ++ivCounts[int(row.change)];
        if (row.change != Change::Removed || skippedCodes.isEmpty())
            continue;
        if (const auto skipped = skippedCodes.constFind(row.code); skipped != skippedCodes.cend()) {
            row.skippedLine = ivSkipped[size_t(*skipped)].line;
            row.skippedReason = ivSkipped[size_t(*skipped)].reason;
        }
    }
}

QString DrugPricePreview::text(bool p_withRows) const
{
    QString text;
    const bool undo = ivSource == Source::KeptTable;
    if (!ivPriceList.isEmpty())
        text += (undo ? QStringLiteral("還原資料檔：") : QStringLiteral("藥價資料檔：")) + ivPriceList + u'\n';
    if (!ivDatabase.isEmpty())
        text += QStringLiteral("資料庫：") + ivDatabase + u'\n';
    if (!text.isEmpty())
        text += u'\n';
    if (p_withRows) {
        for (const Row& row : ivRows) {
            text += changeText(row.change) + u' ' + platform::visibleControls(row.code) + u' ' +
                    platform::visibleControls(row.name) + u' ';
            if (row.change == Change::Repriced)
                text += priceText(*row.oldPrice) + QStringLiteral(" → ") + priceText(*row.newPrice);
            else
                text += priceText(row.oldPrice ? *row.oldPrice : *row.newPrice);
            if (row.skippedLine > 0)
                text += QStringLiteral("（它的那一行被略過，見下方）");
            text += u'\n';
        }
        for (const RefusedValue& value : ivRefusals)
            text += QStringLiteral("將被拒絕 ") + value.text() + u'\n';
        for (const SkippedValue& value : ivSkipped)
            text += value.text() + u'\n';
        if (!ivRows.empty() || !ivRefusals.empty() || !ivSkipped.empty())
            text += u'\n';
    }
    text += QStringLiteral("合計：新增 %1 項藥品，刪除 %2 項，價格變動 %3 項，價格不變 %4 項。\n")
                .arg(count(added()), count(removed()), count(repriced()), count(unchanged()));
    text += (undo ? QStringLiteral("藥品資料（tblDrugs）目前有 %1 筆，還原後將有 %2 筆。\n")
                  : QStringLiteral("藥品資料（tblDrugs）目前有 %1 筆，更新後將有 %2 筆。\n"))
                .arg(count(ivTableRows), count(ivListRecords));
    if (!ivRefusals.empty())
        text += QStringLiteral("資料庫將拒絕 %1 項資料：代碼被拒絕的藥品不會加入，其他被拒絕的欄位會留白。\n")
                    .arg(count(qsizetype(ivRefusals.size())));
    if (!ivSkipped.empty())
        text += QStringLiteral("藥價資料檔中有 %1 項資料不會照原樣匯入：略過的行不是完整的藥品資料，不會加入"
                               "（原有的該藥品會被刪除）；無法轉換的日期留白，數字以 0 存入。\n")
                    .arg(count(qsizetype(ivSkipped.size())));
    return text;
}

QByteArray DrugPricePreview::csvChangeRows() const
{
    QString text;
    // A committed update writes one for every run, tens of thousands of rows: one allocation a row.
    text.reserve(qsizetype(ivRows.size()) * 64 + 256);
    const QString changes[] = {changeText(Change::Added), changeText(Change::Removed), changeText(Change::Repriced)};
    for (const Row& row : ivRows) {
        text += changes[int(row.change)] % u',' % csvField(row.code) % u',' % csvField(row.name) % u',' %
                (row.oldPrice ? priceText(*row.oldPrice) : QString()) % u',' %
                (row.newPrice ? priceText(*row.newPrice) : QString());
        if (row.skippedLine == 0)
            text += u",,,\r\n";
        else
            text += u',' % QString::number(row.skippedLine) % u",," %
                    csvField(QStringLiteral("該行被略過：") + row.skippedReason) % u"\r\n";
    }
    return text.toUtf8();
}

QByteArray DrugPricePreview::csv(const QByteArray& p_changeRows) const
{
    QString text;
    const QString refused = ivCommitted ? QStringLiteral("被拒絕") : QStringLiteral("將被拒絕");
    for (const RefusedValue& value : ivRefusals) {
        text += refused + u',' + csvField(value.code) + QStringLiteral(",,,,") + QString::number(value.line) + u',' +
                csvField(value.column) + u',' + csvField(value.reason) + QStringLiteral("\r\n");
    }
    const QString skipped = ivCommitted ? QStringLiteral("略過") : QStringLiteral("將略過");
    for (const SkippedValue& value : ivSkipped) {
        text += skipped + u',' + csvField(value.code) + QStringLiteral(",,,,") + QString::number(value.line) + u',' +
                csvField(value.column) + u',' + csvField(value.reason) + QStringLiteral("\r\n");
    }
    // One header and one row for each drug or value, all of the same columns, so that a
    // spreadsheet sorts and filters them; the totals are in the terminal's text and the record.
    return QByteArray("\xEF\xBB\xBF") + QStringLiteral("異動,代碼,藥品英文名稱,原藥價,新藥價,行號,欄位,原因\r\n").toUtf8() +
           p_changeRows + text.toUtf8();
}

} // namespace korvane
