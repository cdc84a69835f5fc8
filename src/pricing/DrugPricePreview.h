// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "RefusedValue.h"
#include "SkippedValue.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace korvane {

class DrugPriceLine;

// What the drug-price update would change, drug by drug: the drugs of tblDrugs now against the
// drugs of the price list (or, for taking an update back, of the table as it was before it). A
// drug is its code. A code may hold several rows, one for each period its price held; its price
// is that of the row that takes effect last (the latest 藥價參考日期, a missing date counting as
// the earliest, and of equal dates the later row).
class DrugPricePreview
{
public:
    // What replaces the table: a price list, or the table as it was before the update taken back.
    enum class Source { PriceList, KeptTable };

    enum class Change { Added, Removed, Repriced };

    struct Row
    {
        Change change;
        QString code;
        QString name; // the English name, from the list where the drug is in it
        std::optional<double> oldPrice;
        std::optional<double> newPrice;
        // A drug removed because its line was skipped: that line (from 1) and why; 0 otherwise.
        qsizetype skippedLine = 0;
        QString skippedReason;
    };

    // A row of tblDrugs now: when it takes effect (a date's milliseconds, the least value for
    // none) and its place (its id), which decide the row taking effect last, in any order.
    void addTableRow(const QString& p_code, const QString& p_name, double p_price, qint64 p_when, qint64 p_place);
    // A row of the table that replaces it, for taking an update back; the same way.
    void addKeptRow(const QString& p_code, const QString& p_name, double p_price, qint64 p_when, qint64 p_place);
    // When a stored 藥價參考日期 takes effect, for the two above: its milliseconds, the least value
    // for none (a date the database holds as text is read as the system writes dates).
    static qint64 takesEffect(const QVariant& p_stored);
    // A line of the price list, p_index from 0. Lines that are no drug records add no drug; of
    // them, those that look like drug lines are kept as skipped.
    void addListLine(const DrugPriceLine& p_line, qsizetype p_index);
    // Values of the list's drug records that did not convert, as the columns were given them;
    // kept with the skipped lines, in the order of the list.
    void addSkipped(const std::vector<SkippedValue>& p_values);
    // A value of the list that tblDrugs would refuse, as the update would name it; a line whose
    // code would be refused is left out of the list.
    void addRefusal(const RefusedValue& p_value) { ivRefusals.push_back(p_value); }
    // Compares what was added; rows come out by change, each change by code.
    void finish();
    // The price list (or the kept table's file) and the database compared, for the text.
    void setSources(const QString& p_priceList, const QString& p_database, Source p_source = Source::PriceList)
    {
        ivPriceList = p_priceList;
        ivDatabase = p_database;
        ivSource = p_source;
    }

    // The changes are a committed update's, no longer a preview's: the CSV says what was done.
    void setCommitted() { ivCommitted = true; }

    const std::vector<Row>& rows() const { return ivRows; }
    qsizetype added() const { return ivCounts[0]; }
    qsizetype removed() const { return ivCounts[1]; }
    qsizetype repriced() const { return ivCounts[2]; }
    qsizetype unchanged() const { return ivUnchanged; }
    qsizetype tableRows() const { return ivTableRows; }
    qsizetype listRecords() const { return ivListRecords; }
    // In the order of the list.
    const std::vector<SkippedValue>& skipped() const { return ivSkipped; }
    // The earliest and the latest 藥價參考日期 of the list's drug records; none without dates.
    std::optional<QDate> earliestPriceDate() const { return ivEarliest; }
    std::optional<QDate> latestPriceDate() const { return ivLatest; }

    // The changes line by line (when p_withRows) and the totals, for a terminal.
    QString text(bool p_withRows) const;
    // The same as CSV for a spreadsheet: UTF-8 with a byte-order mark, CR LF.
    QByteArray csv() const { return csv(csvChangeRows()); }
    // The CSV in two steps, so that the many rows of a committed update's changes are written
    // while the values noted elsewhere are still to come: the rows of the changes (UTF-8), then
    // the whole CSV with them and the refused and skipped values: one header row and one row for
    // each drug or value, without totals.
    QByteArray csvChangeRows() const;
    QByteArray csv(const QByteArray& p_changeRows) const;

    // A price as lists write it: two decimals, or as many as it has.
    static QString priceText(double p_price);

private:
    struct Price
    {
        QString name;
        double price = 0;
        qint64 when = 0;  // when it takes effect: milliseconds, a list's start date at midnight
        qint64 place = 0; // a row's id, a line's index
    };
    static void keepLatest(QHash<QString, Price>& prices, const QString& p_code, Price p_price);

    QString ivPriceList;
    QString ivDatabase;
    QHash<QString, Price> ivTable;
    QHash<QString, Price> ivList;
    std::vector<Row> ivRows;
    std::vector<RefusedValue> ivRefusals;
    std::vector<SkippedValue> ivSkipped;
    std::optional<QDate> ivEarliest;
    std::optional<QDate> ivLatest;
    qsizetype ivCounts[3] = {};
    qsizetype ivUnchanged = 0;
    qsizetype ivTableRows = 0;
    qsizetype ivListRecords = 0;
    bool ivCommitted = false;
    Source ivSource = Source::PriceList;
};

} // namespace korvane
