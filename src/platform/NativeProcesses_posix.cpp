// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeProcesses.h"
#include "Paths.h"

#include <QProcess>
#include <QStringList>

namespace korvane::platform {

namespace {

// A detached program must not hold our terminal or pipes: whoever waits for our output would
// otherwise wait for it too.
void detachStandardChannels(QProcess& process)
{
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
}

} // namespace

// There are no windows to style here.
bool NativeProcesses::startDetached(const QString& commandLine, const QString& workingFolder, WindowStyle,
                                    QString* whyNot)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty()) {
        if (whyNot)
            *whyNot = QStringLiteral("命令列是空的");
        return false;
    }
    QString program = words.takeFirst();
    if (program.contains(u'\\') || program.contains(u'/'))
        program = localPath(program);

    QProcess process;
    process.setProgram(program);
    process.setArguments(words);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(localPath(workingFolder));
    detachStandardChannels(process);
    if (process.startDetached())
        return true;
    if (whyNot)
        *whyNot = process.errorString();
    return false;
}

bool NativeProcesses::startSelfRemoval(const QString& folder, const QString& scriptName,
                                       const QString& target)
{
    // The paths travel as arguments, never inside the script text, so no name can change what
    // the shell runs. Deleting a running program succeeds here, so the loop first asks, as the
    // file system does, whether any process it may read still runs from the file or holds it
    // open (its device and inode among those of every /proc/PID/exe and /proc/PID/fd/N), and
    // deletes it only once none does, as the batch loop's deletion fails until then. xargs
    // keeps a busy machine's many descriptors within the limit of one command line.
    static const QString loop = QStringLiteral(R"(while [ -e "$1" ]; do
    file=$(stat -L -c %d:%i -- "$1" 2>/dev/null) &&
        printf '%s\n' /proc/[0-9]*/exe /proc/[0-9]*/fd/* |
        xargs stat -L -c %d:%i -- 2>/dev/null | grep -qxF -- "$file" ||
        rm -f -- "$1"
    sleep 0.1
done
rm -f -- "$2")");
    const QString localFolder = localPath(folder);

    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments({QStringLiteral("-c"), loop, QStringLiteral("sh"), localPath(target),
                          localPath(folder + u'/' + scriptName)});
    process.setWorkingDirectory(localFolder);
    detachStandardChannels(process);
    return process.startDetached();
}

} // namespace korvane::platform
