// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

// What AnsiText needs of the system's code page, which each system reaches in its own way.

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

namespace korvane::platform {

// The converters of the ANSI code page.
QStringDecoder ansiDecoder();
QStringEncoder ansiEncoder();

// The text of bytes decoded by the system itself, where Qt's converter would not give what the
// code page means; none where the converter is right.
std::optional<QString> decodeBySystem(QByteArrayView bytes);

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

    static bool isTrail(unsigned byte)
    {
        return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE);
    }

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

    // Fills the table; false when the code page cannot be read into one.
    bool read();

    std::array<char16_t, 256> m_single;
    std::vector<char16_t> m_pairs; // by lead byte * 256 + trail byte
    bool m_asciiIsAscii = false;
    bool m_valid = false;
};

} // namespace korvane::platform
