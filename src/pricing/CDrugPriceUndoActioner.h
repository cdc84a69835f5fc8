// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "DatabaseConnections.h"
#include "DrugPricePreview.h"
#include "DrugTableImage.h"
#include "KeptDrugTable.h"
#include "actions/ActionerMembers.h"
#include "actions/IAction.h"
#include "actions/IUnattendedAction.h"
#include "actions/RunRecord.h"
#include "platform/Services.h"

#include <QString>
#include <memory>
#include <optional>

namespace korvane {

// Takes back the last run that replaced tblDrugs (a drug-price update, or a taking back itself):
// puts the table back exactly as that run kept it before it committed (KeptDrugTable), in one
// transaction and with the update's safety: the database to itself, never an emptied table,
// all or nothing. It keeps the table it replaces in turn, so it can itself be taken back.
// Before anything is changed it compares the table with what that run left: when they differ
// (a drug edited since, another program's change) it asks first, "否" being the default. A kept
// file that is missing, cut short, changed or from another database is refused, nothing changed.
class CDrugPriceUndoActioner : public IAction, public ActionerMembers, public IUnattendedAction
{
public:
    explicit CDrugPriceUndoActioner(const platform::Services& services);
    static const StepList& steps();

    Outcome action(IUpdatorView& p_form) override;
    // Names the run it would take back, when there is one.
    QVariant getDescription() override;
    // Empty: the pack stays, so that what it did can be taken back by running it again.
    QString getAppName() override { return {}; }
    IUnattendedAction* unattended() override { return this; }
    void recordRun(RunDetails& p_details) const override;

    void setAllowShrink(bool) override {}
    ActionPreview previewChanges(IUpdatorView* p_progress = nullptr) override;
    QStringList sourceFiles() const override;
    QString doneText() const override;
    QStringList refusedTexts() const override { return {}; }
    QString cancelledText() const override;

private:
    // The run to take back and what it kept, checked; refusals throw RunRefused.
    struct Target
    {
        KeptRun run;
        QString path;
        DrugTableImage image;
    };
    // What is refused before anything changes, in the order a run meets it, and the same for a
    // preview: no installation (or one the pack runs from, or may not write), a database another
    // program holds, a database without tblDrugs, nothing to take back, a kept file that cannot
    // be used. Returns the clinic connection opened as mode says.
    std::shared_ptr<platform::Connection> openForRun(int mode);
    Target findTarget() const;
    Outcome takeBack();
    // Tells the user why nothing was done, as the run and its preview both tell it.
    Outcome refuse(const RunRefused& refusal);
    // The changes drug by drug: the table now (in changes already) against the kept rows.
    void addKeptRows(DrugPricePreview& changes, const DrugTableImage::Rows& rows) const;
    // Asks whether a table changed since the run may still be put back; false, said so, when not.
    bool confirmDiffering(qsizetype differing);

    platform::Services ivServices;
    DatabaseConnections ivConnections;
    std::optional<Target> ivTarget;
    std::unique_ptr<KeptDrugTable> ivKept;
    qsizetype ivDrugsBefore = -1;
    qsizetype ivDrugCount = -1; // after a committed run
    std::optional<DrugPricePreview> ivChanges;
    QByteArray ivChangesCsv;
};

} // namespace korvane
