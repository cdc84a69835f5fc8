// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "AnsiText.h"

#include "AnsiCodePage.h"
#include "Error.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>
#include <limits>

namespace korvane::platform {

namespace {

constexpr QByteArrayView utf8ByteOrderMark("\xEF\xBB\xBF");

} // namespace

QString decodeAnsi(QByteArrayView bytes)
{
    if (const CodePageTable* table = CodePageTable::instance()) {
        QString text;
        if (table->decode(bytes, text))
            return text;
    }
    if (std::optional<QString> text = decodeBySystem(bytes))
        return *std::move(text);
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

// Where each line of text starts, found in one scan. The search for the next CR and the next LF
// runs through the C library, many bytes at a step.
template <typename Char> void TextLines::index(const Char* begin, const Char* end)
{
    // Compared unsigned: where qsizetype has 32 bits, the limit does not fit it.
    if (quint64(end - begin) > std::numeric_limits<quint32>::max())
        throw Error(QStringLiteral("檔案太大，無法讀取。"), Error::Kind::OutOfRange);
    auto find = [end](const Char* from, Char c) {
        if (from >= end) // also tells the compiler that the bound below is a real size
            return end;
        if constexpr (sizeof(Char) == 1) {
            const void* hit = std::memchr(from, c, size_t(end - from));
            return hit ? static_cast<const Char*>(hit) : end;
        } else {
            return std::find(from, end, c);
        }
    };
    // A price list line is about 150 bytes; guessing keeps reallocation rare.
    m_starts.reserve(std::size_t((end - begin) / 128 + 1));
    const Char* nextCr = find(begin, Char('\r'));
    const Char* nextLf = find(begin, Char('\n'));
    const Char* lineStart = begin;
    while (lineStart != end) {
        m_starts.push_back(quint32(lineStart - begin));
        if (nextCr < lineStart)
            nextCr = find(lineStart, Char('\r'));
        if (nextLf < lineStart)
            nextLf = find(lineStart, Char('\n'));
        const Char* lineEnd = std::min(nextCr, nextLf);
        if (lineEnd == end)
            break;
        lineStart = lineEnd + 1;
        if (*lineEnd == Char('\r') && lineStart != end && *lineStart == Char('\n'))
            ++lineStart;
    }
}

TextLines::TextLines(QString text) : m_text(std::move(text))
{
    const char16_t* begin = reinterpret_cast<const char16_t*>(m_text.utf16());
    index(begin, begin + m_text.size());
}

bool isUtf8Text(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    bool beyondAscii = false;
    while (p != end) {
        // Eight ASCII bytes at a step: most of a price list is digits and Latin letters.
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        beyondAscii = true;
        int trail;
        unsigned char low = 0x80, high = 0xBF; // the range of the first trail byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            if (lead == 0xE0)
                low = 0xA0; // overlong
            else if (lead == 0xED)
                high = 0x9F; // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            if (lead == 0xF0)
                low = 0x90; // overlong
            else if (lead == 0xF4)
                high = 0x8F; // beyond U+10FFFF
        } else {
            return false;
        }
        if (end - p <= trail || p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i <= trail; ++i) {
            if (p[i] < 0x80 || p[i] > 0xBF)
                return false;
        }
        p += trail + 1;
    }
    return beyondAscii;
}

TextLines TextLines::fromAnsiFile(QByteArray bytes)
{
    if (bytes.startsWith(utf8ByteOrderMark))
        return TextLines(QString::fromUtf8(QByteArrayView(bytes).sliced(utf8ByteOrderMark.size())));
    if (isUtf8Text(bytes))
        return TextLines(QString::fromUtf8(bytes));
    TextLines lines;
    lines.m_bytes = std::move(bytes);
    lines.index(lines.m_bytes.constData(), lines.m_bytes.constData() + lines.m_bytes.size());
    return lines;
}

qsizetype TextLines::size() const
{
    return m_bytes.isNull() ? m_text.size() : m_bytes.size();
}

TextLines::Span TextLines::span(qsizetype index) const
{
    const qsizetype start = m_starts[std::size_t(index)];
    qsizetype end = index + 1 < count() ? qsizetype(m_starts[std::size_t(index + 1)]) : size();
    auto at = [this](qsizetype i) { return m_bytes.isNull() ? m_text.at(i).unicode() : char16_t(m_bytes.at(i)); };
    // Every line but the last ends with CR LF, CR or LF; the last one may have none.
    const bool terminated = end > start && (at(end - 1) == u'\n' || at(end - 1) == u'\r');
    if (terminated) {
        if (at(end - 1) == u'\n' && end - 2 >= start && at(end - 2) == u'\r')
            --end;
        --end;
    }
    return {start, end - start, terminated};
}

QString TextLines::at(qsizetype index) const
{
    QString text;
    read(index, text);
    return text;
}

void TextLines::read(qsizetype index, QString& into) const
{
    into.resize(0); // keeps the capacity
    append(index, into);
}

void TextLines::append(qsizetype index, QString& into) const
{
    if (index < 0 || index >= count())
        throw Error(QStringLiteral("行號超出範圍：%1").arg(index), Error::Kind::OutOfRange);
    const Span line = span(index);
    if (m_bytes.isNull()) {
        into.append(QStringView(m_text).sliced(line.start, line.length));
        return;
    }
    if (const CodePageTable* table = CodePageTable::instance()) {
        const qsizetype before = into.size();
        if (table->decode(QByteArrayView(m_bytes).sliced(line.start, line.length), into))
            return;
        into.resize(before);
    }
    into += decodeLine(line);
}

QString TextLines::decodeLine(const Span& line) const
{
    if (std::optional<QString> text = decodeBySystem(QByteArrayView(m_bytes).sliced(line.start, line.length)))
        return *std::move(text);
    if (!m_decoder)
        m_decoder = std::make_shared<QStringDecoder>(ansiDecoder());
    else
        m_decoder->resetState();
    // The line end is decoded with the line: a lead byte waiting for its second byte then
    // becomes U+FFFD rather than vanishing, and the line end itself is dropped again.
    QString text = m_decoder->decode(QByteArrayView(m_bytes).sliced(line.start, line.length + (line.terminated ? 1 : 0)));
    if (line.terminated) {
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
