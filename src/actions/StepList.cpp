// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "StepList.h"

#include <array>

namespace korvane {

StepList::StepList(int firstIndex, QStringList steps) : m_firstIndex(firstIndex), m_steps(std::move(steps)) {}

QString StepList::render(qint16 index) const
{
    QString text;
    for (qsizetype p = 0; p < m_steps.size(); ++p) {
        if (m_firstIndex + p == index)
            text += u'V';
        text += u'\t';
        text += m_steps.at(p);
        text += u"\r\n";
    }
    return text;
}

namespace {

struct Entry
{
    QStringList classes;
    StepList steps;
};

const std::array<Entry, 4>& table()
{
    static const std::array<Entry, 4> entries{{
        {{QStringLiteral("C52407301")},
         StepList(1, {QStringLiteral("刪除現有資料庫中的藥品資料"), QStringLiteral("讀取本次更新資料檔"),
                      QStringLiteral("新增藥品資料到資料庫中"), QStringLiteral("刪除不給付的藥品資料"),
                      QStringLiteral("同步藥袋資訊")})},
        {{QStringLiteral("CKorvaneUpdateActioner"), QStringLiteral("CDrugDeployActioner")},
         StepList(0, {QStringLiteral("更新前置作業"), QStringLiteral("複製更新檔案到電腦中"),
                      QStringLiteral("刪除本次更新暫存檔")})},
        {{QStringLiteral("C524011003"), QStringLiteral("C524011002")},
         StepList(0, {QStringLiteral("更新前置作業"), QStringLiteral("更新藥袋資訊到Korvane中"),
                      QStringLiteral("刪除本次更新暫存檔")})},
        {{QStringLiteral("CExeUpdateActioner")},
         StepList(1, {QStringLiteral("複製更新檔案到電腦中"), QStringLiteral("刪除本次更新暫存檔")})},
    }};
    return entries;
}

} // namespace

const StepList& StepList::of(QStringView actionerClass)
{
    for (const Entry& entry : table()) {
        if (entry.classes.contains(actionerClass))
            return entry.steps;
    }
    static const StepList none(0, {});
    return none;
}

} // namespace korvane
