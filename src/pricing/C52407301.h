// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DatabaseConnections.h"
#include "DrugPricePreview.h"
#include "KeptDrugTable.h"
#include "PriceList.h"
#include "PriceListSurvey.h"
#include "RefusedValue.h"
#include "SkippedValue.h"
#include "actions/ActionerMembers.h"
#include "actions/IAction.h"
#include "actions/IUnattendedAction.h"
#include "platform/Services.h"

#include <QDate>
#include <QString>
#include <QStringView>
#include <array>
#include <future>
#include <memory>
#include <optional>
#include <vector>

namespace korvane {
namespace platform {
class Recordset;
class TextLines;
class Connection;
}
class CDrugAdvInfoHome;
class DrugPriceLine;

// The monthly drug-price update: reads the NHI price list "\all.puf" shipped beside the pack
// and replaces the clinic's drug master table tblDrugs with it, in one transaction, so the
// table is never left half-written. The price list is deleted only once the new table is
// committed. A damaged list (see PriceListSurvey) is refused before the database is written,
// and one that would leave fewer than half of the drugs tblDrugs holds now is applied only when
// the user says so (or the caller allows it beforehand). A value the table refuses is named at
// the end, never dropped in silence; such a run keeps the list and the pack for another try.
// Before it commits, the run keeps the table as it was beside its record (KeptDrugTable), so
// that CDrugPriceUndoActioner can take it back; a run that cannot keep it commits nothing.
class C52407301 : public IAction, public ActionerMembers, public IUnattendedAction
{
public:
    explicit C52407301(const platform::Services& services);
    static const StepList& steps();

    bool IsSingleAction() const { return ivIsSingleAction; }
    void setIsSingleAction(bool vData) { ivIsSingleAction = vData; }

    Outcome action(IUpdatorView& p_form) override;
    QVariant getDescription() override;
    QVariant getMesageString(qint16 index) const { return renderSteps(index); }
    // The pack executable, which removes itself after a run that is done.
    QString getAppName() override;

    // The progress text while the price list is read, for line count n.
    static QString progressMessage(qint64 n);

    // Whether a list with fewer than half of the drugs tblDrugs holds now may be applied without
    // asking (an unattended run told so beforehand).
    void setAllowShrink(bool vData) override { ivAllowShrink = vData; }
    bool asksBeforeShrinking() const override { return true; }
    IUnattendedAction* unattended() override { return this; }
    // The clinic database's file once a run or a preview has looked for it; empty for a server.
    QString clinicDatabasePath() const { return ivConnections.clinicDatabaseFile(); }
    // After a committed run: the drugs tblDrugs now holds; -1 otherwise.
    qint64 drugCount() const { return ivDrugCount; }
    // The values of the last run that tblDrugs refused, in the order of the list.
    const std::vector<RefusedValue>& refusedValues() const { return ivRefused; }
    // The drugs before and after, the changes (kept beside the log as CSV) and the refused values.
    void recordRun(RunDetails& p_details) const override;

    // What a run would change, read from the price list and tblDrugs without writing anything
    // and without removing the list. A list the update would refuse, and a database it could
    // not use, throw platform::Error with the update's own reasons.
    DrugPricePreview preview(IUpdatorView* p_progress = nullptr);
    ActionPreview previewChanges(IUpdatorView* p_progress = nullptr) override;
    QStringList sourceFiles() const override;
    QString doneText() const override;
    QStringList refusedTexts() const override;
    QString cancelledText() const override;

private:
    std::shared_ptr<platform::Connection> getDrugProfileConnection() { return ivConnections.getDrugProfileConnection(); }
    // Opened as mode says: exclusively for a run that writes, shared and read-only for a preview.
    std::shared_ptr<platform::Connection> getClinicConnection(int mode) { return ivConnections.getClinicConnection(mode); }
    // Adds the row of one drug line (index from 0); false when the line is no drug record or its
    // code was refused. Refused values are kept for the end of the run.
    bool addDrugRecord(qsizetype index, const DrugPriceLine& fields, platform::Recordset& recordset);
    // Gives the new row of recordset the line's values; each value the table refuses is added to
    // refused, each that does not convert to unconverted. False when the code itself was
    // refused: such a row must not be stored.
    bool assignColumns(qsizetype index, const DrugPriceLine& fields, platform::Recordset& recordset,
                       std::vector<RefusedValue>& refused, std::vector<SkippedValue>& unconverted);
    void findColumns(const platform::Recordset& recordset);
    // What a committed run changed against tblDrugs as it was: the counts, and drug by drug as
    // CSV. Only these are kept of the comparison.
    struct CommittedChanges
    {
        qsizetype added = 0, removed = 0, repriced = 0, unchanged = 0, before = 0;
        QByteArray csv;
        std::vector<SkippedValue> skipped;
        std::optional<QDate> earliest, latest;

        static CommittedChanges of(DrugPricePreview& changes);
    };
    // The table as it was (in changes already) against the lines whose rows it took.
    CommittedChanges committedChanges(DrugPricePreview& changes, const PriceList& list) const;
    // Stores the drug-bag row of the line's code family under the line's code, so that the label
    // follows a code whose last two characters changed. Lines that are no priced drug record
    // are passed over. Not part of a run; failures throw.
    void syncDrugBagCode(QStringView line, CDrugAdvInfoHome& home);
    void writeUpdateKey();
    QString priceListPath() const;
    // What is refused before the list is read, in the order a run meets it, and the same for a
    // preview: no installation (or one the pack runs from, or may not write), no price list, a
    // database another program holds, a database without tblDrugs. Returns the clinic
    // connection, opened as mode says (a preview asks first whether a run could open it so).
    std::shared_ptr<platform::Connection> openForRun(int mode);
    // Reads the list, decoding and splitting every line once, and looks it over (with the
    // progress text when there is a view); a list that must not be applied throws RunRefused.
    PriceList readPriceList(IUpdatorView* p_form);
    // The drugs tblDrugs holds now; a database without the table is refused, saying so.
    qint64 currentDrugCount(const std::shared_ptr<platform::Connection>& connection);
    Outcome replaceDrugs(const QString& path);
    // Asks whether a table of drugs, fewer than half of the current ones, may replace it (the
    // list's drugs, or the rows the table took of them: stored); false, said so, when not.
    bool confirmShrink(qsizetype drugs, qint64 current, bool stored);
    // Throws, failing the run before anything is committed, when the table refused the values of
    // more than 1 % of the list's drug lines and more than a few of them.
    void requireFewRefusals(qsizetype drugRecords) const;
    // Everything after the commit: the list removed, the last message. Nothing of it can fail
    // the run.
    Outcome finishCommitted(const QString& path, platform::Connection& connection);
    // The lines skipped and the values left unset, the first few, for the last message.
    QString skippedReport() const;
    // Tells the user which values were refused, with notes; the run keeps the list and the pack.
    void reportRefused(const QString& notes);
    void say(const QString& text);

    platform::Services ivServices;
    DatabaseConnections ivConnections;
    // Where each drug column sits in the insert cursor of the current run, found once rather
    // than by name on every row; -1 for a column the table lacks.
    std::array<int, 14> ivColumnIndexes{};
    bool ivIsSingleAction = false;
    bool ivAllowShrink = false;
    qint64 ivDrugCount = -1;
    qint64 ivDrugsBefore = -1;
    std::optional<CommittedChanges> ivChanges;
    // The table as it was before the run, once kept beside the record.
    std::unique_ptr<KeptDrugTable> ivKept;
    std::vector<RefusedValue> ivRefused;
    std::vector<SkippedValue> ivUnconverted;
    // What failed after the commit, for the last message and the record; empty when nothing did.
    QString ivAfterCommit;
    // The list the run read: its path, size and SHA-256 (worked out beside the run), and its drug
    // lines once looked over.
    struct ListFile
    {
        QString path;
        qint64 size = -1;
        std::shared_future<QString> sha256;
    };
    ListFile ivList;
    qsizetype ivListDrugLines = -1;

    // The tests' way to the private operations; no part of the program uses it.
    friend class C52407301TestAccess;
};

} // namespace korvane
