// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "platform/Error.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace korvane::fuzz {

// Stops the run with the broken property and the text that broke it. libFuzzer reports the
// abort as a crash and saves the input that caused it.
[[noreturn]] void fail(const char* property, QStringView text = {});

inline void require(bool condition, const char* property, QStringView text = {})
{
    if (!condition)
        fail(property, text);
}

// The kind of platform::Error that the call threw; nothing when it returned. Any other
// exception escapes and ends the run, which is what a fuzz target wants.
template <typename Call> std::optional<platform::Error::Kind> errorKindOf(Call&& call)
{
    try {
        call();
    } catch (const platform::Error& error) {
        return error.kind();
    }
    return std::nullopt;
}

// The bytes as little-endian UTF-16 units, an odd last byte dropped; unpaired surrogates stay.
QString utf16Text(const uint8_t* data, size_t size);

} // namespace korvane::fuzz
