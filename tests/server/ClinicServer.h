// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <gtest/gtest.h>

namespace korvane::test {

// The clinic database on the private server that ctest starts for these tests, as server.env
// describes it. Tests read and seed it through connections of their own, one per call, never
// through the code under test, so a call still works after the server has been restarted.
class ClinicServer
{
public:
    // Reads server.env once and points the ODBC driver manager of this process (and of the
    // processes it starts) at the server's driver registration.
    static const ClinicServer& instance();

    // Why the server is not there; empty when it is.
    const QString& unavailableReason() const { return m_reason; }
    int port() const { return m_port; }

    // "\Korvane.config" in the server form, naming this server's clinic database.
    QByteArray configFile() const;
    // The connection text the clinic's configuration gives for this server, with settings for
    // the stand-in's own driver where a test asks it to behave as the clinic's server can
    // ("Protocol=7.4-1": the whole transaction rolled back on an error; "AB=0x4": varchar
    // described as the code page's VARCHAR, not as NVARCHAR).
    QString connectionText(const QString& driverSettings = {}) const;
    // The ODBC text of the test's own connections (the same driver and login).
    QString odbcText() const;

    void exec(const QString& statement, const QVariantList& values = {}) const;
    QList<QVariantList> rows(const QString& statement) const;
    int count(const QString& table) const;

    // The codes of the rows that resetTables() seeds, in code order.
    static QStringList oldCodes();
    // Empties both tables, removes what a test may have added to tblDrugs and seeds the old
    // drug rows, so every test starts from the same state.
    void resetTables() const;
    // The codes of tblDrugs, in code order.
    QStringList drugCodes() const;

    // Stops the server at once, as a crash would, and starts it again on the same port.
    void halt() const;
    void resume() const;

private:
    ClinicServer();
    void script(const QString& command) const;

    QString m_folder;
    QString m_reason;
    int m_port = 0;
};

// A test of the server road. Without a server it reports itself skipped with the reason, except
// in CI, where a server that could not be started is a failure. Each test starts from the seeded
// tables; a fixture that adds its own set-up calls this first and stops when it skipped or failed.
class ServerTest : public ::testing::Test
{
protected:
    void SetUp() override;
    bool stopped() const { return IsSkipped() || HasFatalFailure(); }

    const ClinicServer& server = ClinicServer::instance();
};

} // namespace korvane::test
