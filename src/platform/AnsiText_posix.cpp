// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "AnsiCodePage.h"

#include <QByteArray>

namespace korvane::platform {

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

// Qt's converter reads the code page as it means it.
std::optional<QString> decodeBySystem(QByteArrayView)
{
    return std::nullopt;
}

// Every single byte, then every two-byte sequence, each followed by a line feed, decoded in
// one call: a sequence whose text between the line feeds is one character other than
// U+FFFD is a character of the code page. (A line feed is never part of a character.)
bool CodePageTable::read()
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

} // namespace korvane::platform
