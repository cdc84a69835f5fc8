// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "platform/Services.h"

#include <QString>
#include <QStringList>

namespace korvane {

// Korvane's installation as a run finds it: the one place that reads the installation folder,
// refuses a run that has none or that works from inside it, and builds the connection texts of
// its databases with their credentials.
class Installation
{
public:
    // Reads the installation folder afresh from the settings store.
    explicit Installation(const platform::Services& services);

    // As stored; empty text where it is not set.
    const QString& folder() const { return ivFolder; }
    // The folder followed by a relative name that begins with a backslash ("\\dbKorvane.mdb").
    QString path(const QString& relative) const;

    // Whether the setting names a folder, and whether that folder is there.
    bool isSet() const;
    bool exists() const;
    // Where the setting is read, as IT staff would look for it.
    QString settingLocation() const;

    // Throws RunRefused, naming where it looked, when the folder is not set or is not there.
    void requireFolder() const;
    // Throws RunRefused, before anything is touched, when requireFolder() does, when the pack
    // runs from the installation folder or from one of the folders given relative to it
    // ("\\tools"): copies would go onto themselves and the clean-up would remove installed files;
    // or when this user may not write in the folder (a protected folder, run without elevation).
    void require(const QStringList& alsoNotFrom = {}) const;

    // The clinic database file and the drug-bag printing module's drug-profile database.
    QString clinicDatabasePath() const { return path(QStringLiteral("\\dbKorvane.mdb")); }
    QString drugProfilePath() const { return path(QStringLiteral("\\tools\\dbDrugProfile.mdb")); }

private:
    platform::Services ivServices;
    QString ivFolder;
};

// The connection texts of Korvane's databases, each in the form its update has always sent.
namespace ConnectionTexts {

// The start-up action's: the clinic database file, no password given.
QString startup(const QString& path);
// The drug-bag actions': the clinic database or the drug-profile database, with its password.
QString drugBagClinic(const QString& path);
QString drugBagProfile(const QString& path);
// The drug-price update's: the password quoted and the text closed with ";".
QString priceClinic(const QString& path);
QString priceDrugProfile(const QString& path);
// A clinic database on a server, with the server login.
QString server(const QString& clientVersion, const QString& address, const QString& database);

} // namespace ConnectionTexts

} // namespace korvane
