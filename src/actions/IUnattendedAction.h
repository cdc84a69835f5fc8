// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "Outcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace korvane {

class IUpdatorView;

// What an action would change, worked out without changing anything.
struct ActionPreview
{
    QString changes;  // line by line, for a terminal
    QString totals;   // the sums, for a terminal
    QByteArray csv;   // the changes for a spreadsheet, one header row and one row each: UTF-8 with a
                      // byte-order mark, CR LF
    QString caution;  // what the run would ask before applying it; empty when nothing
    QString closing{}; // said last: what the preview left as it was; empty for nothing more to say
    // Done when the lists are filled in. Refused or Failed when the run would stop before it
    // changed anything, Cancelled when a question it asks was answered so: the user has then
    // been told as the run would tell it, and nothing else is filled in.
    Outcome outcome = Outcome::Done;
};

// What the console front end may ask of an action beyond running it; an action offers it
// through IAction::unattended().
class IUnattendedAction
{
public:
    virtual ~IUnattendedAction() = default;

    // What a run would change. The checks a run makes before it changes anything are made, in
    // the run's order and with its words; a run's question is asked as the run asks it. Throws
    // platform::Error when the preview cannot be worked out (the drug-price update also when
    // the run would refuse). A long preview tells p_progress, when given, how far it has come,
    // as a run tells its view.
    virtual ActionPreview previewChanges(IUpdatorView* p_progress = nullptr) = 0;
    // The line a preview begins with: what it is of, and that it changes nothing. Empty for the
    // drug-price update, whose wording the front end keeps.
    virtual QString previewHeading() const { return {}; }
    // The files a run reads or writes, which a report must never be written over.
    virtual QStringList sourceFiles() const = 0;

    // Whether a run asks before a change that would leave fewer than half of the clinic's drugs,
    // which setAllowShrink answers beforehand (an unattended run told so).
    virtual bool asksBeforeShrinking() const { return false; }
    virtual void setAllowShrink(bool) {}
    // After a run: the line that ends a done run (empty for the front end's own), and every
    // value the run could not store.
    virtual QString doneText() const { return {}; }
    virtual QStringList refusedTexts() const { return {}; }
    // After a run cancelled by a question answered no: how to run it unattended saying yes.
    virtual QString cancelledText() const { return {}; }
};

} // namespace korvane
