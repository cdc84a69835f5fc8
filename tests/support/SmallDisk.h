// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "MachineAbility.h"

#include <QString>

namespace korvane::test {

// A small file system of its own (tmpfs) mounted on a folder for one test, so that a disk really
// fills up. Mounting needs the superuser: elsewhere it is not mounted and the test says why it
// skips; in CI (CI set), which runs as the superuser, a disk that cannot be mounted fails.
class SmallDisk
{
public:
    SmallDisk(const QString& folder, qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return ivMounted; }
    // Makes the disk read-only, as a CD or a write-protected stick is; false when it cannot.
    bool makeReadOnly();
    // Why it is not mounted; empty when it is.
    const QString& whyNot() const { return ivWhyNot; }

private:
    QString ivFolder;
    bool ivMounted = false;
    QString ivWhyNot;
};

} // namespace korvane::test

// Skips the test, or in CI fails it, when the disk is not mounted.
#define KORVANE_REQUIRE_SMALL_DISK(disk) KORVANE_REQUIRE_ABILITY("a small disk", (disk).whyNot())
