// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "OdbcDialect.h"

namespace korvane::platform {

// The desktop database: an Access (Jet 4.0) file of the Jet provider, through the desktop
// driver. Everything this road sends of its own is here: the connection attributes and the
// quoting of names; it sends no statement of its own. The statements of the recordsets and the
// actions must be Jet SQL (JetSql checks them).
//
// A run that writes opens the file exclusively: shared, Jet keeps a lock in the .ldb file for
// every page a transaction changes, and past MaxLocksPerFile (9,500 by default) it fails or
// writes out what it has and goes on, so an update of the whole drug table would no longer be
// all or nothing. Opened exclusively it keeps no such locks; the open fails while another
// program (Korvane, the drug-bag printer) has the file, and the run is refused before anything
// is changed. A preview opens it shared and read-only, beside whoever else has it.
class AccessDialect : public OdbcDialect
{
public:
    AccessDialect(const QString& oleDbText, OpenMode mode);

    // "Provider=Microsoft.Jet.OLEDB.4.0;...;Data Source=file" as the desktop driver's text for
    // a connection opened as mode says.
    static QString connectionText(const QString& oleDbText, OpenMode mode);
    // A name as Jet takes it, in brackets: in double quotes Jet reads a text. Jet names hold no
    // "]", "[", "." or "!".
    static QString bracketed(const QString& name) { return u'[' + name + u']'; }
    // What of the database file at localPath another program holds now: the file and its
    // locking file (.ldb), joined for a message; empty when neither is held.
    static QString heldFiles(const QString& localPath);

    void prepare(QSqlDatabase& db) const override;
    void requireUnheld() const override;
    QString quoteName(const QSqlDatabase& db, const QString& name) const override;
    // Jet does not end a transaction by itself, and a file it can no longer reach fails every
    // statement and the commit with its own error: the servers' probe would tell nothing more.
    void checkTransaction(const QSqlDatabase& db) const override { Q_UNUSED(db); }
    bool transactionEnded(const QSqlDatabase& db) const override;
    Error connectionError(const QSqlDatabase& db) const override;
    // The refusal for an open of the file that failed because another program holds it: Jet says
    // so (or that this user may not open it), or the file is held now; none for other failures.
    std::optional<Error> heldOpenFailure(const QSqlError& error) const;

private:
    QString m_file; // local path
    OpenMode m_mode;
};

} // namespace korvane::platform
