// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Installation.h"

#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"

namespace korvane {

QString installationFolder(const platform::SettingsStore& settings)
{
    return settings.read(QStringLiteral("Korvane"), QStringLiteral("Options"),
                         QStringLiteral("KorvaneStartupPath"));
}

void reportNoInstallation(platform::Dialogs& dialogs)
{
    dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("更新失敗"),
                       QStringLiteral("找不到 Korvane 的安裝位置：設定中沒有 Korvane 的安裝資料夾"
                                      "（Korvane 設定的 Options 區段，KorvaneStartupPath）。\r\n"
                                      "本次更新沒有執行，電腦中的檔案都沒有變更。"));
}

} // namespace korvane
