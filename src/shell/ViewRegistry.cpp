// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ViewRegistry.h"

#include "platform/Error.h"

namespace korvane {

void ViewRegistry::registerFactory(const QString& identifier, Factory factory)
{
    ivFactories.insert(identifier.toLower(), std::move(factory));
}

bool ViewRegistry::contains(const QString& identifier) const
{
    return ivFactories.contains(identifier.toLower());
}

QWidget* ViewRegistry::create(const QString& identifier, QWidget* parent) const
{
    const auto found = ivFactories.constFind(identifier.toLower());
    if (found == ivFactories.constEnd() || !*found)
        throw platform::Error(QStringLiteral("無法建立元件：") + identifier,
                              platform::Error::Kind::NullObject);
    QWidget* control = (*found)(parent);
    if (!control)
        throw platform::Error(QStringLiteral("無法建立元件：") + identifier,
                              platform::Error::Kind::NullObject);
    return control;
}

} // namespace korvane
