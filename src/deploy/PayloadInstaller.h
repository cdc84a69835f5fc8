// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "platform/Services.h"

#include <QString>
#include <QStringList>

namespace korvane {

// What the deployment actions say when the files they replace are still in use.
inline const QString UpdateFailedTitle = QStringLiteral("更新失敗");
inline const QString CloseRunningSoftwareText =
    QStringLiteral("在進行更新程式前，請關閉目前正在執行的申報軟體。");

// A file shipped in the pack folder and where it goes, both relative to their folder.
struct PayloadFile
{
    QString shipped;
    QString target;
};

// Installs the files shipped in the pack folder, one by one. A shipped file whose copy failed is
// never thrown away: it stays in the pack folder and is remembered, so that one message at the
// end names everything that was not installed and the pack can be run again for it.
class PayloadInstaller
{
public:
    explicit PayloadInstaller(const platform::Services& services) : ivServices(services) {}

    // Copies the shipped file onto target, overwriting it. False, with the cause remembered,
    // when the copy failed.
    bool install(const QString& shipped, const QString& target);
    // Removes a shipped file that has done its work; a failure is skipped.
    void removeShipped(const QString& shipped);

    bool allInstalled() const { return ivNotInstalled.isEmpty(); }
    // One critical message listing every file that was not installed; none when all were.
    void reportNotInstalled() const;

private:
    platform::Services ivServices;
    QStringList ivNotInstalled;
};

// A command line that starts exactly this program, wherever it lies (blanks included), with
// the given arguments.
QString commandLine(const QString& program, const QString& arguments = {});

} // namespace korvane
