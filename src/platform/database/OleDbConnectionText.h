// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace korvane::platform {

// An OLE DB connection text ("Provider=...;Data Source=...;") read into its settings.
// Names compare without regard to case; a value may be quoted with ' or ".
class OleDbConnectionText
{
public:
    explicit OleDbConnectionText(const QString& text);

    QString value(const QString& name) const; // empty when absent
    bool contains(const QString& name) const;
    QString provider() const { return value(QStringLiteral("Provider")); }

    // The value as a setting of such a text must be written to read back as itself: as it is
    // when it can be, otherwise quoted ("...", or '...' when it holds a ", or "..." with each "
    // doubled when it holds both). A value from a configuration file must never end its setting
    // and start another.
    static QString quoted(const QString& value);

private:
    QList<QPair<QString, QString>> m_settings;
};

} // namespace korvane::platform
