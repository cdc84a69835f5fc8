// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "platform/Services.h"

#include <QString>
#include <memory>

namespace korvane {
namespace platform {
class Connection;
}

// The two databases the drug-price update may open: the clinic database, which
// "\Korvane.config" in the installation folder names (a desktop database file or a server
// database), and the drug-bag printing module's drug-profile database. Each connection is made
// on first request, keeps the connection text it was given then, and is reopened when closed.
class DatabaseConnections
{
public:
    explicit DatabaseConnections(const platform::Services& services);

    // The open clinic connection; the same object on every call, opened as mode says (an ADO
    // connection mode; one open otherwise is closed and opened so). Failures throw; a database
    // another program holds throws RunRefused.
    std::shared_ptr<platform::Connection> getClinicConnection(int mode);
    // The open drug-profile connection, or null when its database file does not exist.
    std::shared_ptr<platform::Connection> getDrugProfileConnection();

    // The connection text "\Korvane.config" names now; failures throw. An installation folder
    // that is not set, and a "\Korvane.config" that is neither a database path nor server
    // settings, are refused with what to do.
    QString clinicConnectionText() const;
    // The clinic database as a user would find it: the file, or the database and its server.
    // Empty until the clinic connection has been made.
    QString clinicDatabaseName() const;
    // The clinic database's file; empty for a database on a server, and until the clinic
    // connection has been made.
    QString clinicDatabaseFile() const;

private:
    void open(platform::Connection& connection, int mode) const;

    platform::Services ivServices;
    std::shared_ptr<platform::Connection> ivClinicConnection;
    std::shared_ptr<platform::Connection> ivDrugProfileConnection;
};

} // namespace korvane
