// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The drug-bag actions as IT staff run them with updatlet, on generated drug-profile data.

#include "DrugProfileData.h"
#include "UpdatletInstallation.h"

#include <QDir>
#include <gtest/gtest.h>

using korvane::test::ClinicDatabase;
using korvane::test::UpdatletInstallation;
using korvane::test::UpdatletResult;

namespace {

class DrugBagUpdatlet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(installation.path(QStringLiteral("Korvane"))).mkpath(QStringLiteral("tools")));
        clinic = std::make_unique<ClinicDatabase>(
            ClinicDatabase::create(installation.path(QStringLiteral("Korvane/dbKorvane.mdb"))));
        profile = std::make_unique<ClinicDatabase>(korvane::test::generatedDrugProfile(
            installation.path(QStringLiteral("Korvane/tools/dbDrugProfile.mdb")), {1200, 600, 400},
            clinic.get()));
    }

    UpdatletResult run(const char* action) const
    {
        return installation.run(installation.packArguments() << QString::fromLatin1(action));
    }

    int count(const char* condition) const
    {
        return profile->scalar(QStringLiteral("SELECT count(*) FROM ") + QString::fromUtf8(condition))
            .toInt();
    }

    UpdatletInstallation installation;
    std::unique_ptr<ClinicDatabase> clinic;
    std::unique_ptr<ClinicDatabase> profile;
};

TEST_F(DrugBagUpdatlet, TheProfileSyncLabelsEveryProfileDrug)
{
    // Profile drugs whose code the lookup finds: the scan trims it, the lookup takes it as it is.
    const char* unlabelled = "tDrugInfoFromNhi p WHERE p.健保碼 = trim(p.健保碼) AND "
                             "NOT EXISTS (SELECT 1 FROM tblDrugBag b WHERE b.藥品代碼 = p.健保碼)";
    ASSERT_GT(count(unlabelled), 0);
    const UpdatletResult result = run("C524011003");
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(QStringLiteral("更新Korvane系統藥袋資訊"))) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(QStringLiteral("V\t刪除本次更新暫存檔"))) << qPrintable(result.out);
    EXPECT_EQ(count(unlabelled), 0);
    EXPECT_EQ(
        count("tblDrugBag b JOIN tDrugInfoFromNhi p ON p.健保碼 = b.藥品代碼 WHERE p.中文名 IS NOT NULL AND "
              "b.中文品名 <> replace(replace(replace(p.中文名, '#', ''), '?', ''), '''', '')"),
        0);
    EXPECT_EQ(count("tblDrugBag WHERE length(適應症) > 250"), 0);
}

TEST_F(DrugBagUpdatlet, TheSeedingGivesACDrugsTheirA0Texts)
{
    // The clinic's AC drugs stored without blanks (those with blanks find no A0 label).
    QStringList drugs;
    for (const auto& row : clinic->rows(
             QStringLiteral("SELECT 代碼 FROM tblDrugs WHERE 代碼 LIKE 'AC%' AND 代碼 = trim(代碼)")))
        drugs << u'\'' + row.at(0).toString() + u'\'';
    const QByteArray differing =
        QStringLiteral(
            "tblDrugBag a0 LEFT JOIN tblDrugBag ac ON ac.藥品代碼 = 'AC' || substr(a0.藥品代碼, 3) "
            "WHERE 'AC' || substr(a0.藥品代碼, 3) IN (%1) AND (ac.藥品代碼 IS NULL OR "
            "ac.其他用藥指示 IS NOT a0.其他用藥指示 OR ac.孕婦等級 IS NOT a0.孕婦等級)")
            .arg(drugs.join(u','))
            .toUtf8();
    ASSERT_GT(count(differing.constData()), 0);
    const UpdatletResult result = run("C524011002");
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.out);
    EXPECT_EQ(count(differing.constData()), 0);
}

} // namespace
