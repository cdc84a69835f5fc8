// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ConsoleProcesses.h"

#include "ConsoleView.h"
#include "platform/NativeProcesses.h"

namespace korvane {

ConsoleProcesses::ConsoleProcesses(platform::Processes& machine, ConsoleView& view, int endStatus)
    : ivMachine(machine), ivView(view), ivEndStatus(endStatus)
{
}

bool ConsoleProcesses::startDetached(const QString& commandLine, const QString& workingFolder,
                                     platform::WindowStyle style)
{
    return ivMachine.startDetached(commandLine, workingFolder, style);
}

bool ConsoleProcesses::startSelfRemoval(const QString& folder, const QString& scriptName,
                                        const QString& target)
{
    return ivMachine.startSelfRemoval(folder, scriptName, target);
}

void ConsoleProcesses::endProcess()
{
    ivView.cancel();
    platform::endProcessNow(ivEndStatus);
}

} // namespace korvane
