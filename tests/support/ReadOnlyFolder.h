// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "MachineAbility.h"

#include <QFileDevice>
#include <QString>

namespace korvane::test {

// A folder that this process may not write in, for one test, as a protected folder is for a
// user without elevation: as an ordinary user by taking away its write permission, as the
// superuser (whom permissions do not bind) by mounting it over itself read-only. Where neither
// can be done, whyNot says why.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString& folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    const QString& whyNot() const { return ivWhyNot; }

private:
    QString ivFolder;
    bool ivMounted = false;
    QFileDevice::Permissions ivPermissions;
    QString ivWhyNot;
};

} // namespace korvane::test

// Skips the test, or in CI fails it, when the folder could not be made read-only.
#define KORVANE_REQUIRE_READ_ONLY(folder) KORVANE_REQUIRE_ABILITY("a read-only folder", (folder).whyNot())
