// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "actions/ContextActioner.h"
#include "actions/IUnattendedAction.h"
#include "platform/Services.h"

#include <QString>
#include <QStringView>
#include <QVariant>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace korvane {
class Installation;
namespace platform {
class Connection;
class Recordset;
class Transaction;
} // namespace platform

// What a run writes into one label: a new row of tblDrugBag or the row of its code rewritten,
// with the values it sets, in order. Worked out from what the row holds before anything is
// written, so that a preview lists what the run then writes.
struct LabelWrite
{
    QString code;
    bool added = false;
    std::vector<std::pair<QString, QVariant>> values;

    // The value the row will hold: the one set last, else what it holds now (nothing, when new).
    QVariant value(const QString& column, const platform::Recordset& row) const;
    void set(const QString& column, const QVariant& value);
};

// What the two actions that fill tblDrugBag share: their pack, description and step list, the
// checks before a run, the progress they show, and their safety. The table changes in one
// transaction on the drug-profile database, so a failed run leaves it exactly as it was, tells
// the user why, and keeps the pack for another try. A preview goes the run's road with its
// checks and their words, its databases opened to be read (yet refused where another program
// holds them, as the run would be), and lists each label as the run would write it.
class DrugBagActioner : public ContextActioner, public IUnattendedAction
{
public:
    QVariant getDescription() override;
    Outcome action(IUpdatorView& p_form) override;
    QString getAppName() override;
    IUnattendedAction* unattended() override { return this; }
    ActionPreview previewChanges(IUpdatorView* p_progress = nullptr) override;
    // The drug-profile and clinic databases.
    QStringList sourceFiles() const override;
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
    // Begins the run's one transaction; another program writing the database refuses the run. A
    // preview writes nothing and begins none.
    std::unique_ptr<platform::Transaction> begin(platform::Connection& connection) const;
    static void commit(const std::unique_ptr<platform::Transaction>& transaction);
    // Writes the label into row, the rows of its code: a new row, or the one there rewritten,
    // and counts it. A preview gives row the values (which refuses what the run's would) and
    // keeps what they change instead.
    void write(const LabelWrite& label, platform::Recordset& row);
    // Runs the work on one drug; a failure names the drug.
    static void forDrug(const QString& code, const std::function<void()>& work);

    // Runs each on every row of the statement's rows, read as a keyset cursor: with rows, the
    // step list marked at step 1 first, then for each row the pending events and the progress
    // bar; each shows the progress text where its action shows it.
    void scan(const QString& statement, const std::shared_ptr<platform::Connection>& connection,
              const std::function<void(const platform::Recordset& row, qint64 count, qint64 total)>& each);
    void showProgressText(qint64 count, qint64 total);

private:
    // A label as a preview found it: each column the run writes, what it holds and what it gets.
    struct LabelChange
    {
        QString code;
        bool added = false;
        std::vector<std::pair<QString, std::pair<QVariant, QVariant>>> columns; // only those that change
    };

    // What giving the label to row changes: read before it is given.
    static LabelChange changeOf(const LabelWrite& label, const platform::Recordset& row);
    // The run, or its preview while ivPreview is set.
    Outcome perform();
    void countLabel(bool added) { ++(added ? ivLabelsAdded : ivLabelsChanged); }
    void say(qint16 step);
    ActionPreview previewOf(const std::vector<LabelChange>& labels) const;

    void deleteProfileMetaFile();

    platform::Services ivServices;
    QStringList ivConnectionTexts;
    qint64 ivLabelsAdded = 0;
    qint64 ivLabelsChanged = 0;
    bool ivCommitted = false;
    std::vector<LabelChange>* ivPreview = nullptr;
};

} // namespace korvane
