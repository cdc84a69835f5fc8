// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "Outcome.h"

namespace korvane {
namespace platform {
class Dialogs;
}
class IAction;
class IUpdatorView;
class RunRecorder;

// Runs p_action on p_form for a front end and says how it ended. An action tells its own
// failures; whatever it still throws, of any type, is a failed run too: the user is told in a
// critical message box, with the cause.
Outcome runAction(IAction& p_action, IUpdatorView& p_form, platform::Dialogs& dialogs);
// The same, with the run recorded: the action must have been made with recorder.services().
// warning is set when the record could not be written.
Outcome runRecorded(IAction& p_action, IUpdatorView& p_form, RunRecorder& recorder, QString& warning);

} // namespace korvane
