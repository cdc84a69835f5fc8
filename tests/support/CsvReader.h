// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace korvane::test {

// The rows of a CSV file as a spreadsheet reads it (RFC 4180: quoted fields with doubled quotes,
// line breaks inside quotes), from UTF-8 with or without a byte-order mark. A quote that is never
// closed gives an empty list, so that a test sees the file as broken.
QList<QStringList> readCsv(const QByteArray& bytes);

} // namespace korvane::test
