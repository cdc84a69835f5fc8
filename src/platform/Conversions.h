// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace korvane::platform {

// The numeric test and the text conversions of the system, by the conventions of the clinics'
// zh-TW workstations, independent of the locale this program happens to run under. They run
// several times for every line of a price list: they never throw, and ordinary values cost no
// allocation.
//
// Blanks around a value are ASCII space, tab and the ideographic space U+3000 (which Chinese
// input methods type for a space, and which never changes what a value means).

// Blanks, an optional sign, digits with optional "," grouping in the integer part ("1,234.5",
// "1,2345"; no leading, trailing or doubled comma), optional decimals (".5" and "5." count),
// an optional exponent, blanks. A value too large for a double is not a number; one too small
// is 0.
std::optional<double> toDouble(QStringView text);

// Exactly toDouble(text).has_value().
bool isNumeric(QStringView text);

// A date "yyyy/M/d", "yyyy-M-d" or "yyyy年M月d日", optionally followed by a blank and a time
// "H:mm" or "H:mm:ss" with an optional 上午/下午 or AM/PM before or after it (then the hour is 1
// to 12 and 12 上午 is midnight); or a seven-digit ROC date "yyyMMdd" as the NHI writes them
// ("1130401" is 2024-04-01). Never month first. Blanks around the text are allowed. Only real
// calendar dates. The value is the date and time as written, in no time zone (carried as
// Qt::UTC, so that nothing looks up a zone or shifts it).
std::optional<QDateTime> toDate(QStringView text);

// The system's texts break their lines with CR LF, some with a lone CR; text boxes, message
// boxes and terminals take CR LF as two breaks and a lone CR as none. Every break becomes LF.
QString withLineFeeds(const QString& text);

// Text from outside the system (a price list, a driver's message about its values) as it may be
// shown on a terminal or in a window and kept in the record: every control character (C0, DEL,
// C1) and every bidirectional embedding or override written out as "\x1B" ("\u202E"), so that
// no escape sequence acts and no line is made to read backwards. keepLayout keeps tab, CR and
// LF, for a text that spans lines.
QString visibleControls(QStringView text, bool keepLayout = false);
// The same, sharing the text itself when it holds nothing to show otherwise.
QString visibleControls(const QString& text, bool keepLayout = false);

// A text cell of a CSV file that a spreadsheet opens: control characters shown as above, a cell
// that begins with "=", "+", "-", "@", a tab or CR (which a spreadsheet may run as a formula)
// written with a leading "'", which keeps it text, and quoted where it holds a comma, a quote
// or a line end.
QString csvField(const QString& text);
// One record of such a file: each cell written so, ended with CR LF.
QString csvLine(const QStringList& cells);

} // namespace korvane::platform
