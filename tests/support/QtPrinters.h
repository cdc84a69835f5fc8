// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

// Lets GoogleTest show Qt values readably in its failure messages.

#include <QDebug>
#include <QString>
#include <QVariant>
#include <ostream>

inline void PrintTo(const QString& value, std::ostream* os)
{
    *os << '"' << value.toStdString() << '"';
}

inline void PrintTo(const QVariant& value, std::ostream* os)
{
    QString text;
    QDebug(&text) << value;
    *os << text.toStdString();
}

inline void PrintTo(const QStringList& value, std::ostream* os)
{
    *os << '{';
    for (const QString& item : value)
        *os << " \"" << item.toStdString() << '"';
    *os << " }";
}
