// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The drug-bag actions as IT staff run them with updatlet, on generated drug-profile data.

#include "CsvReader.h"
#include "DrugProfileData.h"
#include "UpdatletInstallation.h"

#include <QFile>
#include <QMap>
#include <gtest/gtest.h>
#include <algorithm>

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

// Each label's texts by code, in the columns of the dry run's report.
QMap<QString, QVariantList> labelsByCode(const ClinicDatabase& profile)
{
    QMap<QString, QVariantList> labels;
    for (QVariantList row : profile.rows("SELECT 藥品代碼, 英文品名, 中文品名, 成分名稱, 廠商名稱, 藥品外觀, 適應症, "
                                         "其他用藥指示, 副作用, 孕婦等級, 藥品警語 FROM tblDrugBag"))
        labels.insert(row.takeFirst().toString(), row);
    return labels;
}

// The dry run of each action reads the databases without changing a byte, and lists exactly the
// labels its run then adds and rewrites, column by column, with the run's counts; a text a
// spreadsheet would run as a formula stays text in the report.
TEST_F(DrugBagUpdatlet, ADryRunListsTheLabelsTheRunThenWritesAndChangesNothing)
{
    profile.exec("UPDATE tDrugInfoFromNhi SET 中文名 = '=1+1' WHERE 健保碼 = (SELECT min(健保碼) FROM tDrugInfoFromNhi "
                 "WHERE 健保碼 = trim(健保碼) AND 中文名 IS NOT NULL)");
    const QString report = installation.path("labels.csv");
    for (const char* action : {"C524011003", "C524011002"}) {
        SCOPED_TRACE(action);
        const QByteArray databases = installation.read("Korvane/tools/dbDrugProfile.mdb") + installation.read("Korvane/dbKorvane.mdb");
        const auto before = labelsByCode(profile);
        const QByteArray log = installation.read("Korvane/UpdateLog/updates.log");
        const UpdatletResult dry = installation.run(installation.packArguments()
                                                    << "--dry-run" << "--report" << report << QString::fromLatin1(action));
        ASSERT_EQ(dry.exitCode, 0) << qPrintable(dry.out);
        EXPECT_TRUE(dry.out.chopped(dry.err.size()).endsWith("預覽結束：只讀取了藥袋資料，沒有新增或改寫任何一筆，也沒有寫入更新記錄。\n")) << qPrintable(dry.out);
        EXPECT_EQ(installation.read("Korvane/tools/dbDrugProfile.mdb") + installation.read("Korvane/dbKorvane.mdb"), databases);
        EXPECT_EQ(installation.read("Korvane/UpdateLog/updates.log"), log);
        const QList<QStringList> rows = korvane::test::readCsv(installation.read("labels.csv"));
        ASSERT_FALSE(rows.isEmpty());
        QString totals = dry.out.section("合計：新增 ", 1).section("（", 0, 0);

        const UpdatletResult result = run(action);
        ASSERT_EQ(result.exitCode, 0) << qPrintable(result.out);
        EXPECT_TRUE(installation.read("Korvane/UpdateLog/updates.log").contains(("摘要：藥袋資料新增 " + totals.replace(" 筆藥袋資料，", " 筆、")).toUtf8()))
            << qPrintable(totals);
        // What changed, label by label, against what was listed.
        const auto after = labelsByCode(profile);
        QStringList changed;
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (!before.contains(it.key()) || before.value(it.key()) != it.value())
                changed << (before.contains(it.key()) ? "改寫 " : "新增 ") + it.key();
        }
        QStringList listed;
        for (const QStringList& row : rows.mid(1)) {
            ASSERT_EQ(row.size(), 23);
            listed << row[0] + ' ' + row[1];
            for (int k = 0; k < 10; ++k) {
                if (!row[2].split("、").contains(rows[0][3 + 2 * k].section("（", 0, 0)))
                    continue;
                const QVariant now = after.value(row[1]).value(k);
                EXPECT_EQ(row[4 + 2 * k], now.toString().startsWith('=') ? '\'' + now.toString() : now.toString())
                    << qPrintable(row[1]) << ' ' << qPrintable(rows[0][3 + 2 * k]);
            }
        }
        if (QByteArray(action) == "C524011003") {
            EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const QStringList& row) { return row.contains("'=1+1"); }));
        }
        changed.sort();
        listed.sort();
        EXPECT_EQ(listed, changed);
        EXPECT_GT(listed.size(), 0);
        EXPECT_EQ(QFile::remove(report), true);
    }
}

} // namespace
