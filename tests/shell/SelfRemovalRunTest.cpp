// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "RunningProgram.h"
#include "ShellTestSupport.h"
#include "platform/NativeFileSystem.h"
#include "platform/NativeProcesses.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace korvane::test {
namespace {

// The machine's processes, except that the program is not really ended.
class NativeProcessesWithoutEnd : public platform::Processes
{
public:
    bool startDetached(const QString& commandLine, const QString& workingFolder, platform::WindowStyle style,
                       QString* whyNot) override
    {
        return native.startDetached(commandLine, workingFolder, style, whyNot);
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

TEST(SelfRemovalRunTest, PackExecutableAndScriptAreGoneOnlyOnceTheProgramHasEnded)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "runs a copy of /bin/sleep";
#else
    QTemporaryDir pack;
    ASSERT_TRUE(pack.isValid());
    const QString executable = pack.filePath(QStringLiteral("UP52407301.exe"));
    const QString script = pack.filePath(QStringLiteral("destroy.bat"));

    // The running pack.
    RunningProgram running(RunningProgram::Use::RunFrom, executable);

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

    // The script's loop has had many turns before the program ends.
    EXPECT_TRUE(staysTrueFor(1500, [&] { return QFileInfo::exists(executable); }))
        << "deleted while the program ran";
    running.end();
    EXPECT_TRUE(becomesTrueWithin(
        10000, [&] { return !QFileInfo::exists(executable) && !QFileInfo::exists(script); }))
        << "left: " << QFileInfo::exists(executable) << " " << QFileInfo::exists(script);

    delete form.data();
#endif
}

} // namespace
} // namespace korvane::test
