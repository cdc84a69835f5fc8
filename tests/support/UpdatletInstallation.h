// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QProcess;

namespace korvane::test {

// How an updatlet process ended: exit code (-1 when it crashed or had to be killed), what it
// wrote (standard output, then standard error; and standard error alone) and how long it took.
struct UpdatletResult
{
    int exitCode = -1;
    QString out;
    qint64 milliseconds = 0;
    QString err;
};

// A Korvane installation on disk for running updatlet as IT staff do: a settings folder whose
// store names the installation folder "Korvane", and a pack folder "pack", all in a temporary
// folder. The clinic database is the test's to make.
class UpdatletInstallation
{
public:
    UpdatletInstallation();

    // A path inside the temporary folder ("Korvane/dbKorvane.mdb", "pack/all.puf").
    QString path(const QString& relative) const { return m_root.filePath(relative); }
    QString pricePath() const { return path(QStringLiteral("pack/all.puf")); }
    // Writes a file anew; a file that cannot be written fails the test.
    void write(const QString& relative, const QByteArray& bytes) const;
    // A file's bytes, to compare before and after; "(missing)" when it cannot be read.
    QByteArray read(const QString& relative) const;

    // "--pack-folder" and the pack folder.
    QStringList packArguments() const;
    // Starts updatlet with these arguments and the installation's settings store.
    void start(QProcess& process, const QStringList& arguments) const;
    // Starts another program (a pack) the same way, with more environment variables.
    void start(QProcess& process, const QString& program, const QStringList& arguments,
               const QProcessEnvironment& more = {}) const;
    // Waits for it; one that is still running after the limit is killed and fails the test.
    static UpdatletResult finish(QProcess& process, int limitMilliseconds);
    UpdatletResult run(const QStringList& arguments, int limitMilliseconds = 60000) const;
    UpdatletResult run() const { return run(packArguments()); }

private:
    QTemporaryDir m_root;
};

} // namespace korvane::test
