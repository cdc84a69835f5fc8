// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugBagSql.h"

#include <QStringList>

namespace korvane::DrugBagSql {

namespace {

// Characters are counted from 1 as the codes are described; a short code gives what it has.
QString first(const QString& code)
{
    return code.left(1);
}

QString middleSix(const QString& code)
{
    return code.mid(2, 6);
}

} // namespace

QString inLiteral(QString p_value)
{
    return p_value.replace(u'\'', QStringLiteral("''"));
}

bool endsFamily(const QString& p_code)
{
    const QString last = p_code.right(2);
    return last == QStringLiteral("00") || last == QStringLiteral("G0");
}

QString selectCode(const QString& p_strNhiCode)
{
    return QStringLiteral("SELECT * FROM tblDrugBag WHERE 藥品代碼='") + inLiteral(p_strNhiCode) + u'\'';
}

QString deleteCode(const QString& p_strNhiCode)
{
    return QStringLiteral("DELETE FROM tblDrugBag WHERE 藥品代碼='") + inLiteral(p_strNhiCode) + u'\'';
}

QString deleteFamily(const QString& p_strNhiCode)
{
    if (!endsFamily(p_strNhiCode))
        return deleteCode(p_strNhiCode);
    const QString six = inLiteral(middleSix(p_strNhiCode));
    return QStringLiteral("DELETE FROM tblDrugBag WHERE 藥品代碼 LIKE '") + inLiteral(first(p_strNhiCode)) +
           QStringLiteral("%' AND (藥品代碼 LIKE '%") + six + QStringLiteral("00' OR  藥品代碼 LIKE '%") +
           six + QStringLiteral("G0')");
}

QString selectFamily(const QString& p_strNhiCode)
{
    const QString tail = p_strNhiCode.mid(2, 8);
    QString statement = QStringLiteral("SELECT * FROM tblDrugBag WHERE 藥品代碼 LIKE '") +
                        inLiteral(first(p_strNhiCode)) + QStringLiteral("%' AND ");
    if (endsFamily(tail)) {
        const QString six = inLiteral(tail.left(6));
        statement += QStringLiteral(" (藥品代碼 LIKE '%") + six + QStringLiteral("00' OR  藥品代碼 LIKE '%") +
                     six + QStringLiteral("G0')");
    } else {
        statement += QStringLiteral(" (藥品代碼 LIKE '%") + inLiteral(tail) + QStringLiteral("')");
    }
    return statement;
}

QString selectIngredient(const QString& p_strId)
{
    return QStringLiteral("SELECT * FROM tblDrugBag WHERE  成分名稱 LIKE '%") + inLiteral(p_strId) +
           QStringLiteral("%' ");
}

QString selectKeyWord(const QString& p_strId)
{
    // Only the second piece begins with a blank; the database takes "'...%'OR" as it stands.
    static const QStringList openings{
        QStringLiteral("藥品代碼 LIKE'"),      QStringLiteral(" OR 英文品名 LIKE '%"),
        QStringLiteral("OR 中文品名 LIKE '%"), QStringLiteral("OR 成分名稱 LIKE '%"),
        QStringLiteral("OR 廠商名稱 LIKE '%"), QStringLiteral("OR 藥品外觀 LIKE '%"),
        QStringLiteral("OR 適應症 LIKE '%"),   QStringLiteral("OR 其他用藥指示 LIKE '%"),
        QStringLiteral("OR 副作用 LIKE '%"),   QStringLiteral("OR 藥品警語 LIKE '%")};
    const QString keyword = inLiteral(p_strId);
    QString statement = QStringLiteral("SELECT * FROM tblDrugBag WHERE ");
    for (const QString& opening : openings)
        statement += opening + keyword + QStringLiteral("%'");
    return statement;
}

} // namespace korvane::DrugBagSql
