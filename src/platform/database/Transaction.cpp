// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Transaction.h"

#include "Connection.h"

namespace korvane::platform {

Transaction::Transaction(Connection& connection) : m_connection(connection)
{
    m_connection.BeginTrans();
}

Transaction::~Transaction()
{
    if (!m_connection.InTransaction())
        return;
    try {
        m_connection.RollbackTrans();
    } catch (...) {
        // Closing the connection rolls back what the rollback could not.
        try {
            m_connection.Close();
        } catch (...) {
        }
    }
}

void Transaction::commit()
{
    m_connection.CommitTrans();
}

} // namespace korvane::platform
