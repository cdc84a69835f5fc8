// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ContextActioner.h"

#include "AppliedUpdateKey.h"
#include "platform/Error.h"

namespace korvane {

std::shared_ptr<platform::Connection> ContextActioner::getContextConnection() const
{
    if (!ivContext)
        throw platform::Error(QStringLiteral("物件變數未設定（沒有資料庫連線內容）。"), platform::Error::Kind::NullObject);
    return ivContext->getConnection();
}

void ContextActioner::writeUpdateKey()
{
    writeAppliedUpdateKey(getContextConnection(), ivUpdateTimeStamp);
}

} // namespace korvane
