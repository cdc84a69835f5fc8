// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "actions/IAction.h"
#include "platform/Services.h"

#include <QString>
#include <QStringView>
#include <memory>
#include <span>

namespace korvane {

// Every action the system can run, with the pack executable that carries it. updatlet and the
// pack executables are both made from this one table (Actions.def).
struct ActionEntry
{
    QString name;           // the action class, as updatlet's command line names it
    QString packExecutable; // the file name of its pack
    QString fileVersion;    // the serial its description shows, empty where it shows none
    QString fileDescription; // what Windows shows of its pack, in Traditional Chinese
    QString summary;        // one line for updatlet --help
    std::shared_ptr<IAction> (*make)(const platform::Services& services, const QString& packExecutable);

    // The action, told the name of its pack.
    std::shared_ptr<IAction> create(const platform::Services& services) const { return make(services, packExecutable); }
};

class ActionCatalogue
{
public:
    // The action updatlet runs when none is named: the monthly drug-price update.
    static constexpr QStringView DefaultAction = u"C52407301";

    static std::span<const ActionEntry> entries();
    // The entry of the named class (exact case), or null.
    static const ActionEntry* find(QStringView name);
};

} // namespace korvane
