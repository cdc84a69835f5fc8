// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "PriceListText.h"

#include "platform/AnsiText.h"

#include <QStringList>

namespace korvane::test {

QString priceListHeader()
{
    return QStringLiteral("id\t新\t單複方註記\t代碼\t藥價參考金額\t藥價參考日期\t藥價參考截止日期\t藥品英文名稱\t"
                          "藥品規格量\t藥品規格單位\t成份\t成份含量\t含量單位\t藥品劑型\t製造廠名稱");
}

QString drugCode(int n)
{
    return QStringLiteral("AC") + QStringLiteral("%1").arg(n, 5, 10, QChar(u'0')) + QStringLiteral("100");
}

QString drugLine(int id, const QString& code, const QString& price, const QString& date)
{
    return QString::number(id) + QStringLiteral("\t\t單方\t") + code + u'\t' + price + u'\t' + date +
           QStringLiteral("\t9991231\tPANADOL TABLETS 500MG\t500\tMG\tACETAMINOPHEN（功許）\t500\tMG\t錠劑\t"
                          "台灣功學製藥股份有限公司");
}

QByteArray priceListFile(int drugs)
{
    QStringList lines{priceListHeader()};
    for (int i = 1; i <= drugs; ++i)
        lines << drugLine(i, drugCode(i));
    return platform::ansiTextWithCrLf(lines);
}

} // namespace korvane::test
