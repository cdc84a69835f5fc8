// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace korvane {
namespace platform {
class Connection;
class RowReader;
}

// tblDrugs as it was before a run replaced it, kept beside the run's record so that the run can
// be taken back exactly: of every row the 14 columns the update writes (never id, which is the
// database's own), in the order of the rows' ids, each value exactly as stored; the digest of
// those rows; the digest of the table as the run left it, with a hash of each of its rows so
// that a later look can count the rows changed since; the database it was read from and the run
// that kept it. The file checks itself: a file cut short or changed in any byte is refused.
class DrugTableImage
{
public:
    static constexpr qsizetype columnCount = 14;
    using Values = std::array<QVariant, columnCount>;

    // The rows of the table, as read or as kept.
    class Rows
    {
    public:
        // Appends the current row of a reader of readStatement().
        void add(const platform::RowReader& reader);
        // Appends only its hash; scratch holds the row's stored form on the way.
        void addHash(const platform::RowReader& reader, QByteArray& scratch);
        qsizetype count() const { return qsizetype(ivHashes.size()); }
        const QByteArray& encoded() const { return ivEncoded; }
        const std::vector<quint64>& hashes() const { return ivHashes; }
        // SHA-256 (hex) of the count and of each row's hash in order: the same for every read of
        // a table that holds the same values in the same order.
        QString digest() const;
        // Every row's values in order, for putting them back; each is a value as stored.
        void forEach(const std::function<void(const Values&)>& each) const;

        // The rows kept in encoded, which must hold count rows; throws platform::Error when it
        // does not.
        static Rows decode(QByteArray encoded, qsizetype count);

    private:
        QByteArray ivEncoded;
        std::vector<quint64> ivHashes;
    };

    // What the file says of itself.
    struct Header
    {
        QString action;   // the run that kept it
        QString run;      // when that run started
        QString database; // the clinic database it was read from, as a user would find it
        QString undoes;   // for an undo: the file of the run it put back; empty otherwise
        qsizetype rows = 0;
        QString digest;
        qsizetype afterRows = 0;
        QString afterDigest;
    };

    // "SELECT [新], … FROM tblDrugs ORDER BY id" (names quoted as the connection's database
    // quotes them): the columns kept, in the order of the rows' ids, which the databases read
    // without sorting.
    static QString readStatement(const platform::Connection& connection);
    // Every row of tblDrugs; each, when given, hears the reader at every row, for what else is
    // read in the same pass.
    static Rows read(const std::shared_ptr<platform::Connection>& connection,
                     const std::function<void(const platform::RowReader&)>& each = {});
    // The rows' hashes alone (encoded() stays empty): all that the table as a run leaves it needs.
    static Rows readHashes(const std::shared_ptr<platform::Connection>& connection);
    // The same rows read for a look at them alone: each hears the reader at every row, nothing is kept.
    static void scan(const std::shared_ptr<platform::Connection>& connection,
                     const std::function<void(const platform::RowReader&)>& each);
    // Of two tables' rows, how many of the one are not among the other, counted both ways, the
    // larger count: the fewest rows added, removed or changed that tell the two apart.
    static qsizetype differingRows(const std::vector<quint64>& a, const std::vector<quint64>& b);

    // The rows compressed, as the file holds them; made beside the update's own work.
    static QByteArray compress(const Rows& rows);
    // The whole file: the header (its rows and digests from before and after), the rows as
    // compressed, and the hash of every row of after.
    static QByteArray fileBytes(Header header, const QByteArray& compressed, const Rows& before, const Rows& after);

    // A kept file read back. Throws platform::Error, saying which, for a file that is no such
    // file, one cut short, and one whose content does not match its own digests (damaged or
    // changed).
    static DrugTableImage fromFile(const QByteArray& bytes);

    const Header& header() const { return ivHeader; }
    const Rows& rows() const { return ivRows; }
    const std::vector<quint64>& afterHashes() const { return ivAfterHashes; }

private:
    Header ivHeader;
    Rows ivRows;
    std::vector<quint64> ivAfterHashes;
};

} // namespace korvane
