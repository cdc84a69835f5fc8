// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

// Undefined behaviour must end the run like a crash, or the fuzzer would only print it and go on.
extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

namespace korvane::fuzz {

namespace {

// Control characters and anything outside printable ASCII as \uXXXX, so a report shows exactly
// which units were involved.
QByteArray visible(QStringView text)
{
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F && u != u'\\') {
            out.append(char(u));
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", unsigned(u));
            out.append(buffer);
        }
    }
    return out;
}

} // namespace

void fail(const char* property, QStringView text)
{
    std::fprintf(stderr, "\n*** property broken: %s\n", property);
    if (!text.isEmpty()) {
        const QByteArray shown = visible(text.left(400));
        std::fprintf(stderr, "*** on text (%lld units): \"%s\"%s\n", static_cast<long long>(text.size()),
                     shown.constData(), text.size() > 400 ? "..." : "");
    }
    std::abort();
}

QString utf16Text(const uint8_t* data, size_t size)
{
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < size; i += 2)
        text[qsizetype(i / 2)] = QChar(char16_t(data[i] | (data[i + 1] << 8)));
    return text;
}

} // namespace korvane::fuzz
