// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <memory>

namespace korvane {
namespace platform {
class Connection;
}

// Records in tblTemp which update data was applied: key "AUTOUPDATE_DRUG_KEY", value the time
// stamp without "年" and "月", plus ".puf". The stripped stamp is written back to updateTimeStamp.
// Failures propagate.
void writeAppliedUpdateKey(const std::shared_ptr<platform::Connection>& connection, QString& updateTimeStamp);

} // namespace korvane
