// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>

namespace korvane::test {

// Sets an environment variable for the lifetime of the object and restores it afterwards.
class TempEnvironmentVariable
{
public:
    TempEnvironmentVariable(const char* name, const QByteArray& value);
    ~TempEnvironmentVariable();
    TempEnvironmentVariable(const TempEnvironmentVariable&) = delete;
    TempEnvironmentVariable& operator=(const TempEnvironmentVariable&) = delete;

private:
    const char* m_name;
    bool m_wasSet;
    QByteArray m_previous;
};

} // namespace korvane::test
