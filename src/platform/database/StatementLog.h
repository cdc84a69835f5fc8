// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "OpenMode.h"

#include <QString>

namespace korvane::platform {

// Told every statement a connection sends on its callers' behalf, as it is prepared or run: what
// the recordsets, Execute and the actions send, in the form the connection's database gets it.
// The statements a dialect sends for itself (an engine's own settings and probes) are its own
// business and pass by. One log may serve several connections, each given it before it opens.
class StatementLog
{
public:
    virtual ~StatementLog() = default;
    // A connection with this log opens its database: the connection text, and how.
    virtual void opening(const QString& connectionText, OpenMode mode)
    {
        Q_UNUSED(connectionText);
        Q_UNUSED(mode);
    }
    virtual void sent(const QString& statement) = 0;
};

} // namespace korvane::platform
