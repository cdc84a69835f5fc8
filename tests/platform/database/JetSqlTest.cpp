// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/database/JetSql.h"

#include <QStringList>
#include <gtest/gtest.h>

using korvane::platform::JetSql;

namespace {

QStringList constructs(const QString& statement)
{
    QStringList found;
    for (const auto& refusal : JetSql::refusals(statement))
        found << refusal.construct;
    return found;
}

TEST(JetSql, NamesEachConstructJetRefuses)
{
    const struct
    {
        const char* statement;
        QStringList refused;
    } cases[] = {
        {"SELECT 代碼 FROM tblDrugs ORDER BY CASE WHEN 藥價參考日期 IS NULL THEN 0 ELSE 1 END, id", {"CASE"}},
        {"SELECT COALESCE(藥價參考金額, 0), IFNULL (a, 1), NULLIF(a,b) FROM t",
         {"COALESCE", "IFNULL", "NULLIF"}},
        {"SELECT * FROM tblDrugs LIMIT 10 OFFSET 20", {"LIMIT", "OFFSET"}},
        {"SELECT 代碼 || '-' || 新, CAST(id AS TEXT), SUBSTR(a,1,2), LENGTH(a) FROM t",
         {"||", "||", "CAST", "SUBSTR", "LENGTH"}},
        {"INSERT INTO tblTemp (pKey, pValue) VALUES (?, ?), (?, ?)", {"VALUES (...), (...)"}},
        {"INSERT INTO tblDrugs DEFAULT VALUES", {"DEFAULT VALUES"}},
        {"SAVEPOINT s1", {"SAVEPOINT"}},
        {"BEGIN IMMEDIATE", {"BEGIN"}},
        {"UPDATE tblDrugs SET \"代碼\"=? WHERE \"id\"=?", {"\"...\"", "\"...\""}},
        {"DELETE FROM t WHERE a != 1; DELETE FROM u", {"!=", ";"}},
        {"SELECT a FROM t -- the rest", {"--"}},
        {"SELECT 'unclosed FROM t", {"'"}},
        // What Jet has instead, and data that only looks like SQL: literals (a doubled quote
        // inside), bracketed names, words that merely contain a keyword, a name before no "(".
        {"SELECT IIf(藥價參考日期 Is Null, 0, 1), 代碼 & 新, Mid(a, 1, 2), Len(a) FROM tblDrugs ORDER BY 1",
         {}},
        {"SELECT TOP 5 * FROM tblDrugBag WHERE 藥品代碼='CASE''; || \"x\" LIMIT' AND [CASE] = [a b] OR 代碼 "
         "LIKE 'AC%'",
         {}},
        {"SELECT Showcase, Cast1, LengthOf, Length FROM [Begin] WHERE beginning = 'BEGIN'", {}},
        {"INSERT INTO tblDrugs ([新],[代碼]) VALUES (?,?);", {}},
        {"SELECT COUNT(*) FROM (SELECT * FROM tblDrugs WHERE 代碼 LIKE 'AC%') AS counted", {}},
    };
    for (const auto& c : cases) {
        const QString statement = QString::fromUtf8(c.statement);
        EXPECT_EQ(constructs(statement), c.refused) << c.statement;
    }
}

TEST(JetSql, TellsWhereAndWhatToUseInstead)
{
    const auto refusals =
        JetSql::refusals(QStringLiteral("SELECT [CASE] FROM t ORDER BY CASE WHEN a THEN 1 END"));
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals.front().position, 30);
    EXPECT_EQ(JetSql::describe(refusals),
              QStringLiteral("CASE (at 31): Jet has no CASE; use IIf(condition, a, b)\n"));
}

} // namespace
