// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "UpdatletInstallation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace korvane::test {

UpdatletInstallation::UpdatletInstallation()
{
    QDir root(m_root.path());
    EXPECT_TRUE(root.mkpath(QStringLiteral("config/Korvane")) && root.mkpath(QStringLiteral("Korvane")) &&
                root.mkpath(QStringLiteral("pack")));
    write(QStringLiteral("config/Korvane/Korvane.ini"),
          "[Options]\r\nKorvaneStartupPath=" + path(QStringLiteral("Korvane")).toUtf8() + "\r\n");
}

void UpdatletInstallation::write(const QString& relative, const QByteArray& bytes) const
{
    QFile file(path(relative));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(file.errorString());
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray UpdatletInstallation::read(const QString& relative) const
{
    QFile file(path(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QStringList UpdatletInstallation::packArguments() const
{
    return {QStringLiteral("--pack-folder"), path(QStringLiteral("pack"))};
}

void UpdatletInstallation::start(QProcess& process, const QStringList& arguments) const
{
    start(process, QStringLiteral(KORVANE_UPDATLET), arguments);
}

void UpdatletInstallation::start(QProcess& process, const QString& program, const QStringList& arguments,
                                 const QProcessEnvironment& more) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    env.insert(more);
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForStarted(10000)) << qPrintable(process.errorString());
}

UpdatletResult UpdatletInstallation::finish(QProcess& process, int limitMilliseconds)
{
    QElapsedTimer timer;
    timer.start();
    const bool finished = process.waitForFinished(limitMilliseconds);
    if (!finished) {
        process.kill();
        process.waitForFinished(10000);
        ADD_FAILURE() << qPrintable(QFileInfo(process.program()).fileName()) << " still ran after "
                      << limitMilliseconds << " ms";
    }
    const QString err = QString::fromUtf8(process.readAllStandardError());
    return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()) + err, timer.elapsed(), err};
}

UpdatletResult UpdatletInstallation::run(const QStringList& arguments, int limitMilliseconds) const
{
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    start(process, arguments);
    UpdatletResult result = finish(process, limitMilliseconds);
    result.milliseconds = timer.elapsed();
    return result;
}

} // namespace korvane::test
