// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DatabaseConnections.h"

#include "ZanXmlTextReader.h"
#include "platform/AnsiText.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/database/Connection.h"

namespace korvane {

namespace {

QString clinicAccessText(const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password='Pk@Dolmira51840297';Data Source=") +
           path + u';';
}

QString sqlServerText(const QString& version, const QString& address, const QString& database)
{
    return QStringLiteral("Provider=SQLNCLI") + version + QStringLiteral(";Data Source=") + address +
           QStringLiteral(";User ID=sa;Password=Pk@62913057;Initial Catalog=") + database;
}

} // namespace

DatabaseConnections::DatabaseConnections(const platform::Services& services) : ivServices(services) {}

QString DatabaseConnections::installationFolder() const
{
    return ivServices.settings.read(QStringLiteral("Korvane"), QStringLiteral("Options"),
                                    QStringLiteral("KorvaneStartupPath"));
}

QString DatabaseConnections::clinicConnectionText() const
{
    const QString folder = installationFolder();
    const QString config = platform::joinPath(folder, QStringLiteral("\\Korvane.config"));
    if (!ivServices.files.fileExists(config))
        return clinicAccessText(platform::joinPath(folder, QStringLiteral("\\dbKorvane.mdb")));

    const platform::TextLines lines = platform::TextLines::fromAnsiFile(ivServices.files.readFile(config));
    if (lines.isEmpty())
        throw platform::Error(QStringLiteral("資料庫設定檔是空的，無法讀取資料庫設定：") + config,
                              platform::Error::Kind::General);
    const QString firstLine = lines.at(0);
    if (firstLine.contains(QStringLiteral(".mdb")))
        return clinicAccessText(firstLine);

    ZanXmlTextReader reader(ivServices.files);
    reader.setXmlFilePath(config);
    QString document;
    const QString version = reader.getDataString(QStringLiteral("SQLNCLI"), document);
    document.clear();
    const QString address = reader.getDataString(QStringLiteral("IP"), document);
    document.clear();
    const QString database = reader.getDataString(QStringLiteral("DB"), document);
    return sqlServerText(version, address, database);
}

void DatabaseConnections::openIfClosed(platform::Connection& connection)
{
    if (connection.State() == platform::Connection::adStateClosed)
        connection.Open();
}

std::shared_ptr<platform::Connection> DatabaseConnections::getClinicConnection()
{
    // Kept only once its text is known: a failed first request must not leave behind a
    // connection that no later request could open.
    if (!ivClinicConnection) {
        auto connection = std::make_shared<platform::Connection>();
        connection->setConnectionString(clinicConnectionText());
        ivClinicConnection = std::move(connection);
    }
    openIfClosed(*ivClinicConnection);
    return ivClinicConnection;
}

std::shared_ptr<platform::Connection> DatabaseConnections::getDrugProfileConnection()
{
    // Made only once the file is there, so a missing file answers "none" on every request.
    if (!ivDrugProfileConnection) {
        const QString path = platform::joinPath(installationFolder(), QStringLiteral("\\tools\\dbDrugProfile.mdb"));
        if (!ivServices.files.fileExists(path))
            return nullptr;
        auto connection = std::make_shared<platform::Connection>();
        connection->setConnectionString(
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password='Pk@rhTB40518';Data Source=") +
            path + u';');
        ivDrugProfileConnection = std::move(connection);
    }
    openIfClosed(*ivDrugProfileConnection);
    return ivDrugProfileConnection;
}

} // namespace korvane
