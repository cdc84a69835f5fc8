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

std::shared_ptr<clsContext> ActionImpl::openContext(int mode, Outcome& notDone)
{
    const Installation installation(ivServices);
    try {
        installation.require();
    } catch (const RunRefused& refusal) {
        notDone = reportRefusal(ivServices.dialogs, refusal.description());
        return nullptr;
    }

    auto connection = std::make_shared<platform::Connection>();
    ivConnectionText = ConnectionTexts::startup(installation.clinicDatabasePath());
    connection->setConnectionString(ivConnectionText);
    connection->setMode(mode);
    connection->setStatementLog(ivServices.statementLog);
    try {
        connection->Open();
    } catch (...) {
        ivServices.dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("更新失敗"),
                                      QStringLiteral("無法開啟 Korvane 的資料庫，本次更新沒有執行，電腦中的檔案都沒有變更。"
                                                     "請確認 Korvane 的資料庫在它的安裝資料夾中而且可以開啟，再執行一次本更新程式。"
                                                     "可能的原因為：\r\n") +
                                          platform::describe(std::current_exception()));
        notDone = Outcome::Failed;
        return nullptr;
    }
    auto context = std::make_shared<clsContext>();
    context->setCinnection(connection);
    return context;
}

Outcome ActionImpl::action(IUpdatorView& p_form)
{
    Outcome notDone = Outcome::Failed;
    // Opened shared, as its text alone says: the update it starts stops Korvane, which has it open.
    const auto context = openContext(platform::Connection::adModeUnknown, notDone);
    if (!context)
        return notDone;
    ivActioner = ivCreateActioner();
    ivActioner->setContext(context);
    const Outcome outcome = ivActioner->action(p_form);
    // Only an update that went through completes; one that left files, or failed, has said so.
    if (outcome == Outcome::Done)
        p_form.fireActionCompleted();
    return outcome;
}

QString ActionImpl::previewHeading() const
{
    return QStringLiteral("Korvane 程式更新預覽（啟動時執行的形式：先開啟 Korvane 的資料庫；只檢查，不會關閉 Korvane，"
                          "也不會安裝、取代或刪除任何檔案）");
}

ActionPreview ActionImpl::previewChanges(IUpdatorView* p_progress)
{
    ActionPreview preview;
    const auto context = openContext(platform::Connection::adModeRead, preview.outcome);
    if (!context)
        return preview;
    ivActioner = ivCreateActioner();
    ivActioner->setContext(context);
    IUnattendedAction* wrapped = ivActioner->unattended();
    if (!wrapped)
        throw platform::Error(QStringLiteral("這項更新沒有預覽。"));
    preview = wrapped->previewChanges(p_progress);
    context->getConnection()->Close();
    if (preview.outcome == Outcome::Done)
        preview.changes = QStringLiteral("會先開啟 Korvane 的資料庫（已確認可以開啟）：") +
                          Installation(ivServices).clinicDatabasePath() +
                          QStringLiteral("\n更新完成後會顯示完成訊息。\n") + preview.changes;
    return preview;
}

QStringList ActionImpl::sourceFiles() const
{
    QStringList files{Installation(ivServices).clinicDatabasePath()};
    if (ivActioner && ivActioner->unattended())
        files << ivActioner->unattended()->sourceFiles();
    return files;
}

void ActionImpl::recordRun(RunDetails& p_details) const
{
    if (ivActioner)
        ivActioner->recordRun(p_details);
    p_details.setConnection(ivConnectionText);
}

} // namespace korvane
