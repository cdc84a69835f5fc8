// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "KorvaneStandIns.h"

#include "RunningProgram.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <stdexcept>

namespace korvane::test {

namespace {

void writeFile(const QString& path, const QByteArray& text, bool program = false)
{
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(text) != text.size() ||
        (program && !file.setPermissions(file.permissions() | QFileDevice::ExeOwner)))
        throw std::runtime_error("cannot write a test file");
}

} // namespace

QMap<QString, QByteArray> tree(const QString& folder)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        entries.insert(QDir(folder).relativeFilePath(file.fileName()),
                       it.fileInfo().isDir() ? "/" : (file.open(QIODevice::ReadOnly) ? file.readAll() : "?"));
    }
    return entries;
}

void ship(const QString& folder, const QStringList& names, const QByteArray& prefix)
{
    for (const QString& name : names)
        writeFile(folder + u'/' + name, prefix + name.toUtf8());
}

void writeKillTool(const QString& installationFolder, qint64 pid)
{
    writeFile(installationFolder + QStringLiteral("/tools/KillIt.exe"),
              "#!/bin/sh\n" +
                  (pid ? "[ $# = 1 ] && [ \"$1\" = Korvane ] && sleep 0.2 && kill " + QByteArray::number(pid)
                       : ":"),
              true);
}

void writeApplication(const QString& path)
{
    writeFile(path,
              "#!/bin/sh\ncd \"$(dirname \"$0\")\" && echo $$ >> starts && echo $$ > started.tmp && mv started.tmp started\n"
              // At most two minutes: a folder that a test could not remove must not keep it alive.
              "n=0; while [ -d \"$PWD\" ] && [ $n -lt 600 ]; do sleep 0.2; n=$((n+1)); done\n",
              true);
}

bool applicationRunsWithin(const QString& folder, int milliseconds)
{
    QFile started(folder + QStringLiteral("/started"));
    if (!becomesTrueWithin(milliseconds, [&] { return started.exists(); }) ||
        !started.open(QIODevice::ReadOnly))
        return false;
    // A process that has ended but is not yet reaped counts as ended.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(started.readAll().trimmed().toLongLong()));
    return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
}

int applicationStarts(const QString& folder)
{
    QFile starts(folder + QStringLiteral("/starts"));
    return starts.open(QIODevice::ReadOnly) ? int(starts.readAll().count('\n')) : 0;
}

} // namespace korvane::test
