// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// A price update taken back and put again on the clinic's server, through updatlet as IT staff
// run it: what a server gives back for what it stored (its doubles, its timestamps) must make the
// same before-image and the same digests as a later read of the table.

#include "ClinicServer.h"
#include "PriceListText.h"
#include "UpdatletInstallation.h"
#include "platform/AnsiText.h"

#include <QDateTime>
#include <gtest/gtest.h>

using korvane::test::UpdatletInstallation;
using korvane::test::UpdatletResult;

namespace {

const QString kUndo = QStringLiteral("CDrugPriceUndoActioner");

// Every column the update writes, text as the server gives it back, so that a changed double or
// timestamp shows.
const QString kRows = QStringLiteral(
    "SELECT 新, 單複方註記, 代碼, 藥價參考金額::text, 藥價參考日期::text, 藥價參考截止日期::text, 藥品英文名稱, "
    "藥品規格量::text, 藥品規格單位, 成份, 成份含量::text, 含量單位, 藥品劑型, 製造廠名稱 FROM tblDrugs ORDER BY id");

class ServerUndo : public korvane::test::ServerTest
{
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        if (stopped())
            return;
        installation.write(QStringLiteral("Korvane/Korvane.config"), server.configFile());
        // Last month's table with what a list never gives: prices of many decimals, a time of
        // day, NULLs in every column that takes one.
        server.exec(QStringLiteral("DELETE FROM tblDrugs"));
        server.exec(QStringLiteral(
            "INSERT INTO tblDrugs (新, 單複方註記, 代碼, 藥價參考金額, 藥價參考日期, 藥價參考截止日期, 藥品英文名稱, "
            "藥品規格量, 藥品規格單位, 成份, 成份含量, 含量單位, 藥品劑型, 製造廠名稱) VALUES "
            "('*', '單方', 'AA00001100', 0.1 + 0.2, '2024-03-01 13:45:07', '2910-12-31 00:00:00', 'ONE', 1.0/3, 'MG', "
            "'許功蓋', 2.5e-7, 'MG', '錠劑', '台灣功學'), "
            "(NULL, NULL, 'AA00002100', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL), "
            "('', '複方', 'AA00003100', 123456.789012345, '1999-12-31 23:59:59', NULL, 'THREE \"Q\"; ''X''', 0, "
            "'', '', 0, '', '', '')"));
        before = server.rows(kRows);
        ASSERT_EQ(before.size(), 3);
    }

    UpdatletResult run(const QStringList& more = {})
    {
        return installation.run(installation.packArguments() << more, 120000);
    }
    void writePriceList()
    {
        installation.write(QStringLiteral("pack/all.puf"),
                           korvane::platform::ansiTextWithCrLf(
                               {korvane::test::priceListHeader(), korvane::test::drugLine(1, QStringLiteral("AA00001100"), QStringLiteral("7")),
                                korvane::test::drugLine(2, QStringLiteral("BB00004100"))}));
    }

    UpdatletInstallation installation;
    QList<QVariantList> before;
};

TEST_F(ServerUndo, PutsBackEveryValueAsStoredAndTheUndoCanBeTakenBackInTurn)
{
    if (stopped())
        return;
    writePriceList();
    const UpdatletResult imported = run();
    ASSERT_EQ(imported.exitCode, 0) << qPrintable(imported.out + imported.err);
    const QList<QVariantList> updated = server.rows(kRows);
    ASSERT_EQ(updated.size(), 2);

    // Nothing changed since: the table is what the update's digest says, so no question.
    const UpdatletResult undone = run({kUndo});
    EXPECT_EQ(undone.exitCode, 0) << qPrintable(undone.out + undone.err);
    EXPECT_TRUE(server.rows(kRows) == before) << qPrintable(undone.out + undone.err);

    const UpdatletResult redone = run({kUndo});
    EXPECT_EQ(redone.exitCode, 0) << qPrintable(redone.out + redone.err);
    EXPECT_TRUE(server.rows(kRows) == updated);
}

TEST_F(ServerUndo, ADrugEditedOnTheServerSinceIsAskedAbout)
{
    if (stopped())
        return;
    writePriceList();
    ASSERT_EQ(run().exitCode, 0);
    server.exec(QStringLiteral("UPDATE tblDrugs SET 藥價參考金額 = 8 WHERE 代碼 = 'AA00001100'"));
    const QList<QVariantList> edited = server.rows(kRows);

    const UpdatletResult refused = run({kUndo});
    EXPECT_EQ(refused.exitCode, 3) << qPrintable(refused.out + refused.err);
    EXPECT_TRUE(refused.out.contains(QStringLiteral("有 1 筆資料在那之後被新增、刪除或修改過"))) << qPrintable(refused.out);
    EXPECT_TRUE(server.rows(kRows) == edited);

    const UpdatletResult confirmed = run({QStringLiteral("--answer"), QStringLiteral("是"), kUndo});
    EXPECT_EQ(confirmed.exitCode, 0) << qPrintable(confirmed.out + confirmed.err);
    EXPECT_TRUE(server.rows(kRows) == before);
}

} // namespace
