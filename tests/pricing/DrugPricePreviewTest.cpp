// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
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

} // namespace
