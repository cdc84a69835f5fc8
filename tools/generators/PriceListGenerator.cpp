// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "PriceListGenerator.h"

#include "DrugVocabulary.h"
#include "platform/AnsiText.h"
#include "platform/Error.h"
#include "pricing/DrugPriceLine.h"

#include <QStringView>
#include <algorithm>
#include <array>
#include <vector>

namespace korvane {

namespace {

// Prices take effect on any day of these years; a list keeps the history of several years.
const QDate firstStartDate(2015, 1, 1);
const QDate lastStartDate(2025, 12, 31);
// "No end yet", as the NHI writes it: ROC year 999.
const QDate openEnd(2910, 12, 31);

// The shared vocabulary as the lists have always drawn from it: all ingredients and forms, the first
// eight makers and seven suffixes.
using vocabulary::choose;
using vocabulary::Form;
using vocabulary::forms;
using vocabulary::ingredients;
constexpr auto makers = choose(vocabulary::makers, std::to_array<std::size_t>({0, 1, 2, 3, 4, 5, 6, 7}));
constexpr auto suffixes =
    choose(vocabulary::companySuffixes, std::to_array<std::size_t>({0, 1, 2, 3, 4, 5, 6}));

// Chinese ingredient names, several with a second Big5 byte of 0x5C (穀, 淚, 枯, 功, 餐).
constexpr std::array<QStringView, 16> chineseIngredients{
    u"甘草",       u"當歸",         u"川芎",       u"黃耆",
    u"白芍",       u"人參",         u"葛根",       u"桂枝",
    u"穀維素",     u"人工淚液成分", u"枯草桿菌",   u"麥門冬",
    u"健脾功能散", u"餐後酵素",     u"當歸、川芎", u"維生素（Ｂ１，Ｂ２）"};

struct Strength
{
    QStringView amount;
    QStringView unit;
};
constexpr std::array<Strength, 14> strengths{{{u"500", u"MG"},
                                              {u"250", u"MG"},
                                              {u"100", u"MG"},
                                              {u"50", u"MG"},
                                              {u"10", u"MG"},
                                              {u"5", u"MG"},
                                              {u"0.5", u"MG"},
                                              {u"1", u"GM"},
                                              {u"2", u"GM"},
                                              {u"5", u"ML"},
                                              {u"60", u"ML"},
                                              {u"100", u"MCG"},
                                              {u"1000", u"IU"},
                                              {u"1", u"錠"}}};
constexpr std::array<QStringView, 8> contents{u"0.5", u"1", u"2.5", u"5", u"10", u"20", u"100", u"500"};
constexpr std::array<QStringView, 6> contentUnits{u"MG", u"MG", u"ML", u"GM", u"MCG", u"%"};

// Manufacturer names are built from two syllables and a suffix; 功, 許 and 蓋 end in 0x5C.
constexpr std::array<QStringView, 16> syllables{u"永", u"康", u"華", u"安", u"信", u"泰", u"生", u"豐",
                                                u"功", u"許", u"蓋", u"和", u"聯", u"健", u"達", u"成"};

constexpr QChar tab = u'\t';

} // namespace

PriceListGenerator::PriceListGenerator(quint64 p_seed) : ivState(p_seed) {}

QString PriceListGenerator::headerLine()
{
    QString line = QStringLiteral("id");
    for (const DrugPriceLine::Column& column : DrugPriceLine::columns()) {
        line += tab;
        line += column.name;
    }
    return line;
}

QString PriceListGenerator::nextLine()
{
    QString line;
    appendNextLine(line);
    return line;
}

void PriceListGenerator::appendNextLine(QString& p_text)
{
    p_text += QString::number(++ivId);
    p_text += tab;
    if (chance(8))
        p_text += u'*';
    p_text += tab;
    const bool compound = chance(25);
    p_text += compound ? u"複方" : u"單方";
    p_text += tab;
    appendCode(p_text);
    p_text += tab;
    appendPrice(p_text);
    p_text += tab;
    // Both dates of a line in one form, as one program would have written them.
    const auto dateForm = DateForm(below(100) < 40 ? 0 : 1 + below(4));
    const QDate start = firstStartDate.addDays(below(int(firstStartDate.daysTo(lastStartDate)) + 1));
    appendDate(p_text, start, dateForm);
    p_text += tab;
    appendDate(p_text, chance(80) ? openEnd : start.addDays(30 + below(700)), dateForm);
    p_text += tab;

    const Strength& strength = pick(strengths);
    const Form& form = pick(forms);
    p_text += u'"';
    p_text += pick(makers).english;
    p_text += u"\" ";
    p_text += pick(ingredients).english;
    p_text += u' ';
    p_text += form.english;
    p_text += u' ';
    if (strength.unit == u"錠") {
        p_text += u"1MG";
    } else {
        p_text += strength.amount;
        p_text += strength.unit;
    }
    p_text += tab;

    if (!chance(12))
        p_text += strength.amount;
    p_text += tab;
    p_text += strength.unit;
    p_text += tab;
    appendIngredients(p_text, compound);
    p_text += tab;
    if (!chance(10))
        p_text += pick(contents);
    p_text += tab;
    p_text += pick(contentUnits);
    p_text += tab;
    p_text += form.chinese;
    p_text += tab;
    appendManufacturer(p_text);
}

QByteArray PriceListGenerator::encode(const QString& p_text)
{
    const QByteArray encoded = platform::encodeAnsi(p_text);
    // Anything the code page cannot hold would come back changed: a broken test file.
    if (platform::decodeAnsi(encoded) != p_text)
        throw platform::Error(QStringLiteral("價格檔含有無法以 Big5 表示的字元。"));
    return encoded;
}

QByteArray PriceListGenerator::generate(qsizetype p_lines, quint64 p_seed)
{
    // Encoded a few thousand lines at a time: the code page has no state across lines, and the
    // text of a whole list would take several times the memory of its bytes.
    constexpr qsizetype linesPerChunk = 4096;
    PriceListGenerator generator(p_seed);
    QByteArray bytes;
    bytes.reserve(150 * (p_lines + 1));
    QString chunk;
    chunk.reserve(160 * linesPerChunk);
    chunk += headerLine();
    chunk += u"\r\n";
    for (qsizetype done = 0; done < p_lines || !chunk.isEmpty();) {
        for (qsizetype i = 0; i < linesPerChunk && done < p_lines; ++i, ++done) {
            generator.appendNextLine(chunk);
            chunk += u"\r\n";
        }
        bytes += encode(chunk);
        chunk.resize(0); // keeps the capacity
    }
    return bytes;
}

QByteArray PriceListGenerator::generateMonth(qsizetype p_lines, quint64 p_seed, int p_month)
{
    if (p_month <= 0)
        return generate(p_lines, p_seed);
    // The drugs without their ids, which each month numbers anew; new drugs come from the same
    // generator, after the first month's.
    const auto withoutId = [](const QString& line) { return line.mid(line.indexOf(tab) + 1); };
    PriceListGenerator generator(p_seed);
    std::vector<QString> drugs;
    drugs.reserve(size_t(p_lines));
    for (qsizetype i = 0; i < p_lines; ++i)
        drugs.push_back(withoutId(generator.nextLine()));
    for (int month = 1; month <= p_month; ++month) {
        // Each month's changes draw from a stream of their own.
        PriceListGenerator changes(p_seed ^ (0xD1B54A32D192ED03ULL * quint64(month)));
        std::vector<QString> next;
        next.reserve(drugs.size());
        qsizetype gone = 0;
        for (QString& line : drugs) {
            const int fate = changes.below(100);
            if (fate < 1)
                ++gone;
            else
                next.push_back(fate < 5 ? changes.repriced(line, month) : std::move(line));
        }
        for (qsizetype i = 0; i < gone; ++i)
            next.push_back(withoutId(generator.nextLine()));
        drugs = std::move(next);
    }
    constexpr size_t linesPerChunk = 4096;
    QByteArray bytes;
    bytes.reserve(150 * (p_lines + 1));
    QString chunk = headerLine() + QStringLiteral("\r\n");
    for (size_t i = 0; i < drugs.size(); ++i) {
        chunk += QString::number(i + 1) + tab + drugs[i] + QStringLiteral("\r\n");
        if ((i + 1) % linesPerChunk == 0 || i + 1 == drugs.size()) {
            bytes += encode(chunk);
            chunk.resize(0);
        }
    }
    if (drugs.empty())
        bytes += encode(chunk);
    return bytes;
}

QString PriceListGenerator::repriced(QStringView p_line, int p_month)
{
    // The fields after the id: the price is the fourth, its dates the fifth and sixth.
    QList<QStringView> fields = p_line.split(tab);
    const qsizetype dot = fields[3].indexOf(u'.');
    qint64 cents = fields[3].left(dot).toLongLong() * 100 + fields[3].mid(dot + 1).toLongLong();
    cents = cents == 0 ? 10 + below(990) : std::max<qint64>(1, cents * (85 + below(15)) / 100);
    const QString price = QString::number(cents / 100) + u'.' + QChar(u'0' + int(cents % 100 / 10)) +
                          QChar(u'0' + int(cents % 10));
    QString start, end;
    appendDate(start, QDate(2026, 1, 1).addMonths(p_month - 1), DateForm::Roc);
    appendDate(end, openEnd, DateForm::Roc);
    fields[3] = price;
    fields[4] = start;
    fields[5] = end;
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += tab;
        line += fields[i];
    }
    return line;
}

quint64 PriceListGenerator::nextRandom()
{
    // splitmix64: tiny, fast, and the same on every system and library.
    quint64 z = (ivState += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int PriceListGenerator::below(int p_count)
{
    return int(nextRandom() % quint64(p_count));
}

bool PriceListGenerator::chance(int p_percent)
{
    return below(100) < p_percent;
}

void PriceListGenerator::appendDigits(QString& p_text, int p_count)
{
    for (int i = 0; i < p_count; ++i)
        p_text += QChar(u'0' + below(10));
}

void PriceListGenerator::appendNumber(QString& p_text, int p_value, int p_width)
{
    char digits[12];
    int count = 0;
    do {
        digits[count++] = char('0' + p_value % 10);
        p_value /= 10;
    } while (p_value > 0);
    for (int i = count; i < p_width; ++i)
        p_text += u'0';
    while (count > 0)
        p_text += QLatin1Char(digits[--count]);
}

void PriceListGenerator::appendDate(QString& p_text, QDate p_date, DateForm p_form)
{
    if (p_form == DateForm::Roc) {
        appendNumber(p_text, p_date.year() - 1911, 3);
        appendNumber(p_text, p_date.month(), 2);
        appendNumber(p_text, p_date.day(), 2);
        return;
    }
    if (p_form == DateForm::InWords) { // a zh-TW workstation's long date
        appendNumber(p_text, p_date.year(), 4);
        p_text += u'年';
        appendNumber(p_text, p_date.month(), 1);
        p_text += u'月';
        appendNumber(p_text, p_date.day(), 1);
        p_text += u'日';
        return;
    }
    const QChar separator = p_form == DateForm::Dashes ? u'-' : u'/';
    const int width = p_form == DateForm::Dashes ? 2 : 1; // "2024-04-01", "2024/4/1"
    appendNumber(p_text, p_date.year(), 4);
    p_text += separator;
    appendNumber(p_text, p_date.month(), width);
    p_text += separator;
    appendNumber(p_text, p_date.day(), width);
    if (p_form == DateForm::SlashesWithTime)
        p_text += u" 上午 12:00:00"; // midnight, as a zh-TW workstation writes a date with its time
}

void PriceListGenerator::appendCode(QString& p_text)
{
    // A letter, a letter or digit, then digits: ten characters ending in "00" or "G0", now and
    // then with the "G" one place earlier.
    static constexpr QStringView letters = u"ABCKNX";
    p_text += letters[below(int(letters.size()))];
    p_text += chance(70) ? QChar(u'A' + below(26)) : QChar(u'0' + below(10));
    const int form = below(100);
    if (form < 75) {
        appendDigits(p_text, 6);
        p_text += u"00";
    } else if (form < 90) {
        appendDigits(p_text, 6);
        p_text += u"G0";
    } else {
        appendDigits(p_text, 5);
        p_text += u"G00";
    }
}

void PriceListGenerator::appendPrice(QString& p_text)
{
    qint64 cents;
    const int kind = below(100);
    if (kind < 3)
        cents = 0;
    else if (kind < 7)
        cents = 1'000'000 + qint64(nextRandom() % 29'000'000); // 10,000.00 to 300,000.00
    else if (kind < 40)
        cents = 10 + below(990); // under 10
    else
        cents = 1'000 + qint64(nextRandom() % 99'000); // 10.00 to 1,000.00
    p_text += QString::number(cents / 100);
    p_text += u'.';
    p_text += QChar(u'0' + int(cents % 100 / 10));
    p_text += QChar(u'0' + int(cents % 10));
}

void PriceListGenerator::appendIngredients(QString& p_text, bool p_compound)
{
    const int count = p_compound ? 2 + below(3) : 1;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            p_text += u'+';
        if (chance(35)) {
            p_text += pick(chineseIngredients);
        } else {
            p_text += pick(ingredients).english;
            if (chance(10))
                p_text += u"（AS HCL）";
        }
    }
}

void PriceListGenerator::appendManufacturer(QString& p_text)
{
    if (chance(20))
        p_text += u"台灣";
    const QStringView first = pick(syllables);
    QStringView second = pick(syllables);
    while (second == first)
        second = pick(syllables);
    p_text += first;
    p_text += second;
    p_text += pick(suffixes);
}

} // namespace korvane
