// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace korvane::platform {

// The one error type that travels through the system. The description is what the user reads
// in a failure message, so it is written for a clinic, in the user's language where we make it.
class Error : public std::exception
{
public:
    enum class Kind {
        General,
        FileNotFound,
        PathNotFound,
        AccessDenied,
        OutOfRange,
        NullObject,
        DatabaseLocked,
        DatabaseUnreachable,
        Database,
        // The database refused one row for its values (a constraint, a required value missing,
        // a duplicate key, a value out of its column's range); other rows can still be written.
        DatabaseRefused,
        LinkRefused, // a symbolic link or other redirection where a file was to be written
    };

    explicit Error(QString description, Kind kind = Kind::General);

    const QString& description() const noexcept { return m_description; }
    Kind kind() const noexcept { return m_kind; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    Kind m_kind;
    QByteArray m_utf8;
};

// The best description there is of an error of any type, for the user to read: the description
// of a platform::Error, the text of another standard exception, or a general text.
QString describe(std::exception_ptr error);

} // namespace korvane::platform
