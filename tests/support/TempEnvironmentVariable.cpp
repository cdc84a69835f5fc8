// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "TempEnvironmentVariable.h"

#include <QtGlobal>

namespace korvane::test {

TempEnvironmentVariable::TempEnvironmentVariable(const char* name, const QByteArray& value)
    : m_name(name), m_wasSet(qEnvironmentVariableIsSet(name)), m_previous(qgetenv(name))
{
    qputenv(name, value);
}

TempEnvironmentVariable::~TempEnvironmentVariable()
{
    if (m_wasSet)
        qputenv(m_name, m_previous);
    else
        qunsetenv(m_name);
}

} // namespace korvane::test
