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

    // Starts a program by its command line without waiting. False when it could not start.
    virtual bool startDetached(const QString& commandLine, const QString& workingFolder, WindowStyle style) = 0;

    // Starts the batch script scriptName in folder, minimized and without waiting. The script
    // deletes target once this process has let go of it, then itself. Where there is no batch
    // interpreter the same loop runs under the system shell.
    virtual bool startSelfRemoval(const QString& folder, const QString& scriptName, const QString& target) = 0;

    // Ends this process at once: no further events run and no window is told.
    virtual void endProcess() = 0;
};

} // namespace korvane::platform
