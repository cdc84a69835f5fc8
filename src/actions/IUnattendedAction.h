// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

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
};

// What the console front end may ask of an action beyond running it; an action offers it
// through IAction::unattended().
class IUnattendedAction
{
public:
    virtual ~IUnattendedAction() = default;

    // A change the wizard would ask about is applied without asking (told so beforehand).
    virtual void setAllowShrink(bool p_value) = 0;
    // What a run would change; throws platform::Error with the run's own reasons when it would
    // refuse or could not read what it needs. A long preview tells p_progress, when given, how
    // far it has come, as a run tells its view.
    virtual ActionPreview previewChanges(IUpdatorView* p_progress = nullptr) = 0;
    // The files a run reads, which a report must never be written over.
    virtual QStringList sourceFiles() const = 0;
    // After a run: the line that ends a done run, and every value the run could not store.
    virtual QString doneText() const = 0;
    virtual QStringList refusedTexts() const = 0;
};

} // namespace korvane
