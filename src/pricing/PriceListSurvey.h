// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace korvane {

class DrugPriceLine;

// What a look at every line of a price list found, and whether the list is sound enough to
// replace tblDrugs with. Lines are added in file order as they are read.
//
// Refused are a file that is no text list at all (UTF-16, binary), a list cut short (its last
// line has no line end: every line of a list ends with CR LF, or LF in lists saved as UTF-8) and
// a list with damaged lines, lines that hold bytes no code page decodes (U+FFFD
// after decoding), unless the damage is slight: at most one damaged line in a thousand drug
// records (one line at least), and every damaged line a drug record whose code, price and dates
// are intact, so that the damage shows only in its names and other text.
class PriceListSurvey
{
public:
    static constexpr qsizetype drugRecordsPerDamagedLine = 1000;

    void add(QStringView p_line);
    // The same for a line already split.
    void add(QStringView p_line, const DrugPriceLine& p_fields);

    qsizetype lines() const { return ivLines; }
    qsizetype drugRecords() const { return ivDrugRecords; }
    qsizetype damagedLines() const { return ivDamagedLines; }
    // The first line that looks like a drug line but is none, and why ("略過第 3 行…"); empty
    // when there is none.
    const QString& firstSkipped() const { return ivFirstSkipped; }

    // Why the list must not replace the drug table, for the user; empty when it is sound.
    // p_lastLineTerminated: whether the file's last line has its line end.
    QString refusal(bool p_lastLineTerminated) const;

    // Why the file's bytes cannot be a price list (text in UTF-16, a binary file); empty when
    // they can be.
    static QString refusalOfContent(QByteArrayView p_bytes);

    // Said after every refusal: nothing was touched.
    static QString unchanged();

private:
    qsizetype ivLines = 0;
    qsizetype ivDrugRecords = 0;
    qsizetype ivDamagedLines = 0;
    qsizetype ivFirstDamagedLine = 0;  // line numbers from 1; 0 for none
    qsizetype ivFirstUnimportableLine = 0; // the first damaged line that would not import cleanly
    qsizetype ivLastFieldCount = 0;
    QString ivFirstSkipped;
};

} // namespace korvane
