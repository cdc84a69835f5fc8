// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "TestServices.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace korvane::test {

TestMachine::TestMachine()
{
    if (!m_root.isValid() || !QDir(m_root.path()).mkpath(QStringLiteral("pack")) ||
        !QDir(m_root.path()).mkpath(QStringLiteral("korvane")))
        throw std::runtime_error("cannot make the test folders");
    settings.setInstallationFolder(installFolder());
}

platform::Services TestMachine::services()
{
    return services(files);
}

platform::Services TestMachine::services(platform::FileSystem& fileSystem)
{
    return platform::Services{settings, fileSystem, processes, clock, events, dialogs, packFolder(), statementLog};
}

void TestMachine::writeFile(const QString& path, const QByteArray& bytes) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
}

} // namespace korvane::test
