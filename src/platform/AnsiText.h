// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace korvane::platform {

// Text in the system's ANSI code page: the active code page on Windows, Big5 (950) elsewhere.
// Bytes that the code page cannot map become U+FFFD; nothing fails.
QString decodeAnsi(QByteArrayView bytes);
QByteArray encodeAnsi(QStringView text);

// The lines of a text file, held as one decoded string. A line ends at CR LF, a lone CR or a
// lone LF; the terminator is not part of the line, and a final terminator opens no new line.
// A file that begins with a UTF-8 byte-order mark is read as UTF-8.
class TextLines
{
public:
    TextLines() = default;
    explicit TextLines(QString text);
    static TextLines fromAnsiFile(QByteArrayView bytes);

    qsizetype count() const { return qsizetype(m_spans.size()); }
    bool isEmpty() const { return m_spans.empty(); }
    QStringView at(qsizetype index) const;

private:
    struct Span
    {
        qsizetype start;
        qsizetype length;
    };
    QString m_text;
    std::vector<Span> m_spans;
};

// Lines joined with CR LF after every line, encoded in the ANSI code page.
QByteArray ansiTextWithCrLf(const QStringList& lines);

} // namespace korvane::platform
