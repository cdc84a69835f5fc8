// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugProfileData.h"

#include "platform/database/Connection.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>

namespace korvane::test {

ClinicDatabase drugProfile(const QString& path, const DrugBagDataGenerator::Sizes& sizes,
                           const ClinicDatabase* clinic, quint64 seed)
{
    QDir().mkpath(QFileInfo(path).path());
    ClinicDatabase profile = ClinicDatabase::create(path, QStringLiteral("drug-profile-sqlite.sql"));
    QBuffer profileSql;
    QBuffer clinicSql;
    profileSql.open(QIODevice::WriteOnly);
    clinicSql.open(QIODevice::WriteOnly);
    DrugBagDataGenerator(seed).write(sizes, profileSql, clinic ? &clinicSql : nullptr);
    profile.runScript(QString::fromUtf8(profileSql.data()));
    if (clinic)
        clinic->runScript(QString::fromUtf8(clinicSql.data()));
    return profile;
}

void addRows(const ClinicDatabase& db, const QString& table, const QStringList& rows)
{
    for (const QString& row : rows) {
        QVariantList values;
        for (const QString& field : row.split(u'|'))
            values << (field == QStringLiteral("<null>") ? QVariant() : QVariant(field));
        QStringList marks(values.size(), QStringLiteral("?"));
        db.exec(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, marks.join(u',')), values);
    }
}

QStringList rowTexts(const ClinicDatabase& db, const QString& query)
{
    QStringList texts;
    for (const auto& row : db.rows(query)) {
        QStringList fields;
        for (const QVariant& value : row)
            fields << (value.isNull() ? QStringLiteral("<null>") : value.toString());
        texts << fields.join(u'|');
    }
    return texts;
}

DrugProfileStore::DrugProfileStore() : db(drugProfile(dir.filePath(QStringLiteral("dbDrugProfile.mdb"))))
{
    // Opened as the code that opens a database hands a connection to the store.
    auto connection = std::make_shared<platform::Connection>();
    connection->setConnectionString(db.jetConnectionText());
    connection->Open();
    auto context = std::make_shared<clsContext>();
    context->setCinnection(connection);
    home.setContext(context);
}

} // namespace korvane::test
