// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "RunAction.h"

#include "IAction.h"
#include "RunRecord.h"
#include "platform/Dialogs.h"
#include "platform/Error.h"

namespace korvane {

Outcome runAction(IAction& p_action, IUpdatorView& p_form, platform::Dialogs& dialogs)
{
    try {
        return p_action.action(p_form);
    } catch (...) {
        dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("錯誤"),
                           QStringLiteral("更新作業失敗，可能的原因為：\r\n") +
                               platform::describe(std::current_exception()));
        return Outcome::Failed;
    }
}

Outcome runRecorded(IAction& p_action, IUpdatorView& p_form, RunRecorder& recorder, QString& warning)
{
    recorder.start();
    const Outcome outcome = runAction(p_action, p_form, recorder);
    warning = recorder.finish(outcome, p_action);
    return outcome;
}

} // namespace korvane
