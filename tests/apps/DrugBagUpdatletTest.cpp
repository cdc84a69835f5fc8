// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The drug-bag actions as IT staff run them with updatlet, on generated drug-profile data.

#include "DrugProfileData.h"
#include "UpdatletInstallation.h"

#include <gtest/gtest.h>

using korvane::test::ClinicDatabase;
using korvane::test::UpdatletResult;

namespace {

class DrugBagUpdatlet : public ::testing::Test
{
protected:
    UpdatletResult run(const char* action) const
    {
        return installation.run(installation.packArguments() << QString::fromLatin1(action));
    }

    korvane::test::UpdatletInstallation installation;
    ClinicDatabase clinic = ClinicDatabase::create(installation.path("Korvane/dbKorvane.mdb"));
    ClinicDatabase profile = korvane::test::drugProfile(installation.path("Korvane/tools/dbDrugProfile.mdb"),
                                                        {1200, 600, 400}, &clinic);
};

TEST_F(DrugBagUpdatlet, TheProfileSyncLabelsEveryProfileDrugOrChangesNothing)
{
    // Profile drugs whose code the lookup finds: the scan trims it, the lookup takes it as it is.
    const QString unlabelled = "tDrugInfoFromNhi p WHERE p.健保碼 = trim(p.健保碼) AND "
                               "NOT EXISTS (SELECT 1 FROM tblDrugBag b WHERE b.藥品代碼 = p.健保碼)";
    ASSERT_GT(profile.count(unlabelled), 0);
    const QString all = "SELECT * FROM tblDrugBag ORDER BY 藥品代碼";
    const QStringList before = korvane::test::rowTexts(profile, all);
    // A failure after ten new labels.
    profile.exec(
        QString("CREATE TRIGGER refuse BEFORE INSERT ON tblDrugBag WHEN (SELECT count(*) FROM tblDrugBag) "
                "> %1 BEGIN SELECT RAISE(ABORT, '標籤被拒絕'); END")
            .arg(before.size() + 10));
    const UpdatletResult failed = run("C524011003");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.contains("標籤被拒絕")) << qPrintable(failed.out);
    EXPECT_EQ(korvane::test::rowTexts(profile, all), before);

    profile.exec("DROP TRIGGER refuse");
    const UpdatletResult result = run("C524011003");
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains("V\t刪除本次更新暫存檔")) << qPrintable(result.out);
    EXPECT_EQ(profile.count(unlabelled), 0);
    EXPECT_EQ(profile.count(
                  "tblDrugBag b JOIN tDrugInfoFromNhi p ON p.健保碼 = b.藥品代碼 WHERE p.中文名 IS NOT "
                  "NULL AND b.中文品名 <> replace(replace(replace(p.中文名, '#', ''), '?', ''), '''', '')"),
              0);
    EXPECT_EQ(profile.count("tblDrugBag WHERE length(適應症) > 250"), 0);
}

TEST_F(DrugBagUpdatlet, TheSeedingGivesACDrugsTheirA0Texts)
{
    // The clinic's AC drugs stored without blanks (those with blanks find no A0 label).
    QStringList drugs;
    for (const auto& row :
         clinic.rows("SELECT 代碼 FROM tblDrugs WHERE 代碼 LIKE 'AC%' AND 代碼 = trim(代碼)"))
        drugs << u'\'' + row.at(0).toString() + u'\'';
    const QString differing =
        QString("tblDrugBag a0 LEFT JOIN tblDrugBag ac ON ac.藥品代碼 = 'AC' || "
                "substr(a0.藥品代碼, 3) WHERE 'AC' || substr(a0.藥品代碼, 3) IN (%1) AND "
                "(ac.藥品代碼 IS NULL OR ac.其他用藥指示 IS NOT a0.其他用藥指示 OR "
                "ac.孕婦等級 IS NOT a0.孕婦等級)")
            .arg(drugs.join(u','));
    ASSERT_GT(profile.count(differing), 0);
    const UpdatletResult result = run("C524011002");
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.out);
    EXPECT_EQ(profile.count(differing), 0);
}

} // namespace
