// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "platform/Error.h"

#include <QString>

namespace korvane {
namespace platform {
class Dialogs;
}

// How a run ended. Every road of every action returns one on purpose; the front ends decide from
// it alone what they say, whether the pack removes itself and their exit status.
enum class Outcome {
    Done,      // everything the run set out to do is done
    ItemsLeft, // done, but something is left: files that stay in the pack, values refused
    Refused,   // nothing was changed; the message said what to mend
    Failed,    // an error; nothing was changed, or what was changed has been put back
    Cancelled, // a question was answered no, or the wizard closed before it ran
};

// For whoever starts a pack or updatlet: 0 done; 1 refused, failed or items left; 3 cancelled.
int exitStatus(Outcome outcome);
// The outcome in a few words, for summaries.
QString outcomeText(Outcome outcome);

// Thrown inside a run that refuses before it has changed anything; the description says what to
// mend. The action that catches it ends the run as Refused.
class RunRefused : public platform::Error
{
public:
    explicit RunRefused(const QString& description) : Error(description, Kind::General) {}
};

// Runs what comes before a run changes anything (opening its databases, beginning its
// transaction): a database that another program holds is then a refusal (RunRefused, with the
// database layer's words), for nothing has been changed and the user can mend it.
template <typename Work> decltype(auto) beforeAnyChange(Work&& work)
{
    try {
        return work();
    } catch (const platform::Error& error) {
        if (error.kind() == platform::Error::Kind::DatabaseLocked)
            throw RunRefused(error.description());
        throw;
    }
}

// Tell the user in a critical message box, titled "更新失敗", why the run was refused (Refused)
// or failed (Failed).
Outcome reportRefusal(platform::Dialogs& dialogs, const QString& text);
Outcome reportFailure(platform::Dialogs& dialogs, const QString& text);

} // namespace korvane
