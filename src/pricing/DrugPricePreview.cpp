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

// Every cell of the CSV goes through here, the header's too.
QString csvField(const QString& text)
{
    const bool plain = std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == u',' || c == u'"' || c == u'\n' || c == u'\r';
    });
    if (plain)
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

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

void DrugPricePreview::addTableRow(const QString& p_code, const QString& p_name, double p_price)
{
    ++ivTableRows;
    ivTable.insert(p_code, Price{p_name, p_price, 0});
}

void DrugPricePreview::addListLine(const DrugPriceLine& p_line)
{
    if (!p_line.isDrugRecord())
        return;
    ++ivListRecords;
    const std::optional<double> price = p_line.price();
    const std::optional<QDateTime> start = platform::toDate(p_line.field(startDateField));
    const qint64 takesEffect = start ? start->date().toJulianDay() : std::numeric_limits<qint64>::min();
    Price& known = ivList[p_line.field(codeField).toString()];
    if (known.name.isNull() || takesEffect >= known.takesEffect)
        known = Price{p_line.field(nameField).toString(), price.value_or(0.0), takesEffect};
}

void DrugPricePreview::finish()
{
    ivRows.clear();
    std::fill(std::begin(ivCounts), std::end(ivCounts), 0);
    ivUnchanged = 0;
    for (auto it = ivList.cbegin(); it != ivList.cend(); ++it) {
        const auto now = ivTable.constFind(it.key());
        if (now == ivTable.cend())
            ivRows.push_back({Change::Added, it.key(), it->name, std::nullopt, it->price});
        else if (now->price != it->price)
            ivRows.push_back({Change::Repriced, it.key(), it->name, now->price, it->price});
        else
            ++ivUnchanged;
    }
    for (auto it = ivTable.cbegin(); it != ivTable.cend(); ++it) {
        if (!ivList.contains(it.key()))
            ivRows.push_back({Change::Removed, it.key(), it->name, it->price, std::nullopt});
    }
    sortRows(ivRows);
    for (const Row& row : ivRows)
        ++ivCounts[int(row.change)];
}

QString DrugPricePreview::text(bool p_withRows) const
{
    QString text;
    if (!ivPriceList.isEmpty())
        text += QStringLiteral("藥價資料檔：") + ivPriceList + u'\n';
    if (!ivDatabase.isEmpty())
        text += QStringLiteral("資料庫：") + ivDatabase + u'\n';
    if (!text.isEmpty())
        text += u'\n';
    if (p_withRows) {
        for (const Row& row : ivRows) {
            text += changeText(row.change) + u' ' + row.code + u' ' + row.name + u' ';
            if (row.change == Change::Repriced)
                text += priceText(*row.oldPrice) + QStringLiteral(" → ") + priceText(*row.newPrice);
            else
                text += priceText(row.oldPrice ? *row.oldPrice : *row.newPrice);
            text += u'\n';
        }
        for (const RefusedValue& value : ivRefusals)
            text += QStringLiteral("將被拒絕 ") + value.text() + u'\n';
        if (!ivRows.empty() || !ivRefusals.empty())
            text += u'\n';
    }
    text += QStringLiteral("合計：新增 %1 項藥品，刪除 %2 項，價格變動 %3 項，價格不變 %4 項。\n")
                .arg(count(added()), count(removed()), count(repriced()), count(unchanged()));
    text += QStringLiteral("藥品資料表 tblDrugs 目前有 %1 筆，更新後將有 %2 筆。\n")
                .arg(count(ivTableRows), count(ivListRecords));
    if (!ivRefusals.empty())
        text += QStringLiteral("資料庫將拒絕 %1 項資料：代碼被拒絕的藥品不會加入，其他被拒絕的欄位會留白。\n")
                    .arg(count(qsizetype(ivRefusals.size())));
    return text;
}

QByteArray DrugPricePreview::csv() const
{
    // One header and one row for each drug or refused value, all of the same columns, so that a
    // spreadsheet sorts and filters them; the totals are in the terminal's text and the record.
    QString text = csvField(QStringLiteral("異動")) % u',' % csvField(QStringLiteral("代碼")) % u',' %
                   csvField(QStringLiteral("藥品英文名稱")) % u',' % csvField(QStringLiteral("原藥價")) % u',' %
                   csvField(QStringLiteral("新藥價")) % u',' % csvField(QStringLiteral("行號")) % u',' %
                   csvField(QStringLiteral("欄位")) % u',' % csvField(QStringLiteral("原因")) % u"\r\n";
    // A committed update writes one for every run, tens of thousands of rows: one allocation a row.
    text.reserve(qsizetype(ivRows.size()) * 64 + 256);
    const QString changes[] = {changeText(Change::Added), changeText(Change::Removed), changeText(Change::Repriced)};
    for (const Row& row : ivRows) {
        text += csvField(changes[int(row.change)]) % u',' % csvField(row.code) % u',' % csvField(row.name) % u',' %
                csvField(row.oldPrice ? priceText(*row.oldPrice) : QString()) % u',' %
                csvField(row.newPrice ? priceText(*row.newPrice) : QString()) % u",,,\r\n";
    }
    const QString refused = ivCommitted ? QStringLiteral("被拒絕") : QStringLiteral("將被拒絕");
    for (const RefusedValue& value : ivRefusals) {
        text += csvField(refused) % u',' % csvField(value.code) % u",,,," % csvField(QString::number(value.line)) % u',' %
                csvField(value.column) % u',' % csvField(value.reason) % u"\r\n";
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace korvane
