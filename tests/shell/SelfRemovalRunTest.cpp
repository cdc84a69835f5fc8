// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ShellTestSupport.h"
#include "platform/NativeFileSystem.h"
#include "platform/NativeProcesses.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace korvane::test {
namespace {

// The machine's processes, except that the program is not really ended.
class NativeProcessesWithoutEnd : public platform::Processes
{
public:
    bool startDetached(const QString& commandLine, const QString& workingFolder,
                       platform::WindowStyle style) override
    {
        return native.startDetached(commandLine, workingFolder, style);
    }
    bool startSelfRemoval(const QString& folder, const QString& scriptName, const QString& target) override
    {
        ++selfRemovals;
        return native.startSelfRemoval(folder, scriptName, target);
    }
    void endProcess() override { ++endCalls; }

    platform::NativeProcesses native;
    int selfRemovals = 0;
    int endCalls = 0;
};

bool goneWithin(const QStringList& paths, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        if (std::none_of(paths.cbegin(), paths.cend(),
                         [](const QString& path) { return QFileInfo::exists(path); }))
            return true;
        QThread::msleep(50);
    }
    return false;
}

TEST(SelfRemovalRunTest, PackExecutableAndScriptAreGoneOnceTheProgramHasEnded)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "runs a copy of /bin/sleep";
#else
    QTemporaryDir pack;
    ASSERT_TRUE(pack.isValid());
    const QString executable = pack.filePath(QStringLiteral("UP52407301.exe"));
    const QString script = pack.filePath(QStringLiteral("destroy.bat"));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), executable));
    ASSERT_TRUE(QFile::setPermissions(executable, QFile::permissions(executable) | QFileDevice::ExeOwner));

    // The running pack.
    QProcess running;
    running.start(executable, {QStringLiteral("1.5")});
    ASSERT_TRUE(running.waitForStarted(5000));

    FakeSettingsStore settings;
    platform::NativeFileSystem files;
    NativeProcessesWithoutEnd processes;
    FakeClock clock;
    CountingEventPump events;
    FakeDialogs dialogs;
    const platform::Services services{
        settings, files, processes, clock, events, dialogs, QDir::toNativeSeparators(pack.path())};
    auto action = std::make_shared<TestAction>();
    QPointer<frmOptionPanel> form = modUpdatlet::Main(services, action);
    auto* view = qobject_cast<utlUpdatorView*>(form->getUserControl());
    ASSERT_NE(view, nullptr);

    QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("btnOk")), Qt::LeftButton);
    EXPECT_EQ(processes.selfRemovals, 1);
    EXPECT_EQ(processes.endCalls, 1);

    ASSERT_TRUE(running.waitForFinished(10000));
    EXPECT_TRUE(goneWithin({executable, script}, 5000))
        << "left: " << QFileInfo::exists(executable) << " " << QFileInfo::exists(script);

    delete form.data();
#endif
}

} // namespace
} // namespace korvane::test
