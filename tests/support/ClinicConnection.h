// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ClinicDatabase.h"

#include <memory>

namespace korvane::platform {
class Connection;
}

namespace korvane::test {

// A clinic database made afresh at a path, with a connection of the code under test open on it
// as the actions get theirs.
struct ClinicConnection
{
    explicit ClinicConnection(const QString& path);

    ClinicDatabase db;
    std::shared_ptr<platform::Connection> connection;
};

} // namespace korvane::test
