// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "platform/Processes.h"

namespace korvane {

class ConsoleView;

// The processes of an unattended run: programs start as on the machine, but when an action ends
// the program (the user cancelled at a prompt), the terminal is told and the program exits with
// a status of its own, so that a rollout script can tell a cancelled run from a finished one.
class ConsoleProcesses : public platform::Processes
{
public:
    ConsoleProcesses(platform::Processes& machine, ConsoleView& view, int endStatus);

    bool startDetached(const QString& commandLine, const QString& workingFolder,
                       platform::WindowStyle style) override;
    bool startSelfRemoval(const QString& folder, const QString& scriptName, const QString& target) override;
    void endProcess() override;

private:
    platform::Processes& ivMachine;
    ConsoleView& ivView;
    int ivEndStatus;
};

} // namespace korvane
