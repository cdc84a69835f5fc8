// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "OdbcDriverManager.h"

#include <QLibrary>
#include <type_traits>

namespace korvane::platform {

const OdbcDriverManager& OdbcDriverManager::instance()
{
    static const OdbcDriverManager manager = [] {
        QLibrary library;
        locate(library);
        auto resolve = [&library](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
        };
        OdbcDriverManager m;
        resolve(m.getDiagRec, "SQLGetDiagRecW");
        resolve(m.allocHandle, "SQLAllocHandle");
        resolve(m.setEnvAttr, "SQLSetEnvAttr");
        resolve(m.drivers, "SQLDriversW");
        resolve(m.freeHandle, "SQLFreeHandle");
        resolve(m.prepare, "SQLPrepareW");
        resolve(m.bindParameter, "SQLBindParameter");
        resolve(m.execute, "SQLExecute");
        resolve(m.freeStatement, "SQLFreeStmt");
        return m;
    }();
    return manager;
}

} // namespace korvane::platform
