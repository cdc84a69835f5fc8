// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace korvane::platform {

// The one error type that travels through the system. The description is what the user reads
// in a failure message, so it is written for a clinic, in the user's language where we make it.
// Every error passes through here on its way to a message or the record, a driver's own text
// included: passwords are masked as it is made (see maskPasswords).
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
// of a platform::Error, the text of another standard exception, or a general text; passwords
// masked.
QString describe(std::exception_ptr error);

// The text with the value of every password setting ("Password=", "PWD=", "Jet OLEDB:Database
// Password=", any case) replaced by "****": a value quoted with ' or " (a doubled quote inside),
// braced (a doubled } inside), or running to the next ";" or line end. A quote or brace that is
// never closed hides the rest of the text.
QString maskPasswords(QString text);

} // namespace korvane::platform
