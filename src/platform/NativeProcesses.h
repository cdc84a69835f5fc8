// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "Processes.h"

namespace korvane::platform {

// Starts programs of the machine. On Windows a command line goes to the system as it stands and
// the script runs under the command interpreter; elsewhere the command line is split into its
// words and the self-removal loop runs under /bin/sh.
class NativeProcesses : public Processes
{
public:
    bool startDetached(const QString& commandLine, const QString& workingFolder, WindowStyle style,
                       QString* whyNot = nullptr) override;
    bool startSelfRemoval(const QString& folder, const QString& scriptName, const QString& target) override;
    void endProcess() override;
};

} // namespace korvane::platform
