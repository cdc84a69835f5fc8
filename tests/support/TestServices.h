// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "QtPrinters.h"

#include "Fakes.h"
#include "platform/NativeFileSystem.h"
#include "platform/Services.h"

#include <QString>
#include <QTemporaryDir>

namespace korvane::test {

// A machine for one test: real files in a temporary folder (with a pack folder and an
// installation folder inside it), fakes for everything else.
class TestMachine
{
public:
    TestMachine();

    platform::Services services();
    // Services whose file system is the given one (a wrapper that injects faults, say).
    platform::Services services(platform::FileSystem& files);

    QString packFolder() const { return m_root.filePath(QStringLiteral("pack")); }
    QString installFolder() const { return m_root.filePath(QStringLiteral("korvane")); }
    QString packFile(const QString& name) const { return packFolder() + u'/' + name; }
    QString installFile(const QString& name) const { return installFolder() + u'/' + name; }

    void writeFile(const QString& path, const QByteArray& bytes) const;

    FakeSettingsStore settings;
    platform::NativeFileSystem files;
    FakeProcesses processes;
    FakeClock clock;
    CountingEventPump events;
    FakeDialogs dialogs;
    // Told every statement of the connections the actions open, when set.
    platform::StatementLog* statementLog = nullptr;

private:
    QTemporaryDir m_root;
};

} // namespace korvane::test
