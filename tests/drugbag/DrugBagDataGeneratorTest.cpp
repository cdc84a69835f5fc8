// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugProfileData.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using korvane::test::ClinicDatabase;

namespace {

QByteArray generated(quint64 seed)
{
    QBuffer sql;
    sql.open(QIODevice::WriteOnly);
    korvane::DrugBagDataGenerator(seed).write({500, 200, 100}, sql, nullptr);
    return sql.data();
}

TEST(DrugBagDataGenerator, EqualSeedsGiveEqualData)
{
    EXPECT_EQ(generated(7), generated(7));
    EXPECT_NE(generated(7), generated(8));
}

// What each of the actions must cope with on the way.
TEST(DrugBagDataGenerator, TheDataHasWhatTheActionsMeetInRealData)
{
    QTemporaryDir dir;
    const auto clinic = ClinicDatabase::create(dir.filePath("dbKorvane.mdb"));
    const auto profile =
        korvane::test::drugProfile(dir.filePath("dbDrugProfile.mdb"), {3000, 1500, 500}, &clinic, 3);
    for (const char* some :
         {"tDrugInfoFromNhi WHERE 健保碼 IS NULL", "tDrugInfoFromNhi WHERE 健保碼 <> trim(健保碼)",
          "tDrugInfoFromNhi WHERE 中文名 LIKE '%#%'", "tDrugInfoFromNhi WHERE 中文名 LIKE '%?%'",
          "tDrugInfoFromNhi WHERE 中文名 LIKE '%''%'", "tDrugInfoFromNhi WHERE length(trim(適應症)) > 250",
          "tDrugInfoFromNhi WHERE 中文名 IS NULL", "tDrugInfoFromNhi WHERE 適應症 IS NULL",
          "tblDrugBag WHERE 藥品外觀 IS NULL", "tblDrugBag WHERE trim(適應症) = ''",
          "tblDrugBag WHERE 中文品名 IS NULL", "tblDrugBag WHERE 藥品代碼 LIKE 'A0%'"})
        EXPECT_GT(profile.count(some), 0) << some;
    EXPECT_GT(clinic.count("tblDrugs WHERE 代碼 LIKE 'AC%' AND 代碼 <> trim(代碼)"), 0);
}

} // namespace
