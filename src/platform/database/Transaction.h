// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

namespace korvane::platform {

class Connection;

// Keeps what a run changes in one transaction of the connection: begun when made, committed
// only by commit(), rolled back when it goes uncommitted, as when the run leaves by an error.
// A transaction the database has ended by itself is left as Connection ends it: commit() throws
// the error that says so, and the rollback adds no second error. A rollback that fails closes
// the connection, which gives up the transaction on the database's side.
class Transaction
{
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connection& m_connection;
};

} // namespace korvane::platform
