// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "CsvReader.h"
#include "PriceListText.h"
#include "pricing/DrugPriceLine.h"
#include "pricing/DrugPricePreview.h"

#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using korvane::DrugPricePreview;

namespace {

// The rows come out by change, each change by code, exactly as the codes compare: codes that
// share their first eleven characters, codes that are prefixes of others, non-ASCII codes.
TEST(DrugPricePreview, RowsComeOutByChangeThenByCode)
{
    QStringList codes;
    for (int n = 0; n < 300; ++n)
        codes << korvane::test::drugCode(n * 7919 % 100000);
    codes << QStringLiteral("AC123456789012") << QStringLiteral("AC123456789011") << QStringLiteral("AC12345678901")
          << QStringLiteral("AC1") << QStringLiteral("AC") << QStringLiteral("藥A1") << QStringLiteral("藥A") << QStringLiteral("Z");
    std::shuffle(codes.begin(), codes.end(), std::mt19937(7));

    DrugPricePreview preview;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        // Added, unchanged and removed in turn.
        if (i % 3 != 0)
            preview.addTableRow(codes[i], QStringLiteral("NAME"), 1.0);
        if (i % 3 != 2)
            preview.addListLine(korvane::DrugPriceLine(korvane::test::drugLine(int(i), codes[i], QStringLiteral("1"))));
    }
    preview.finish();

    std::vector<std::pair<int, QString>> expected;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        if (i % 3 != 1)
            expected.emplace_back(i % 3 == 0 ? 0 : 1, codes[i]);
    }
    std::sort(expected.begin(), expected.end());
    QStringList wanted, rows;
    for (const auto& [change, code] : expected)
        wanted << QString::number(change) + u' ' + code;
    for (const DrugPricePreview::Row& row : preview.rows())
        rows << QString::number(row.change == DrugPricePreview::Change::Added ? 0 : 1) + u' ' + row.code;
    EXPECT_EQ(rows.join(u'\n').toStdString(), wanted.join(u'\n').toStdString());
    EXPECT_EQ(preview.unchanged(), qsizetype(codes.size()) - qsizetype(expected.size()));
}

// A spreadsheet sorts and filters the file: one header, then one row of the same columns for
// each drug or refused value, whatever the names hold; no totals among them.
TEST(DrugPricePreview, TheCsvIsOneHeaderAndRowsOfTheSameColumns)
{
    using korvane::test::drugCode;
    using korvane::test::drugLine;
    DrugPricePreview preview;
    preview.addTableRow(drugCode(1), QStringLiteral("SYRUP \"A\", 5ML"), 5.0);
    preview.addTableRow(drugCode(2), QStringLiteral("TWO\r\nLINES"), 10.0);
    preview.addTableRow(drugCode(3), QStringLiteral("AS IT WAS"), 12.5);
    preview.addListLine(korvane::DrugPriceLine(drugLine(1, drugCode(2), QStringLiteral("11"))));
    preview.addListLine(korvane::DrugPriceLine(drugLine(2, drugCode(3), QStringLiteral("12.50"))));
    preview.addListLine(korvane::DrugPriceLine(drugLine(3, drugCode(4), QStringLiteral("3.25"))));
    preview.addRefusal({5, QStringLiteral("AC00005100999"), QStringLiteral("代碼"), QStringLiteral("太長, \"12\" 個字元")});
    preview.finish();

    const QList<QStringList> rows = korvane::test::readCsv(preview.csv());
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0], (QStringList{QStringLiteral("異動"), QStringLiteral("代碼"), QStringLiteral("藥品英文名稱"),
                                    QStringLiteral("原藥價"), QStringLiteral("新藥價"), QStringLiteral("行號"),
                                    QStringLiteral("欄位"), QStringLiteral("原因")}));
    for (const QStringList& row : rows)
        EXPECT_EQ(row.size(), rows[0].size()) << qPrintable(row.join(u'|'));
    EXPECT_EQ(rows[1].mid(0, 5), (QStringList{QStringLiteral("新增"), drugCode(4), QStringLiteral("PANADOL TABLETS 500MG"),
                                              QString(), QStringLiteral("3.25")}));
    EXPECT_EQ(rows[2].mid(0, 5), (QStringList{QStringLiteral("刪除"), drugCode(1), QStringLiteral("SYRUP \"A\", 5ML"),
                                              QStringLiteral("5.00"), QString()}));
    EXPECT_EQ(rows[3].mid(0, 5), (QStringList{QStringLiteral("變價"), drugCode(2), QStringLiteral("PANADOL TABLETS 500MG"),
                                              QStringLiteral("10.00"), QStringLiteral("11.00")}));
    EXPECT_EQ(rows[4], (QStringList{QStringLiteral("將被拒絕"), QStringLiteral("AC00005100999"), QString(), QString(),
                                    QString(), QStringLiteral("5"), QStringLiteral("代碼"),
                                    QStringLiteral("太長, \"12\" 個字元")}));
    // The removed drug's name with its line break survives as one cell.
    preview.addTableRow(drugCode(5), QStringLiteral("TWO\r\nLINES"), 1.0);
    preview.finish();
    const QList<QStringList> again = korvane::test::readCsv(preview.csv());
    ASSERT_EQ(again.size(), 6);
    EXPECT_EQ(again[3].at(2), QStringLiteral("TWO\r\nLINES"));
}

} // namespace
