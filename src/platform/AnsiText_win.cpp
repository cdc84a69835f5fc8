// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "AnsiCodePage.h"

#include <qt_windows.h>

namespace korvane::platform {

namespace {

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
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, length, reinterpret_cast<wchar_t*>(out),
                               2);
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

} // namespace

QStringDecoder ansiDecoder()
{
    return QStringDecoder(QStringConverter::System);
}
QStringEncoder ansiEncoder()
{
    return QStringEncoder(QStringConverter::System);
}

std::optional<QString> decodeBySystem(QByteArrayView bytes)
{
    if (decodesBySequence())
        return decodeBySequence(bytes);
    return std::nullopt;
}

bool CodePageTable::read()
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

} // namespace korvane::platform
