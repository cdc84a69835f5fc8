// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ActionCatalogue.h"

#include "actions/ActionImpl.h"
#include "deploy/CDrugDeployActioner.h"
#include "deploy/CExeUpdateActioner.h"
#include "deploy/CKorvaneUpdateActioner.h"
#include "drugbag/C524011002.h"
#include "drugbag/C524011003.h"
#include "pricing/C52407301.h"
#include "pricing/CDrugPriceUndoActioner.h"

#include <algorithm>
#include <array>

namespace korvane {

namespace {

// The pack's name is written once, in Actions.def; an action that removes its pack learns it here.
template <typename Action> std::shared_ptr<IAction> create(const platform::Services& services, const QString& pack)
{
    auto action = std::make_shared<Action>(services);
    action->setPackName(pack);
    return action;
}

// The start-up action lives below the deployment actions, so it is handed the maker of the
// application update that it wraps. It never removes its pack.
template <> std::shared_ptr<IAction> create<ActionImpl>(const platform::Services& services, const QString&)
{
    return std::make_shared<ActionImpl>(
        services, [services] { return std::make_shared<CKorvaneUpdateActioner>(services); });
}

#define KORVANE_ACTION(actionClass, packExecutable, fileVersion, fileDescription, summary)                    \
    ActionEntry{QStringLiteral(#actionClass), QStringLiteral(packExecutable), QStringLiteral(fileVersion),   \
                QStringLiteral(fileDescription), QStringLiteral(summary), &create<actionClass>},

const auto& table()
{
    static const std::array catalogue{
#include "Actions.def"
    };
    return catalogue;
}

#undef KORVANE_ACTION

} // namespace

std::span<const ActionEntry> ActionCatalogue::entries()
{
    return table();
}

const ActionEntry* ActionCatalogue::find(QStringView name)
{
    const auto& all = table();
    const auto found =
        std::find_if(all.begin(), all.end(), [name](const ActionEntry& entry) { return entry.name == name; });
    return found == all.end() ? nullptr : &*found;
}

} // namespace korvane
