// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Outcome.h"

#include "platform/Dialogs.h"

namespace korvane {

int exitStatus(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done:
        return 0;
    case Outcome::ItemsLeft:
    case Outcome::Refused:
    case Outcome::Failed:
        return 1;
    case Outcome::Cancelled:
        return 3;
    }
    return 1;
}

QString outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Done:
        return QStringLiteral("完成");
    case Outcome::ItemsLeft:
        return QStringLiteral("完成，但有項目未完成");
    case Outcome::Refused:
        return QStringLiteral("未執行（拒絕）");
    case Outcome::Failed:
        return QStringLiteral("失敗");
    case Outcome::Cancelled:
        return QStringLiteral("已取消");
    }
    return QStringLiteral("失敗");
}

Outcome reportRefusal(platform::Dialogs& dialogs, const QString& text)
{
    dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("更新失敗"), text);
    return Outcome::Refused;
}

Outcome reportFailure(platform::Dialogs& dialogs, const QString& text)
{
    dialogs.messageBox(platform::MessageIcon::Critical, QStringLiteral("更新失敗"), text);
    return Outcome::Failed;
}

} // namespace korvane
