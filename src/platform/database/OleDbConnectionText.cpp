// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "OleDbConnectionText.h"

namespace korvane::platform {

OleDbConnectionText::OleDbConnectionText(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype eq = text.indexOf(u'=', i);
        if (eq < 0)
            break;
        const QString name = text.mid(i, eq - i).trimmed();
        qsizetype j = eq + 1;
        while (j < n && text.at(j) == u' ')
            ++j;
        QString value;
        if (j < n && (text.at(j) == u'\'' || text.at(j) == u'"')) {
            // A quoted value runs to the matching quote; a doubled quote stands for one.
            const QChar quote = text.at(j++);
            while (j < n) {
                if (text.at(j) == quote) {
                    if (j + 1 < n && text.at(j + 1) == quote) {
                        value += quote;
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += text.at(j++);
            }
            const qsizetype semi = text.indexOf(u';', j);
            i = semi < 0 ? n : semi + 1;
        } else {
            const qsizetype semi = text.indexOf(u';', j);
            const qsizetype end = semi < 0 ? n : semi;
            value = text.mid(j, end - j).trimmed();
            i = end + 1;
        }
        if (!name.isEmpty())
            m_settings.append({name, value});
    }
}

QString OleDbConnectionText::quoted(const QString& value)
{
    // The reader trims unquoted values and takes a leading quote for the start of a quoted one.
    if (!value.contains(u';') && !value.startsWith(u'\'') && !value.startsWith(u'"') && value == value.trimmed())
        return value;
    if (!value.contains(u'"'))
        return u'"' + value + u'"';
    if (!value.contains(u'\''))
        return u'\'' + value + u'\'';
    QString doubled = value;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

QString OleDbConnectionText::value(const QString& name) const
{
    for (const auto& [key, value] : m_settings) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool OleDbConnectionText::contains(const QString& name) const
{
    for (const auto& setting : m_settings) {
        if (setting.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace korvane::platform
