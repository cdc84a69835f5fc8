// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <iterator>

namespace korvane {

// Writes made-up but realistic NHI drug-price lists for trying and measuring the import: the
// same seed always gives the same list, on every system. The text is chosen so that a good
// share of the lines holds Big5 characters whose second byte is a backslash (功, 許, 蓋, ...),
// which break naive byte-wise handling. Prices take effect on any day of eleven years, and the
// dates come in every form lists are found in: seven-digit ROC dates as the NHI writes them,
// "2024/4/1", "2024-04-01", "2024/4/1 上午 12:00:00" and "2024年4月1日".
class PriceListGenerator
{
public:
    explicit PriceListGenerator(quint64 p_seed);

    // "id" and the 14 column names of tblDrugs, tab-separated.
    static QString headerLine();
    // The next drug line: 15 tab-separated fields, ids counting from 1.
    QString nextLine();
    void appendNextLine(QString& p_text);

    // The header and p_lines drug lines, each followed by CR LF, in the ANSI code page. Throws
    // platform::Error when any character does not survive the code page.
    static QByteArray generate(qsizetype p_lines, quint64 p_seed);
    // The list of the same seed p_month months later, as the NHI's lists follow one another:
    // each month about 4 in 100 drugs are repriced (a lower price from the first of that month,
    // 2026 on), about 1 in 100 go and as many new ones come, and the rest stand as they were.
    // Month 0 is generate()'s list; every month has p_lines drug lines, ids counting from 1.
    static QByteArray generateMonth(qsizetype p_lines, quint64 p_seed, int p_month);

private:
    quint64 nextRandom();
    // 0 to p_count - 1.
    int below(int p_count);
    // True with the chance of p_percent in 100.
    bool chance(int p_percent);
    template <typename List> const auto& pick(const List& p_list)
    {
        return p_list[size_t(below(int(std::size(p_list))))];
    }
    enum class DateForm { Roc, Slashes, Dashes, SlashesWithTime, InWords };
    static void appendNumber(QString& p_text, int p_value, int p_width);
    static void appendDate(QString& p_text, QDate p_date, DateForm p_form);
    static QByteArray encode(const QString& p_text);
    // A drug line of the list p_month months on: repriced from that month's first day.
    QString repriced(QStringView p_line, int p_month);
    void appendDigits(QString& p_text, int p_count);
    void appendCode(QString& p_text);
    void appendPrice(QString& p_text);
    void appendIngredients(QString& p_text, bool p_compound);
    void appendManufacturer(QString& p_text);

    quint64 ivState;
    qint64 ivId = 0;
};

} // namespace korvane
