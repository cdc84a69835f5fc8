// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeSettingsStore.h"

#include <qt_windows.h>
#include <string>

namespace korvane::platform {

namespace {

QString subKey(const QString& application, const QString& section)
{
    return QStringLiteral("Software\\VB and VBA Program Settings\\") + application + u'\\' + section;
}

} // namespace

// The value is read as the text it is, rather than through QSettings, which takes a text that
// begins with "@" for one of its own encodings ("@@x" reads as "@x", "@Invalid()" as nothing).
QString NativeSettingsStore::read(const QString& application, const QString& section,
                                  const QString& key) const
{
    const std::wstring path = subKey(application, section).toStdWString();
    const std::wstring name = key.toStdWString();
    constexpr DWORD text = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    DWORD bytes = 0;
    LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), text, nullptr, nullptr, &bytes);
    std::wstring value;
    // Another program may lengthen the value between the two calls.
    for (int attempt = 0; attempt < 3 && status == ERROR_SUCCESS; ++attempt) {
        value.resize(bytes / sizeof(wchar_t) + 1);
        bytes = DWORD(value.size() * sizeof(wchar_t));
        status = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), text, nullptr, value.data(), &bytes);
        if (status == ERROR_SUCCESS)
            return QString::fromWCharArray(value.c_str());
        if (status == ERROR_MORE_DATA)
            status = ERROR_SUCCESS;
    }
    return {};
}

QString NativeSettingsStore::location(const QString& application, const QString& section, const QString& key) const
{
    return QStringLiteral("登錄機碼 HKEY_CURRENT_USER\\") + subKey(application, section) + QStringLiteral(" 中的 ") + key;
}

} // namespace korvane::platform
