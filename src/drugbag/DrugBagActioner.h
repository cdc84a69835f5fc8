// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "actions/ContextActioner.h"
#include "platform/Services.h"

#include <QString>
#include <QStringView>
#include <functional>
#include <memory>

namespace korvane {
namespace platform {
class Connection;
class Recordset;
} // namespace platform

// What the two actions that fill tblDrugBag share: their pack, description and step list, the
// checks before a run, the progress they show, and their safety. The table changes in one
// transaction on the drug-profile database, so a failed run leaves it exactly as it was, tells
// the user why, and keeps the pack for another try.
class DrugBagActioner : public ContextActioner
{
public:
    QVariant getDescription() override;
    void action(IUpdatorView& p_form) override;
    // The pack executable; none after a run that failed, so that the pack stays.
    QString getAppName() override;

    // The progress bar for count rows processed of total: count × 100 / total, halves to even.
    static qint16 progressValue(qint64 count, qint64 total);
    // "目前處理:" count " / " total "....." percentage "%"; nothing processed yet shows as empty
    // text, and the percentage is rounded half away from zero, empty when it rounds to 0.
    static QString progressText(qint64 count, qint64 total);

protected:
    DrugBagActioner(const platform::Services& services, QStringView actionerClass);

    // The rows of tblDrugBag brought up to date, for the installation in folder. Failures throw.
    virtual void update(const QString& folder) = 0;

    // An open connection to the drug-profile database of the installation in folder.
    static std::shared_ptr<platform::Connection> openDrugProfile(const QString& folder);
    // An open connection from a desktop-database connection text with the given password.
    static std::shared_ptr<platform::Connection> openDesktopDatabase(const QString& password,
                                                                     const QString& path);

    // Runs each on every row of the statement's rows, read as a keyset cursor: with rows, the
    // step list marked at step 1 first, then for each row the pending events and the progress
    // bar; each shows the progress text where its action shows it.
    void scan(const QString& statement, const std::shared_ptr<platform::Connection>& connection,
              const std::function<void(const platform::Recordset& row, qint64 count, qint64 total)>& each);
    void showProgressText(qint64 count, qint64 total);

private:
    void say(qint16 step);

    void deleteProfileMetaFile();

    platform::Services ivServices;
    bool ivLastRunFailed = false;
};

// Keeps what a run changes in one transaction: committed only when asked, rolled back when the
// run leaves by an error.
class DrugBagTransaction
{
public:
    explicit DrugBagTransaction(std::shared_ptr<platform::Connection> connection);
    ~DrugBagTransaction();
    DrugBagTransaction(const DrugBagTransaction&) = delete;
    DrugBagTransaction& operator=(const DrugBagTransaction&) = delete;

    void commit();

private:
    std::shared_ptr<platform::Connection> ivConnection;
};

} // namespace korvane
