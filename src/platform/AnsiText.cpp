// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "AnsiText.h"

#include "Error.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

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

#ifdef Q_OS_WIN
// Qt's converter for the system code page drops a NUL at the end of its input and drops what the
// code page rejects where U+FFFD belongs (a cut character would vanish unnoticed), and in a text
// that holds such bytes it gives nothing after the first NUL. A code page of one- and two-byte
// characters is therefore decoded here, a character at a time by the system itself; any other
// (UTF-8 as the system code page) is left to Qt.
bool decodesBySequence()
{
    static const bool oneOrTwoBytes = [] {
        CPINFO info;
        return GetCPInfo(CP_ACP, &info) && info.MaxCharSize <= 2;
    }();
    return oneOrTwoBytes;
}

bool isLeadByte(char byte)
{
    return IsDBCSLeadByteEx(CP_ACP, BYTE(byte));
}

// The UTF-16 units that the system code page gives for one character of one or two bytes;
// 0 when it rejects the bytes, a lead byte without its second byte among them.
int systemCharacters(const char* bytes, int length, char16_t (&out)[2])
{
    if (length == 1 && isLeadByte(*bytes))
        return 0;
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, length, reinterpret_cast<wchar_t*>(out), 2);
}

QString decodeBySequence(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p != end) {
        const int length = end - p >= 2 && isLeadByte(*p) ? 2 : 1;
        char16_t characters[2];
        const int count = systemCharacters(p, length, characters);
        if (count > 0) {
            text.append(QStringView(characters, count));
            p += length;
            continue;
        }
        // As the converters elsewhere read a rejected pair: the second byte goes with the lead
        // byte where it could be a trail byte, and is read on its own where it cannot (a line
        // end, a digit).
        text += QChar::ReplacementCharacter;
        const auto second = length == 2 ? static_cast<unsigned char>(p[1]) : 0u;
        p += second >= 0x40 && second != 0x7F && second != 0xFF ? 2 : 1;
    }
    return text;
}
#endif

// The code page's characters in a table, read once from its own converter (on Windows from the
// system, a character at a time). Decoding a line of a price list through the converter costs
// more than everything else done with the line; most lines are plain single bytes and two-byte
// characters, which the table turns into text in one pass. Whatever the table does not hold (a
// byte sequence the code page rejects, a character of more than two bytes or more than one
// UTF-16 unit) is left to the converter, so the text is always exactly what the converter makes
// of it.
class CodePageTable
{
public:
    static const CodePageTable* instance()
    {
        static const CodePageTable table;
        return table.m_valid ? &table : nullptr;
    }

    // Appends the decoded bytes to out; false when they need the converter.
    bool decode(QByteArrayView bytes, QString& out) const
    {
        const qsizetype start = out.size();
        out.resize(start + bytes.size()); // never more characters than bytes
        char16_t* const begin = reinterpret_cast<char16_t*>(out.data()) + start;
        char16_t* o = begin;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto* const end = p + bytes.size();
        while (p != end) {
            if (*p < 0x80 && m_asciiIsAscii) {
                // A run of ASCII, eight bytes at a step where it can.
                do {
                    quint64 word;
                    if (end - p >= 8 && (std::memcpy(&word, p, 8), (word & 0x8080808080808080ULL) == 0)) {
                        for (int i = 0; i < 8; ++i)
                            o[i] = char16_t(p[i]);
                        o += 8;
                        p += 8;
                    } else if (*p < 0x80) {
                        *o++ = char16_t(*p++);
                    } else {
                        break;
                    }
                } while (p != end);
                continue;
            }
            const char16_t single = m_single[*p];
            if (single != none) {
                *o++ = single;
                ++p;
                continue;
            }
            if (end - p < 2)
                return out.resize(start), false;
            const char16_t pair = m_pairs[size_t(p[0]) << 8 | p[1]];
            if (pair == none)
                return out.resize(start), false;
            *o++ = pair;
            p += 2;
        }
        out.resize(start + (o - begin));
        return true;
    }

private:
    static constexpr char16_t none = 0xFFFF; // a noncharacter: no converter ever gives it

    static constexpr unsigned firstLead = 0x81;
    static constexpr unsigned trailsPerLead = (0x7E - 0x40 + 1) + (0xFE - 0xA1 + 1);

    static bool isTrail(unsigned byte) { return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE); }

    CodePageTable() : m_pairs(0x10000, none)
    {
        m_single.fill(none);
        if (!read())
            return;
        m_single['\n'] = u'\n';
        m_asciiIsAscii = true;
        for (unsigned byte = 0; byte < 0x80; ++byte)
            m_asciiIsAscii = m_asciiIsAscii && m_single[byte] == byte;
        m_valid = true;
    }

#ifdef Q_OS_WIN
    bool read()
    {
        if (!decodesBySequence())
            return false;
        auto character = [](const char* bytes, int length) {
            char16_t characters[2];
            return systemCharacters(bytes, length, characters) == 1 &&
                           characters[0] != QChar::ReplacementCharacter && !QChar::isSurrogate(characters[0])
                       ? characters[0]
                       : none;
        };
        for (unsigned byte = 0; byte < 256; ++byte) {
            const char single = char(byte);
            m_single[byte] = character(&single, 1);
        }
        for (unsigned lead = firstLead; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (isTrail(trail)) {
                    const char pair[2] = {char(lead), char(trail)};
                    m_pairs[lead << 8 | trail] = character(pair, 2);
                }
            }
        }
        return true;
    }
#else
    // Every single byte, then every two-byte sequence, each followed by a line feed, decoded in
    // one call: a sequence whose text between the line feeds is one character other than
    // U+FFFD is a character of the code page. (A line feed is never part of a character.)
    bool read()
    {
        QByteArray probe(qsizetype(2 * 255 + 3 * (0xFE - firstLead + 1) * trailsPerLead), Qt::Uninitialized);
        char* out = probe.data();
        for (unsigned byte = 0; byte < 256; ++byte) {
            if (byte != '\n') {
                *out++ = char(byte);
                *out++ = '\n';
            }
        }
        for (unsigned lead = firstLead; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (isTrail(trail)) {
                    *out++ = char(lead);
                    *out++ = char(trail);
                    *out++ = '\n';
                }
            }
        }
        QStringDecoder decoder = ansiDecoder();
        const QString text = decoder.decode(probe);
        if (decoder.hasError())
            return false;
        // The character of each probe, or none; false once the text runs out early.
        const QChar* at = text.constData();
        const QChar* const end = at + text.size();
        auto next = [&at, end](char16_t& character) {
            const QChar* const start = at;
            while (at != end && *at != u'\n')
                ++at;
            if (at == end)
                return false;
            const qsizetype length = at - start;
            character = length == 1 && *start != QChar::ReplacementCharacter && !start->isSurrogate()
                            ? start->unicode()
                            : none;
            ++at;
            return true;
        };
        for (unsigned byte = 0; byte < 256; ++byte) {
            if (byte != '\n' && !next(m_single[byte]))
                return false;
        }
        for (unsigned lead = firstLead; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (isTrail(trail) && !next(m_pairs[lead << 8 | trail]))
                    return false;
            }
        }
        // Anything left means the converter read across the line feeds: the table is not used.
        return at == end;
    }
#endif

    std::array<char16_t, 256> m_single;
    std::vector<char16_t> m_pairs; // by lead byte * 256 + trail byte
    bool m_asciiIsAscii = false;
    bool m_valid = false;
};

} // namespace

QString decodeAnsi(QByteArrayView bytes)
{
    if (const CodePageTable* table = CodePageTable::instance()) {
        QString text;
        if (table->decode(bytes, text))
            return text;
    }
#ifdef Q_OS_WIN
    if (decodesBySequence())
        return decodeBySequence(bytes);
#endif
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
    if (end - begin > qsizetype(std::numeric_limits<quint32>::max()))
        throw Error(QStringLiteral("檔案太大，無法讀取。"), Error::Kind::OutOfRange);
    auto find = [end](const Char* from, Char c) {
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
    if (index < 0 || index >= count())
        throw Error(QStringLiteral("行號超出範圍：%1").arg(index), Error::Kind::OutOfRange);
    const Span line = span(index);
    into.resize(0); // keeps the capacity
    if (m_bytes.isNull()) {
        into.append(QStringView(m_text).sliced(line.start, line.length));
        return;
    }
    if (const CodePageTable* table = CodePageTable::instance()) {
        if (table->decode(QByteArrayView(m_bytes).sliced(line.start, line.length), into))
            return;
    }
    into = decodeLine(line);
}

QString TextLines::decodeLine(const Span& line) const
{
#ifdef Q_OS_WIN
    if (decodesBySequence())
        return decodeBySequence(QByteArrayView(m_bytes).sliced(line.start, line.length));
#endif
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
