// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>

namespace korvane::platform {

enum class WindowStyle { Hidden, Normal, MinimizedFocus, MaximizedFocus, NormalNoFocus, MinimizedNoFocus };

class Processes
{
public:
    virtual ~Processes() = default;

    // Starts a program by its command line without waiting. False when it could not start, with
    // the system's reason in whyNot where one is asked for.
    virtual bool startDetached(const QString& commandLine, const QString& workingFolder, WindowStyle style,
                               QString* whyNot = nullptr) = 0;

    // Starts the batch script scriptName in folder, minimized and without waiting. The script
    // deletes target once this process has let go of it, then itself. Where there is no batch
    // interpreter the same loop runs under the system shell.
    virtual bool startSelfRemoval(const QString& folder, const QString& scriptName, const QString& target) = 0;

    // Ends the program once control is back in its event loop: whatever runs now unwinds first.
    virtual void endProcess() = 0;
};

} // namespace korvane::platform
