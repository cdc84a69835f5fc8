// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <memory>

namespace korvane {
namespace platform {
class Connection;
}

// Carries one open database connection from the code that opened it to the code that uses it.
// It neither opens, closes nor copies the connection.
class clsContext
{
public:
    std::shared_ptr<platform::Connection> getConnection() const { return ivConnection; }
    void setCinnection(const std::shared_ptr<platform::Connection>& p_conn) { ivConnection = p_conn; }

private:
    std::shared_ptr<platform::Connection> ivConnection;
};

} // namespace korvane
