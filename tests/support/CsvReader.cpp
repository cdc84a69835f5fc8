// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "CsvReader.h"

#include <utility>

namespace korvane::test {

QList<QStringList> readCsv(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted && c == u'"' && text.mid(i + 1, 1) == u"\"")
            field += text.at(++i);
        else if (c == u'"' && (quoted || field.isEmpty()))
            quoted = !quoted;
        else if (quoted || (c != u',' && c != u'\r' && c != u'\n'))
            field += c;
        else if (c == u',')
            row << std::exchange(field, QString());
        else if (c == u'\n')
            rows << (std::exchange(row, QStringList()) << std::exchange(field, QString()));
    }
    if (quoted)
        return {};
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

} // namespace korvane::test
