// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeProcesses.h"

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <qt_windows.h>
#include <string>

namespace korvane::platform {

namespace {

WORD showWindowCommand(WindowStyle style)
{
    switch (style) {
    case WindowStyle::Hidden:
        return SW_HIDE;
    case WindowStyle::Normal:
        return SW_SHOWNORMAL;
    case WindowStyle::MinimizedFocus:
        return SW_SHOWMINIMIZED;
    case WindowStyle::MaximizedFocus:
        return SW_SHOWMAXIMIZED;
    case WindowStyle::NormalNoFocus:
        return SW_SHOWNOACTIVATE;
    case WindowStyle::MinimizedNoFocus:
        return SW_SHOWMINNOACTIVE;
    }
    return SW_SHOWNORMAL;
}

} // namespace

bool NativeProcesses::startDetached(const QString& commandLine, const QString& workingFolder,
                                    WindowStyle style, QString* whyNot)
{
    const QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty()) {
        if (whyNot)
            *whyNot = QStringLiteral("命令列是空的");
        return false;
    }

    // The command line reaches CreateProcess as it stands, not re-quoted word by word; the
    // system may write into that buffer, so it is our own copy.
    std::wstring line = commandLine.toStdWString();
    const WORD show = showWindowCommand(style);
    QProcess process;
    process.setProgram(words.first());
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(QDir::toNativeSeparators(workingFolder));
    process.setCreateProcessArgumentsModifier([&line, show, style](QProcess::CreateProcessArguments* args) {
        args->arguments = line.data();
        // No channel is redirected: the program keeps the handles of its own console.
        args->startupInfo->dwFlags &= ~static_cast<DWORD>(STARTF_USESTDHANDLES);
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = show;
        // A program without a window of its own (the command interpreter) gets a console
        // window, shown in the requested style.
        if (style != WindowStyle::Hidden) {
            args->flags &= ~static_cast<unsigned long>(CREATE_NO_WINDOW);
            args->flags |= CREATE_NEW_CONSOLE;
        }
    });
    if (process.startDetached())
        return true;
    if (whyNot)
        *whyNot = process.errorString();
    return false;
}

bool NativeProcesses::startSelfRemoval(const QString& folder, const QString& scriptName, const QString&)
{
    // The script itself knows what to delete; it is run from its folder by its bare name.
    const QString script = scriptName.contains(u' ') ? u'"' + scriptName + u'"' : scriptName;
    return startDetached(QStringLiteral("cmd.exe /c ") + script, folder, WindowStyle::MinimizedFocus);
}

} // namespace korvane::platform
