// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "KorvaneStandIns.h"

#include "RunningProgram.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <stdexcept>

namespace korvane::test {

namespace {

void writeScript(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size() ||
        !file.setPermissions(file.permissions() | QFileDevice::ExeOwner))
        throw std::runtime_error("cannot write a stand-in program");
}

} // namespace

void writeKillTool(const QString& installationFolder, qint64 pid)
{
    QDir(installationFolder).mkpath(QStringLiteral("tools"));
    writeScript(installationFolder + QStringLiteral("/tools/KillIt.exe"),
                "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/KillIt.args\"\n"
                "if [ $# -eq 1 ] && [ \"$1\" = Korvane ] && [ " +
                    QByteArray::number(pid) + " -ne 0 ]; then kill " + QByteArray::number(pid) + "; fi\n");
}

void writeApplication(const QString& path, const QString& marker)
{
    writeScript(path,
                "#!/bin/sh\necho \"$$ " + marker.toUtf8() +
                    "\" > \"$(dirname \"$0\")/started.tmp\"\n"
                    "mv \"$(dirname \"$0\")/started.tmp\" \"$(dirname \"$0\")/started\"\nexec sleep 600\n");
}

StartedApplication::~StartedApplication()
{
#ifndef Q_OS_WIN
    // Also one that started after the test stopped looking for it.
    if (m_pid == 0)
        startsWithin(100);
    if (m_pid > 0)
        ::kill(pid_t(m_pid), SIGTERM);
#endif
}

bool StartedApplication::startsWithin(int milliseconds)
{
    QFile started(m_folder + QStringLiteral("/started"));
    if (!becomesTrueWithin(milliseconds, [&] { return started.exists(); }) ||
        !started.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> words = started.readAll().trimmed().split(' ');
    m_pid = words.value(0).toLongLong();
    m_marker = QString::fromUtf8(words.value(1));
    return m_pid > 0;
}

bool StartedApplication::running() const
{
    // A process that has ended but is not yet reaped counts as ended.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(m_pid));
    return m_pid > 0 && stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
}

} // namespace korvane::test
