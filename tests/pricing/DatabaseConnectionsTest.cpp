// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ClinicDatabase.h"
#include "TestServices.h"
#include "platform/AnsiText.h"
#include "platform/Error.h"
#include "platform/database/Connection.h"
#include "pricing/DatabaseConnections.h"

#include <QDir>
#include <gtest/gtest.h>

using korvane::DatabaseConnections;
using korvane::platform::Connection;
using korvane::platform::Error;
using korvane::test::ClinicDatabase;
using korvane::test::TestMachine;

namespace {

const QString kAccessPrefix =
    QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password='Pk@Dolmira51840297';Data Source=");

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

class DatabaseConnectionsTest : public ::testing::Test
{
protected:
    void writeConfig(const QString& text)
    {
        machine.writeFile(machine.installFile(QStringLiteral("Korvane.config")),
                          korvane::platform::encodeAnsi(text));
    }
    QString textFor()
    {
        DatabaseConnections connections(machine.services());
        return connections.clinicConnectionText();
    }
    TestMachine machine;
};

TEST_F(DatabaseConnectionsTest, WithoutAConfigurationTheInstalledDatabaseIsUsed)
{
    EXPECT_EQ(textFor(), kAccessPrefix + native(machine.installFolder()) + QDir::separator() +
                             QStringLiteral("dbKorvane.mdb;"));
}

TEST_F(DatabaseConnectionsTest, TheConfigurationNamesTheDatabase)
{
    const struct
    {
        QString config;
        QString expected;
    } cases[] = {
        // The whole first line is the path of the desktop database; the rest is not read.
        {QStringLiteral("D:\\Clinic Data\\dbKorvane.mdb\r\n<SQLNCLI>10</SQLNCLI>\r\n"),
         kAccessPrefix + QStringLiteral("D:\\Clinic Data\\dbKorvane.mdb;")},
        {QStringLiteral("<Korvane><SQLNCLI>10</SQLNCLI><IP>192.168.1.20,1433</IP><DB>clinic</DB></Korvane>"),
         QStringLiteral("Provider=SQLNCLI10;Data Source=192.168.1.20,1433;User ID=sa;Password=Pk@62913057;"
                        "Initial Catalog=clinic")},
        {QStringLiteral("<Korvane>\r\n  <SQLNCLI></SQLNCLI>\r\n  <IP>SERVER\\SQLEXPRESS</IP>\r\n  <DB>k</DB>\r\n</Korvane>\r\n"),
         QStringLiteral("Provider=SQLNCLI;Data Source=SERVER\\SQLEXPRESS;User ID=sa;Password=Pk@62913057;Initial Catalog=k")},
        // An empty address is the server on this workstation.
        {QStringLiteral("<IP></IP><DB>k</DB>"),
         QStringLiteral("Provider=SQLNCLI;Data Source=;User ID=sa;Password=Pk@62913057;Initial Catalog=k")},
    };
    for (const auto& c : cases) {
        writeConfig(c.config);
        EXPECT_EQ(textFor(), c.expected) << qPrintable(c.config);
    }
}

// What the user reads when the settings or "\Korvane.config" lead nowhere: what is wrong, and where.
TEST_F(DatabaseConnectionsTest, AConfigurationOfNeitherFormAndAnUnsetInstallationFolderAreNamed)
{
    auto failure = [this] {
        try {
            textFor();
        } catch (const Error& error) {
            return error.description();
        }
        return QStringLiteral("(no error)");
    };
    // Only ".mdb" in small letters marks the desktop form; the server form needs <IP> or <DB>.
    for (const QString& config : {QStringLiteral("D:\\DATA\\DBKORVANE.MDB\r\n"), QStringLiteral("<Korvane><SQLNCLI>11<IP>x"),
                                  QString::fromLatin1("\x01\x7F\x10PK\x03\x04garbled")}) {
        writeConfig(config);
        const QString description = failure();
        EXPECT_TRUE(description.startsWith(QStringLiteral("資料庫設定檔的內容無法辨識")) &&
                    description.endsWith(machine.installFile(QStringLiteral("Korvane.config"))))
            << qPrintable(description);
    }
    machine.settings.setInstallationFolder(QString());
    // The one refusal every action gives, naming where it looked.
    EXPECT_EQ(failure(), QStringLiteral("找不到 Korvane 的安裝資料夾：這台電腦沒有記錄 Korvane 安裝在哪裡。"
                                        "本次更新沒有執行，電腦中的檔案與資料都沒有變更。"
                                        "請在已安裝 Korvane 的電腦上，以平常使用 Korvane 的帳號執行本更新程式。"
                                        "〔資訊人員參考：安裝資料夾的設定值沒有設定或是空的；"
                                        "讀取的位置：test settings Korvane/Options/KorvaneStartupPath〕"));
}

TEST_F(DatabaseConnectionsTest, AnEmptyConfigurationIsAnError)
{
    writeConfig(QString());
    EXPECT_THROW(textFor(), Error);
}

TEST_F(DatabaseConnectionsTest, OpensOnceAndReopensWithoutReadingTheConfigurationAgain)
{
    ClinicDatabase::create(machine.installFile(QStringLiteral("clinic.mdb")));
    writeConfig(native(machine.installFile(QStringLiteral("clinic.mdb"))) + QStringLiteral("\r\n"));
    DatabaseConnections connections(machine.services());
    const auto first = connections.getClinicConnection(Connection::adModeRead);
    EXPECT_EQ(first->State(), Connection::adStateOpen);
    const int reads = machine.settings.reads;
    first->Close();
    QFile::remove(machine.installFile(QStringLiteral("Korvane.config")));
    const auto second = connections.getClinicConnection(Connection::adModeRead);
    EXPECT_EQ(second, first);
    EXPECT_EQ(second->State(), Connection::adStateOpen);
    EXPECT_EQ(machine.settings.reads, reads);
    EXPECT_TRUE(second->ConnectionString().contains(QStringLiteral("clinic.mdb")));

    // A preview's connection writes nothing; asked for writing, it is opened again so, with the
    // same text.
    EXPECT_THROW(second->Execute(QStringLiteral("DELETE FROM tblTemp")), Error);
    const QString text = second->ConnectionString();
    const int writing = Connection::adModeReadWrite | Connection::adModeShareExclusive;
    EXPECT_EQ(connections.getClinicConnection(writing), first);
    EXPECT_EQ(first->Mode(), writing);
    EXPECT_EQ(first->ConnectionString(), text);
    first->Execute(QStringLiteral("DELETE FROM tblTemp"));
}

TEST_F(DatabaseConnectionsTest, TheDrugProfileDatabaseIsOptional)
{
    DatabaseConnections connections(machine.services());
    EXPECT_EQ(connections.getDrugProfileConnection(), nullptr);
    EXPECT_EQ(connections.getDrugProfileConnection(), nullptr); // asked again: still none, no error

    QDir(machine.installFolder()).mkpath(QStringLiteral("Tools"));
    ClinicDatabase::create(machine.installFile(QStringLiteral("Tools/dbDrugProfile.mdb")));
    const auto profile = connections.getDrugProfileConnection();
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(profile->State(), Connection::adStateOpen);
    EXPECT_TRUE(profile->ConnectionString().contains(QStringLiteral("Pk@rhTB40518")));
}
