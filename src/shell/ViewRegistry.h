// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QHash>
#include <QString>
#include <functional>

class QWidget;

namespace korvane {

// Creates the controls that a host form can show, by their identifier ("VNQ.utlUpdatorView").
// Identifiers are matched without regard to case.
class ViewRegistry
{
public:
    using Factory = std::function<QWidget*(QWidget* parent)>;

    // Replaces any factory registered under the same identifier.
    void registerFactory(const QString& identifier, Factory factory);
    bool contains(const QString& identifier) const;

    // A new control owned by parent. Throws platform::Error for an unknown identifier or a
    // factory that made nothing.
    QWidget* create(const QString& identifier, QWidget* parent) const;

private:
    QHash<QString, Factory> ivFactories;
};

} // namespace korvane
