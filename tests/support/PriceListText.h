// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QString>

namespace korvane::test {

// Lines of an NHI price list as the tests write them.

// The header line: "id" and the 14 column names.
QString priceListHeader();

// A ten-character drug code, "AC" + n in five digits + "100".
QString drugCode(int n);

// An ordinary drug line with Big5 text whose second bytes include a backslash (功, 許).
QString drugLine(int id, const QString& code, const QString& price = QStringLiteral("12.50"),
                 const QString& date = QStringLiteral("1130401"));

// A whole price list file: the header and drugs ordinary lines with codes drugCode(1) on, in
// the ANSI code page with CR LF.
QByteArray priceListFile(int drugs);

} // namespace korvane::test
