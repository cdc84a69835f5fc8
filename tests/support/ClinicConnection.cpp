// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ClinicConnection.h"

#include "platform/database/Connection.h"

namespace korvane::test {

ClinicConnection::ClinicConnection(const QString& path)
    : db(ClinicDatabase::create(path)), connection(std::make_shared<platform::Connection>())
{
    connection->setConnectionString(db.jetConnectionText());
    connection->Open();
}

} // namespace korvane::test
