// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ActionImpl.h"

#include "IUpdatorView.h"
#include "Installation.h"
#include "RunRecord.h"
#include "clsContext.h"
#include "platform/Error.h"
#include "platform/database/Connection.h"

namespace korvane {

ActionImpl::ActionImpl(const platform::Services& services, ActionerFactory createActioner)
    : ivServices(services), ivCreateActioner(std::move(createActioner))
{
}

QString ActionImpl::getAppName()
{
    return {};
}

QVariant ActionImpl::getDescription()
{
    return QStringLiteral("更新程序啟動");
}

Outcome ActionImpl::action(IUpdatorView& p_form)
{
    const Installation installation(ivServices);
    try {
        installation.require();
    } catch (const RunRefused& refusal) {
        return reportRefusal(ivServices.dialogs, refusal.description());
    }

    auto connection = std::make_shared<platform::Connection>();
    ivConnectionText = ConnectionTexts::startup(installation.clinicDatabasePath());
    connection->setConnectionString(ivConnectionText);
    // Opened shared, as its text alone says: the update it starts stops Korvane, which has it open.
    connection->setStatementLog(ivServices.statementLog);
    try {
        connection->Open();
    } catch (...) {
        ivServices.dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("更新失敗"),
                                      QStringLiteral("無法開啟 Korvane 的資料庫，本次更新沒有執行，"
                                                     "電腦中的檔案都沒有變更。可能的原因為：\r\n") +
                                          platform::describe(std::current_exception()));
        return Outcome::Failed;
    }
    auto context = std::make_shared<clsContext>();
    context->setCinnection(connection);

    ivActioner = ivCreateActioner();
    ivActioner->setContext(context);
    const Outcome outcome = ivActioner->action(p_form);
    // Only an update that went through completes; one that left files, or failed, has said so.
    if (outcome == Outcome::Done)
        p_form.fireActionCompleted();
    return outcome;
}

void ActionImpl::recordRun(RunDetails& p_details) const
{
    if (ivActioner)
        ivActioner->recordRun(p_details);
    p_details.setConnection(ivConnectionText);
}

} // namespace korvane
