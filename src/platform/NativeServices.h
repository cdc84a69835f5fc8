// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "NativeEventPump.h"
#include "NativeFileSystem.h"
#include "NativeProcesses.h"
#include "NativeSettingsStore.h"
#include "Paths.h"
#include "Services.h"
#include "SystemClock.h"

namespace korvane::platform {

// The machine's services for a program. The dialogs differ between the widget and the console
// front end, so the program supplies them; they must outlive this object.
class NativeServices
{
public:
    explicit NativeServices(Dialogs& dialogs) : m_dialogs(dialogs) {}
    NativeServices(const NativeServices&) = delete;
    NativeServices& operator=(const NativeServices&) = delete;

    Services services(const QString& packFolder = applicationFolder());

private:
    NativeSettingsStore m_settings;
    NativeFileSystem m_files;
    NativeProcesses m_processes;
    SystemClock m_clock;
    NativeEventPump m_events;
    Dialogs& m_dialogs;
};

} // namespace korvane::platform
