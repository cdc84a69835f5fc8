// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Error.h"

#include <QRegularExpression>
#include <new>

namespace korvane::platform {

Error::Error(QString description, Kind kind)
    : m_description(maskPasswords(std::move(description))), m_kind(kind), m_utf8(m_description.toUtf8())
{
}

QString maskPasswords(QString text)
{
    // Cheap for the many errors that name no password at all.
    if (!text.contains(QStringLiteral("pwd"), Qt::CaseInsensitive) &&
        !text.contains(QStringLiteral("password"), Qt::CaseInsensitive))
        return text;
    static const QRegularExpression password(
        QStringLiteral("((?:password|pwd)\\s*=\\s*)"
                       "('(?:[^']|'')*(?:'|$)|\"(?:[^\"]|\"\")*(?:\"|$)|\\{(?:[^}]|\\}\\})*(?:\\}|$)|[^;\\r\\n]*)"),
        QRegularExpression::CaseInsensitiveOption);
    return text.replace(password, QStringLiteral("\\1****"));
}

QString describe(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Error& e) {
        return e.description();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("記憶體不足。");
    } catch (const std::exception& e) {
        // The library's own words, which no clinic can act on alone.
        const QString text = QString::fromUtf8(e.what());
        if (!text.isEmpty())
            return QStringLiteral("程式發生內部錯誤，這個動作沒有完成。請記下這段訊息並告訴資訊人員。（") + maskPasswords(text) + u'）';
    } catch (...) {
    }
    return QStringLiteral("發生無法辨識的錯誤。");
}

} // namespace korvane::platform
