// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ActionImpl.h"

#include "IUpdatorView.h"
#include "Installation.h"
#include "clsContext.h"
#include "platform/Error.h"
#include "platform/Paths.h"
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

QString ActionImpl::connectionText(const QString& installationFolder)
{
    return QStringLiteral("Provider=Microsoft.Jet.OleDb.4.0;data source=") +
           platform::joinPath(installationFolder, QStringLiteral("\\dbKorvane.mdb"));
}

void ActionImpl::action(IUpdatorView& p_form)
{
    const QString folder = installationFolder(ivServices.settings);
    if (folder.isEmpty()) {
        reportNoInstallation(ivServices.dialogs);
        return;
    }

    auto connection = std::make_shared<platform::Connection>();
    connection->setConnectionString(connectionText(folder));
    try {
        connection->Open();
    } catch (...) {
        ivServices.dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("更新失敗"),
                                      QStringLiteral("無法開啟 Korvane 的資料庫，本次更新沒有執行，"
                                                     "電腦中的檔案都沒有變更。可能的原因為：\r\n") +
                                          platform::describe(std::current_exception()));
        return;
    }
    auto context = std::make_shared<clsContext>();
    context->setCinnection(connection);

    const std::shared_ptr<ContextActioner> actioner = ivCreateActioner();
    actioner->setContext(context);
    actioner->action(p_form);
    // A run that told the user of its failure has not completed.
    if (!actioner->lastRunFailed())
        p_form.fireActionCompleted();
}

} // namespace korvane
