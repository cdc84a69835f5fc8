// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "PayloadInstaller.h"

#include "actions/SkipOnFailure.h"
#include "platform/Error.h"

namespace korvane {

bool PayloadInstaller::install(const QString& shipped, const QString& target)
{
    try {
        ivServices.files.copyFile(shipped, target);
        return true;
    } catch (...) {
        ivNotInstalled << platform::describe(std::current_exception());
        return false;
    }
}

void PayloadInstaller::removeShipped(const QString& shipped)
{
    skipOnFailure([&] { ivServices.files.removeFile(shipped); });
}

void PayloadInstaller::reportNotInstalled() const
{
    if (allInstalled())
        return;
    ivServices.dialogs.messageBox(
        platform::MessageIcon::Critical, QStringLiteral("更新未完成"),
        QStringLiteral("下列檔案沒有安裝到電腦中，仍保留在本更新程式的資料夾裡。"
                       "請關閉正在使用這些檔案的程式後，再執行一次本更新程式：\r\n") +
            ivNotInstalled.join(QStringLiteral("\r\n")));
}

QString commandLine(const QString& program, const QString& arguments)
{
    const QString quoted = u'"' + program + u'"';
    return arguments.isEmpty() ? quoted : quoted + u' ' + arguments;
}

} // namespace korvane
