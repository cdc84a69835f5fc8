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
class Installation;
namespace platform {
class Connection;
class Recordset;
class Transaction;
} // namespace platform

// What the two actions that fill tblDrugBag share: their pack, description and step list, the
// checks before a run, the progress they show, and their safety. The table changes in one
// transaction on the drug-profile database, so a failed run leaves it exactly as it was, tells
// the user why, and keeps the pack for another try.
class DrugBagActioner : public ContextActioner
{
public:
    QVariant getDescription() override;
    Outcome action(IUpdatorView& p_form) override;
    QString getAppName() override;
    // The steps both actions show.
    static const StepList& steps();
    // The labels added and rewritten, once committed, and the databases used.
    void recordRun(RunDetails& p_details) const override;

    // The progress bar for count rows processed of total: count × 100 / total, halves to even.
    static qint16 progressValue(qint64 count, qint64 total);
    // "目前處理:" count " / " total "....." percentage "%"; nothing processed yet shows as empty
    // text, and the percentage is rounded half away from zero, empty when it rounds to 0.
    static QString progressText(qint64 count, qint64 total);
    // The text without the blanks (U+0020) around it; other spaces, the ideographic one
    // included, are text.
    static QString trimBlanks(QStringView text);

protected:
    explicit DrugBagActioner(const platform::Services& services);

    // The rows of tblDrugBag brought up to date, for the installation. Failures throw.
    virtual void update(const Installation& installation) = 0;

    // An open connection from a connection text, remembered for the record: the database the
    // run writes is opened for it alone (writing), the one it only reads shared and read-only.
    // A database another program holds throws RunRefused.
    enum class Use { Reading, Writing };
    std::shared_ptr<platform::Connection> open(const QString& connectionText, Use use);
    // Begins the run's one transaction; another program writing the database refuses the run.
    static std::unique_ptr<platform::Transaction> begin(platform::Connection& connection);
    // A label written: a new row of tblDrugBag, or one rewritten.
    void countLabel(bool added) { ++(added ? ivLabelsAdded : ivLabelsChanged); }
    // Runs the work on one drug; a failure names the drug.
    static void forDrug(const QString& code, const std::function<void()>& work);

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
    QStringList ivConnectionTexts;
    qint64 ivLabelsAdded = 0;
    qint64 ivLabelsChanged = 0;
    bool ivCommitted = false;
};

} // namespace korvane
