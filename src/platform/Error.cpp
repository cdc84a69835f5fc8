// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Error.h"

namespace korvane::platform {

Error::Error(QString description, Kind kind)
    : m_description(std::move(description)), m_kind(kind), m_utf8(m_description.toUtf8())
{
}

} // namespace korvane::platform
