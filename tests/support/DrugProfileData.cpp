// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugProfileData.h"

#include "platform/database/Connection.h"

#include <QBuffer>

namespace korvane::test {

ClinicDatabase generatedDrugProfile(const QString& path, const DrugBagDataGenerator::Sizes& sizes,
                                    const ClinicDatabase* clinic, quint64 seed)
{
    QBuffer profileSql;
    QBuffer clinicSql;
    profileSql.open(QIODevice::WriteOnly);
    clinicSql.open(QIODevice::WriteOnly);
    DrugBagDataGenerator(seed).write(sizes, profileSql, clinic ? &clinicSql : nullptr);
    ClinicDatabase profile = ClinicDatabase::create(path, QStringLiteral("drug-profile-sqlite.sql"));
    profile.runScript(QString::fromUtf8(profileSql.data()));
    if (clinic)
        clinic->runScript(QString::fromUtf8(clinicSql.data()));
    return profile;
}

std::shared_ptr<clsContext> openContext(const ClinicDatabase& db)
{
    auto connection = std::make_shared<platform::Connection>();
    connection->setConnectionString(db.jetConnectionText());
    connection->Open();
    auto context = std::make_shared<clsContext>();
    context->setCinnection(connection);
    return context;
}

DrugProfileStore::DrugProfileStore()
    : db(ClinicDatabase::create(dir.filePath(QStringLiteral("dbDrugProfile.mdb")),
                                QStringLiteral("drug-profile-sqlite.sql")))
{
    home.setContext(openContext(db));
}

} // namespace korvane::test
