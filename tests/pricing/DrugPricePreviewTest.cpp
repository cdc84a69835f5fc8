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
            preview.addTableRow(codes[i], QStringLiteral("NAME"), 1.0, 0, i);
        if (i % 3 != 2)
            preview.addListLine(korvane::DrugPriceLine(korvane::test::drugLine(int(i), codes[i], QStringLiteral("1"))), i);
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
    DrugPricePreview preview;
    preview.addTableRow(drugCode(1), QStringLiteral("SYRUP \"A\", 5ML"), 5.0, 0, 1);
    preview.addTableRow(drugCode(2), QStringLiteral("TWO\r\nLINES"), 10.0, 0, 2);
    preview.addListLine(korvane::DrugPriceLine(korvane::test::drugLine(1, drugCode(3), QStringLiteral("3.25"))), 0);
    preview.addRefusal({5, QStringLiteral("AC00005100999"), QStringLiteral("代碼"), QStringLiteral("太長, \"12\" 個字元")});
    preview.finish();

    const QList<QStringList> rows = korvane::test::readCsv(preview.csv());
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].join(u'|'), QStringLiteral("異動|代碼|藥品英文名稱|原藥價|新藥價|行號|欄位|原因"));
    for (const QStringList& row : rows)
        EXPECT_EQ(row.size(), 8) << qPrintable(row.join(u'|'));
    EXPECT_EQ(rows[1].join(u'|'), QStringLiteral("新增|") + drugCode(3) + QStringLiteral("|PANADOL TABLETS 500MG||3.25|||"));
    EXPECT_EQ(rows[2].join(u'|'), QStringLiteral("刪除|") + drugCode(1) + QStringLiteral("|SYRUP \"A\", 5ML|5.00||||"));
    EXPECT_EQ(rows[3].join(u'|'), QStringLiteral("刪除|") + drugCode(2) + QStringLiteral("|TWO\r\nLINES|10.00||||"));
    EXPECT_EQ(rows[4].join(u'|'), QStringLiteral("將被拒絕|AC00005100999||||5|代碼|太長, \"12\" 個字元"));
}

} // namespace
