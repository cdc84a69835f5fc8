// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "AnsiText.h"

#include "Error.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>

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

namespace {

// Where each line of text starts and how long it is, found in one scan. The search for the
// next CR and the next LF runs through the C library, many bytes at a step.
template <typename Char, typename Span>
std::vector<Span> splitLines(const Char* begin, const Char* end)
{
    auto find = [end](const Char* from, Char c) {
        if constexpr (sizeof(Char) == 1) {
            const void* hit = std::memchr(from, c, size_t(end - from));
            return hit ? static_cast<const Char*>(hit) : end;
        } else {
            return std::find(from, end, c);
        }
    };
    std::vector<Span> spans;
    // A price list line is about 200 characters; guessing keeps reallocation rare.
    spans.reserve(std::size_t((end - begin) / 128 + 1));
    const Char* nextCr = find(begin, Char('\r'));
    const Char* nextLf = find(begin, Char('\n'));
    const Char* lineStart = begin;
    while (lineStart != end) {
        if (nextCr < lineStart)
            nextCr = find(lineStart, Char('\r'));
        if (nextLf < lineStart)
            nextLf = find(lineStart, Char('\n'));
        const Char* lineEnd = std::min(nextCr, nextLf);
        spans.push_back({lineStart - begin, lineEnd - lineStart});
        if (lineEnd == end)
            break;
        lineStart = lineEnd + 1;
        if (*lineEnd == Char('\r') && lineStart != end && *lineStart == Char('\n'))
            ++lineStart;
    }
    return spans;
}

} // namespace

TextLines::TextLines(QString text) : m_text(std::move(text))
{
    const char16_t* begin = reinterpret_cast<const char16_t*>(m_text.utf16());
    m_spans = splitLines<char16_t, Span>(begin, begin + m_text.size());
}

TextLines TextLines::fromAnsiFile(QByteArray bytes)
{
    if (bytes.startsWith(utf8ByteOrderMark))
        return TextLines(QString::fromUtf8(QByteArrayView(bytes).sliced(utf8ByteOrderMark.size())));
    TextLines lines;
    lines.m_bytes = std::move(bytes);
    lines.m_spans = splitLines<char, Span>(lines.m_bytes.constData(), lines.m_bytes.constData() + lines.m_bytes.size());
    return lines;
}

QString TextLines::at(qsizetype index) const
{
    if (index < 0 || index >= count())
        throw Error(QStringLiteral("行號超出範圍：%1").arg(index), Error::Kind::OutOfRange);
    const Span& span = m_spans[std::size_t(index)];
    if (m_bytes.isNull())
        return m_text.sliced(span.start, span.length);

    if (!m_decoder)
        m_decoder = std::make_shared<QStringDecoder>(ansiDecoder());
    else
        m_decoder->resetState();
    // The line end is decoded with the line: a lead byte waiting for its second byte then
    // becomes U+FFFD rather than vanishing, and the line end itself is dropped again.
    const bool terminated = span.start + span.length < m_bytes.size();
    QString text = m_decoder->decode(QByteArrayView(m_bytes).sliced(span.start, span.length + (terminated ? 1 : 0)));
    if (terminated) {
        text.chop(1);
        return text;
    }
    const QString rest = m_decoder->decode(QByteArrayView("\n", 1));
    if (rest.size() > 1)
        text += QStringView(rest).chopped(1);
    return text;
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
