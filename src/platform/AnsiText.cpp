// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "AnsiText.h"

#include "Error.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace korvane::platform {

namespace {

#ifdef Q_OS_WIN
QStringDecoder ansiDecoder()
{
    return QStringDecoder(QStringConverter::System);
}
QStringEncoder ansiEncoder()
{
    return QStringEncoder(QStringConverter::System);
}
#else
// The clinics' code page. The Big5 converter also maps the extensions of code page 950.
QStringDecoder ansiDecoder()
{
    QStringDecoder decoder("Big5");
    return decoder.isValid() ? std::move(decoder) : QStringDecoder(QStringConverter::System);
}
QStringEncoder ansiEncoder()
{
    QStringEncoder encoder("Big5");
    return encoder.isValid() ? std::move(encoder) : QStringEncoder(QStringConverter::System);
}
#endif

constexpr QByteArrayView utf8ByteOrderMark("\xEF\xBB\xBF");

} // namespace

QString decodeAnsi(QByteArrayView bytes)
{
    QStringDecoder decoder = ansiDecoder();
    QString text = decoder.decode(bytes);
    // The converter keeps a lead byte at the very end waiting for its trail byte. A line feed
    // cannot be a trail byte, so feeding one turns a dangling lead byte into U+FFFD instead of
    // losing it; the line feed itself is dropped again.
    QString rest = decoder.decode(QByteArrayView("\n", 1));
    if (rest.size() > 1)
        text += QStringView(rest).chopped(1);
    return text;
}

QByteArray encodeAnsi(QStringView text)
{
    QStringEncoder encoder = ansiEncoder();
    return encoder.encode(text);
}

TextLines::TextLines(QString text) : m_text(std::move(text))
{
    const char16_t* const begin = reinterpret_cast<const char16_t*>(m_text.utf16());
    const char16_t* const end = begin + m_text.size();
    // A price list line is about 200 characters; guessing keeps reallocation rare.
    m_spans.reserve(std::size_t(m_text.size() / 64 + 1));
    const char16_t* lineStart = begin;
    const char16_t* p = begin;
    while (p != end) {
        const char16_t c = *p;
        if (c != u'\n' && c != u'\r') {
            ++p;
            continue;
        }
        m_spans.push_back({lineStart - begin, p - lineStart});
        ++p;
        if (c == u'\r' && p != end && *p == u'\n')
            ++p;
        lineStart = p;
    }
    if (lineStart != end)
        m_spans.push_back({lineStart - begin, end - lineStart});
}

TextLines TextLines::fromAnsiFile(QByteArrayView bytes)
{
    if (bytes.startsWith(utf8ByteOrderMark))
        return TextLines(QString::fromUtf8(bytes.sliced(utf8ByteOrderMark.size())));
    return TextLines(decodeAnsi(bytes));
}

QStringView TextLines::at(qsizetype index) const
{
    if (index < 0 || index >= count())
        throw Error(QStringLiteral("行號超出範圍：%1").arg(index), Error::Kind::OutOfRange);
    const Span& span = m_spans[std::size_t(index)];
    return QStringView(m_text).sliced(span.start, span.length);
}

QByteArray ansiTextWithCrLf(const QStringList& lines)
{
    qsizetype length = 0;
    for (const QString& line : lines)
        length += line.size() + 2;
    QString text;
    text.reserve(length);
    for (const QString& line : lines) {
        text += line;
        text += u"\r\n";
    }
    return encodeAnsi(text);
}

} // namespace korvane::platform
