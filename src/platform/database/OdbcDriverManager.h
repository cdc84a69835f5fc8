// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QtGlobal>
// Windows declares ODBC on its own base types, which must come first: the one place where a
// header of this layer tells the systems apart.
#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

class QLibrary;

namespace korvane::platform {

// The driver manager that Qt's ODBC driver has loaded, for what Qt does not pass on or does
// slowly; its functions are null when it cannot be found. The wide forms, which are never
// macros for something else.
struct OdbcDriverManager
{
    decltype(&SQLGetDiagRecW) getDiagRec = nullptr;
    decltype(&SQLAllocHandle) allocHandle = nullptr;
    decltype(&SQLSetEnvAttr) setEnvAttr = nullptr;
    decltype(&SQLDriversW) drivers = nullptr;
    decltype(&SQLFreeHandle) freeHandle = nullptr;
    decltype(&SQLPrepareW) prepare = nullptr;
    decltype(&SQLBindParameter) bindParameter = nullptr;
    decltype(&SQLExecute) execute = nullptr;
    decltype(&SQLFreeStmt) freeStatement = nullptr;

    static const OdbcDriverManager& instance();

private:
    // Names the system's driver manager to the library.
    static void locate(QLibrary& library);
};

} // namespace korvane::platform
