// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QVariant>

namespace korvane::platform {

// Values exactly as a table stores them, one after another in bytes: the kind of each (nothing,
// a whole number, a double, text, bytes, a date and time) and the value itself, doubles bit for
// bit, text as UTF-8, a date and time as the driver gives it. Read back, each is the value to
// bind again, so that a row copied out of a table goes back into it unchanged. The form is the
// same on every system and is kept in files: it never changes meaning.
namespace StoredValues {

void appendNull(QByteArray& out);
void appendInteger(QByteArray& out, qint64 value);
void appendDouble(QByteArray& out, double value);
void appendText(QByteArray& out, QByteArrayView utf8);
void appendBytes(QByteArray& out, QByteArrayView bytes);
// Any value a driver gives: text, numbers, dates (with their time) and bytes as themselves, a
// truth value as 0 or 1, anything else as its text.
void append(QByteArray& out, const QVariant& value);

// The value that starts at position, which then moves past it; throws platform::Error when the
// bytes end within it or hold no value there.
QVariant read(QByteArrayView bytes, qsizetype& position);

} // namespace StoredValues

} // namespace korvane::platform
