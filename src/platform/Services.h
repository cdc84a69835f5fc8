// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "Clock.h"
#include "Dialogs.h"
#include "EventPump.h"
#include "FileSystem.h"
#include "Processes.h"
#include "SettingsStore.h"

#include <QString>

namespace korvane::platform {

class StatementLog;

// What the system needs of the machine, handed to every part that reaches outside the process.
// Tests build one from fakes; the programs build one from NativeServices.
struct Services
{
    SettingsStore& settings;
    FileSystem& files;
    Processes& processes;
    Clock& clock;
    EventPump& events;
    Dialogs& dialogs;
    QString packFolder;
    // Told every statement of the connections the actions open (see database/StatementLog.h);
    // null for none, as on every real machine.
    StatementLog* statementLog = nullptr;

    // The same machine, but with other dialogs or other processes.
    Services with(Dialogs& other) const
    {
        return {settings, files, processes, clock, events, other, packFolder, statementLog};
    }
    Services with(Processes& other) const
    {
        return {settings, files, other, clock, events, dialogs, packFolder, statementLog};
    }
};

} // namespace korvane::platform
