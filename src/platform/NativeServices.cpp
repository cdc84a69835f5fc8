// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeServices.h"

namespace korvane::platform {

Services NativeServices::services(const QString& packFolder)
{
    return Services{m_settings, m_files, m_processes, m_clock, m_events, m_dialogs, packFolder, nullptr};
}

} // namespace korvane::platform
