// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Installation.h"

#include "Outcome.h"
#include "platform/Paths.h"
#include "platform/TechnicalNote.h"
#include "platform/database/OleDbConnectionText.h"

namespace korvane {

namespace {

const QString kApplication = QStringLiteral("Korvane");
const QString kSection = QStringLiteral("Options");
const QString kKey = QStringLiteral("KorvaneStartupPath");

const QString kClinicPassword = QStringLiteral("Pk@Dolmira51840297");
const QString kDrugProfilePassword = QStringLiteral("Pk@rhTB40518");

// Values from the settings and "\\Korvane.config" (a path may hold ";", an address a quote) are
// quoted where they would otherwise end their setting; ordinary values go as they always have.
QString setting(const QString& value)
{
    return platform::OleDbConnectionText::quoted(value);
}

const QString kNothingChanged = QStringLiteral("本次更新沒有執行，電腦中的檔案與資料都沒有變更。");

QString drugBagText(const QString& password, const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=True;Jet OLEDB:Database Password=") +
           password + QStringLiteral(";Data Source=") + setting(path);
}

QString priceText(const QString& password, const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password='") + password +
           QStringLiteral("';Data Source=") + setting(path) + u';';
}

} // namespace

Installation::Installation(const platform::Services& services)
    : ivServices(services), ivFolder(services.settings.read(kApplication, kSection, kKey))
{
}

QString Installation::path(const QString& relative) const
{
    return platform::joinPath(ivFolder, relative);
}

bool Installation::isSet() const
{
    return !ivFolder.trimmed().isEmpty();
}

bool Installation::exists() const
{
    return isSet() && ivServices.files.folderExists(ivFolder);
}

QString Installation::settingLocation() const
{
    return ivServices.settings.location(kApplication, kSection, kKey);
}

void Installation::requireFolder() const
{
    // Without it every path would start at the root of the drive and name nothing of Korvane's.
    if (!isSet())
        throw RunRefused(QStringLiteral("找不到 Korvane 的安裝資料夾：這台電腦沒有記錄 Korvane 安裝在哪裡。") +
                         kNothingChanged +
                         QStringLiteral("請在已安裝 Korvane 的電腦上，以平常使用 Korvane 的帳號執行本更新程式。") +
                         platform::technicalNote(QStringLiteral("安裝資料夾的設定值沒有設定或是空的；讀取的位置：") +
                                                 settingLocation()));
    // A folder that is gone (a disconnected drive, a moved installation) would otherwise be
    // reported as whichever of its files is looked for first.
    if (!exists())
        throw RunRefused(QStringLiteral("找不到 Korvane 的安裝資料夾：") + ivFolder + QStringLiteral(" 不存在。") +
                         kNothingChanged +
                         QStringLiteral("請確認 Korvane 安裝在這台電腦上、它所在的磁碟或網路磁碟已經連上；"
                                        "Korvane 若已搬到其他資料夾，請資訊人員更正它的安裝位置設定。") +
                         platform::technicalNote(QStringLiteral("安裝資料夾的設定值為「") + ivFolder +
                                                 QStringLiteral("」；讀取的位置：") + settingLocation()));
}

void Installation::require(const QStringList& alsoNotFrom) const
{
    requireFolder();
    QStringList folders{ivFolder};
    for (const QString& relative : alsoNotFrom)
        folders << path(relative);
    for (const QString& folder : folders) {
        if (platform::samePath(ivServices.packFolder, folder))
            throw RunRefused(QStringLiteral("本更新程式是從 Korvane 的安裝資料夾裡執行的（") + folder +
                             QStringLiteral("），更新的檔案會複製到自己身上，再被當成暫存檔刪除。") + kNothingChanged +
                             QStringLiteral("請將本更新程式與它附帶的檔案放到其他資料夾（例如桌面）後再執行。"));
    }
    // Under Program Files only an administrator may write.
    if (!ivServices.files.canWriteIn(ivFolder))
        throw RunRefused(QStringLiteral("這個帳號沒有權限寫入 Korvane 的安裝資料夾（") + ivFolder + QStringLiteral("）。") +
                         kNothingChanged + QStringLiteral("請在程式上按右鍵，選擇「以系統管理員身分執行」。"));
}

namespace ConnectionTexts {

QString startup(const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OleDb.4.0;data source=") + setting(path);
}

QString drugBagClinic(const QString& path)
{
    return drugBagText(kClinicPassword, path);
}

QString drugBagProfile(const QString& path)
{
    return drugBagText(kDrugProfilePassword, path);
}

QString priceClinic(const QString& path)
{
    return priceText(kClinicPassword, path);
}

QString priceDrugProfile(const QString& path)
{
    return priceText(kDrugProfilePassword, path);
}

QString server(const QString& clientVersion, const QString& address, const QString& database)
{
    return QStringLiteral("Provider=") + setting(QStringLiteral("SQLNCLI") + clientVersion) +
           QStringLiteral(";Data Source=") + setting(address) +
           QStringLiteral(";User ID=sa;Password=Pk@62913057;Initial Catalog=") + setting(database);
}

} // namespace ConnectionTexts

} // namespace korvane
