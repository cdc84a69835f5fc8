// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "AppliedUpdateKey.h"

#include "platform/Error.h"
#include "platform/database/Connection.h"
#include "platform/database/Recordset.h"

namespace korvane {

void writeAppliedUpdateKey(const std::shared_ptr<platform::Connection>& connection, QString& updateTimeStamp)
{
    if (!connection)
        throw platform::Error(QStringLiteral("物件變數未設定（沒有資料庫連線）。"), platform::Error::Kind::NullObject);
    platform::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM tblTemp WHERE pKey='@'"), connection, platform::Recordset::adOpenDynamic,
            platform::Recordset::adLockOptimistic);
    rs.AddNew();
    rs.setValue(QStringLiteral("pKey"), QStringLiteral("AUTOUPDATE_DRUG_KEY"));
    updateTimeStamp.remove(u'年');
    updateTimeStamp.remove(u'月');
    rs.setValue(QStringLiteral("pValue"), QString(updateTimeStamp + QStringLiteral(".puf")));
    rs.Update();
}

} // namespace korvane
