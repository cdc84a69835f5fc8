// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DatabaseConnections.h"

#include "ZanXmlTextReader.h"
#include "actions/Installation.h"
#include "actions/Outcome.h"
#include "platform/AnsiText.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "platform/database/Connection.h"
#include "platform/database/OleDbConnectionText.h"

namespace korvane {

namespace {

// Whether the document holds the element with a start and an end tag; its text may be empty
// (an empty server address means the server on this workstation).
bool hasElement(const QString& document, const QString& tag)
{
    const qsizetype start = document.indexOf(u'<' + tag);
    return start >= 0 && document.indexOf(QStringLiteral("</") + tag + u'>', start) >= 0;
}

} // namespace

DatabaseConnections::DatabaseConnections(const platform::Services& services) : ivServices(services) {}

QString DatabaseConnections::clinicConnectionText() const
{
    const Installation installation(ivServices);
    installation.requireFolder();
    const QString config = installation.path(QStringLiteral("\\Korvane.config"));
    if (!ivServices.files.fileExists(config))
        return ConnectionTexts::priceClinic(installation.clinicDatabasePath());

    const platform::TextLines lines = platform::TextLines::fromAnsiFile(ivServices.files.readFile(config));
    if (lines.isEmpty())
        throw platform::Error(QStringLiteral("資料庫設定檔是空的，無法讀取資料庫設定：") + config,
                              platform::Error::Kind::General);
    const QString firstLine = lines.at(0);
    if (firstLine.contains(QStringLiteral(".mdb")))
        return ConnectionTexts::priceClinic(firstLine);

    ZanXmlTextReader reader(ivServices.files);
    reader.setXmlFilePath(config);
    // Neither form: a damaged or foreign file, which would otherwise end in a misleading
    // complaint about a missing server driver.
    if (!hasElement(reader.XmlString(), QStringLiteral("IP")) &&
        !hasElement(reader.XmlString(), QStringLiteral("DB")))
        throw platform::Error(QStringLiteral("資料庫設定檔的內容無法辨識：第一行不是資料庫檔案（.mdb）的路徑，"
                                             "檔案中也沒有資料庫伺服器的設定（<IP>、<DB>）。檔案可能已損毀，"
                                             "請從 Korvane 重新設定資料庫：") +
                                  config,
                              platform::Error::Kind::General);
    QString document;
    const QString version = reader.getDataString(QStringLiteral("SQLNCLI"), document);
    document.clear();
    const QString address = reader.getDataString(QStringLiteral("IP"), document);
    document.clear();
    const QString database = reader.getDataString(QStringLiteral("DB"), document);
    return ConnectionTexts::server(version, address, database);
}

QString DatabaseConnections::clinicDatabaseName() const
{
    if (!ivClinicConnection)
        return {};
    const platform::OleDbConnectionText text(ivClinicConnection->ConnectionString());
    if (text.contains(QStringLiteral("Initial Catalog")))
        return QStringLiteral("伺服器 ") + text.value(QStringLiteral("Data Source")) + QStringLiteral(" 上的資料庫 ") +
               text.value(QStringLiteral("Initial Catalog"));
    return text.value(QStringLiteral("Data Source"));
}

QString DatabaseConnections::clinicDatabaseFile() const
{
    if (!ivClinicConnection)
        return {};
    const platform::OleDbConnectionText text(ivClinicConnection->ConnectionString());
    return text.contains(QStringLiteral("Initial Catalog")) ? QString() : text.value(QStringLiteral("Data Source"));
}

void DatabaseConnections::open(platform::Connection& connection, int mode) const
{
    if (connection.State() != platform::Connection::adStateClosed && connection.Mode() == mode)
        return;
    connection.Close();
    connection.setMode(mode);
    connection.setStatementLog(ivServices.statementLog);
    beforeAnyChange([&connection] { connection.Open(); });
}

std::shared_ptr<platform::Connection> DatabaseConnections::getClinicConnection(int mode)
{
    // Kept only once its text is known: a failed first request must not leave behind a
    // connection that no later request could open.
    if (!ivClinicConnection) {
        auto connection = std::make_shared<platform::Connection>();
        connection->setConnectionString(clinicConnectionText());
        ivClinicConnection = std::move(connection);
    }
    open(*ivClinicConnection, mode);
    return ivClinicConnection;
}

std::shared_ptr<platform::Connection> DatabaseConnections::getDrugProfileConnection()
{
    // Made only once the file is there, so a missing file answers "none" on every request.
    if (!ivDrugProfileConnection) {
        const QString path = Installation(ivServices).drugProfilePath();
        if (!ivServices.files.fileExists(path))
            return nullptr;
        auto connection = std::make_shared<platform::Connection>();
        connection->setConnectionString(ConnectionTexts::priceDrugProfile(path));
        ivDrugProfileConnection = std::move(connection);
    }
    // Only the drug-bag re-keying writes it, in one transaction of its own.
    open(*ivDrugProfileConnection, platform::Connection::adModeReadWrite | platform::Connection::adModeShareExclusive);
    return ivDrugProfileConnection;
}

} // namespace korvane
