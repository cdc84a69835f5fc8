// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugProfileData.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using korvane::DrugBagDataGenerator;
using korvane::test::ClinicDatabase;

namespace {

QByteArray generated(quint64 seed)
{
    QBuffer profile;
    QBuffer clinic;
    profile.open(QIODevice::WriteOnly);
    clinic.open(QIODevice::WriteOnly);
    DrugBagDataGenerator(seed).write({500, 200, 100}, profile, &clinic);
    return profile.data() + clinic.data();
}

TEST(DrugBagDataGenerator, EqualSeedsGiveEqualData)
{
    EXPECT_EQ(generated(7), generated(7));
    EXPECT_NE(generated(7), generated(8));
}

TEST(DrugBagDataGenerator, TheDataHasWhatRealDataHas)
{
    QTemporaryDir dir;
    const auto clinic = ClinicDatabase::create(dir.filePath(QStringLiteral("dbKorvane.mdb")));
    const auto profile = korvane::test::generatedDrugProfile(
        dir.filePath(QStringLiteral("dbDrugProfile.mdb")), {3000, 1500, 500}, &clinic, 3);

    auto count = [](const ClinicDatabase& db, const char* condition) {
        return db.scalar(QStringLiteral("SELECT count(*) FROM ") + QString::fromUtf8(condition)).toInt();
    };
    EXPECT_EQ(profile.count(QStringLiteral("tDrugInfoFromNhi")), 3000);
    // Labels for exactly as many drugs as asked, for drugs beyond the profile where it has fewer.
    for (const DrugBagDataGenerator::Sizes sizes : {DrugBagDataGenerator::Sizes{300, 120, 0}, {50, 80, 0}}) {
        const auto labelled = korvane::test::generatedDrugProfile(
            dir.filePath(QStringLiteral("labels%1.mdb").arg(sizes.bagRows)), sizes);
        EXPECT_EQ(labelled.count(QStringLiteral("tblDrugBag")), sizes.bagRows);
    }
    for (const char* some :
         {"tDrugInfoFromNhi WHERE 健保碼 IS NULL", "tDrugInfoFromNhi WHERE 健保碼 <> trim(健保碼)",
          "tDrugInfoFromNhi WHERE 中文名 LIKE '%#%'", "tDrugInfoFromNhi WHERE 中文名 LIKE '%?%'",
          "tDrugInfoFromNhi WHERE 中文名 LIKE '%''%'", "tDrugInfoFromNhi WHERE length(適應症) > 250",
          "tDrugInfoFromNhi WHERE 適應症 <> trim(適應症)", "tDrugInfoFromNhi WHERE 中文名 IS NULL",
          "tDrugInfoFromNhi WHERE 適應症 IS NULL", "tDrugInfoFromNhi WHERE 劑型 IS NULL",
          "tDrugInfoFromNhi WHERE 健保碼 LIKE '%G0'",
          "tDrugInfoFromNhi a JOIN tDrugInfoFromNhi b ON a.健保碼 LIKE 'AC%' AND "
          "b.健保碼 = 'A0' || substr(a.健保碼, 3)",
          "tblDrugBag WHERE 藥品外觀 IS NULL", "tblDrugBag WHERE 適應症 = ''",
          "tblDrugBag WHERE trim(適應症) = '' AND 適應症 <> ''", "tblDrugBag WHERE 中文品名 IS NULL"})
        EXPECT_GT(count(profile, some), 0) << some;

    EXPECT_EQ(count(clinic, "tblDrugs WHERE 代碼 LIKE 'AC%'"), 500);
    EXPECT_GT(count(clinic, "tblDrugs WHERE 代碼 LIKE 'AC%' AND 代碼 <> trim(代碼)"), 0);
    EXPECT_GT(count(clinic, "tblDrugs WHERE 代碼 NOT LIKE 'AC%'"), 0);
    // Most AC drugs have an A0 label to copy from, some a label of their own.
    EXPECT_GT(count(profile, "tblDrugBag WHERE 藥品代碼 LIKE 'A0%'"), 350);
    EXPECT_GT(count(profile, "tblDrugBag WHERE 藥品代碼 LIKE 'AC%'"), 100);
}

} // namespace
