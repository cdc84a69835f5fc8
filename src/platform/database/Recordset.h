// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>
#include <functional>
#include <memory>

namespace korvane::platform {

class Connection;
class Error;

// A set of rows from one statement, in the manner of an ADO Recordset: read rows in order, add
// new rows, change or delete the current one. Rows of "SELECT ... FROM table ..." can be
// changed; the values written are bound, never pasted into a statement.
class Recordset
{
public:
    enum CursorType { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
    enum LockType { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4 };

    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Values are bound to the "?" placeholders of source in order; a statement opened with values
    // stays prepared on the connection for the next values. A keyset cursor reads its rows as it
    // moves rather than all at once, and counts them when it opens.
    void Open(const QString& source, const std::shared_ptr<Connection>& connection,
              int cursorType = adOpenForwardOnly, int lockType = adLockReadOnly,
              const QVariantList& values = {});
    // New rows still waiting to be sent (see Flush) are dropped, never sent.
    void Close();
    bool isOpen() const;

    bool Bof() const;
    bool Eof() const;
    long RecordCount() const;
    void MoveNext();

    QStringList fieldNames() const;
    int fieldIndex(const QString& name) const; // -1 when there is no such column
    QVariant value(const QString& name) const;
    QVariant value(int index) const;

    // Converts to the column's type; a value the column refuses (too long, not a date, not a
    // number) throws and leaves the field as it was.
    void setValue(const QString& name, const QVariant& value);
    void setValue(int index, const QVariant& value);
    // The same for text, which a new row takes without a copy on the way: what an import does
    // for every field of every row.
    void setText(int index, QStringView text);
    // A value as this column stores it (read from it before, see RowReader), given back
    // unconverted: a copy of a table put back holds exactly what it held.
    void setStored(int index, const QVariant& value);

    // A new row; tag names it to the refused-row handler (-1 for AddNew()).
    void AddNew();
    void AddNew(qint64 tag);
    // Stores the new or changed row. Without a refused-row handler, throws for any failure,
    // a row the database refuses included; the row is dropped either way. A new row must set a
    // column: the desktop database cannot add one of defaults alone.
    void Update();
    void CancelUpdate();
    void Delete();

    // What an import does with a row the database refuses, for its values: a constraint, a
    // required value missing, a duplicate key. With a handler set, Update() of a new row does
    // not throw for such a row: the handler gets the row's tag and the database's reason, the
    // row is not stored, and the next rows go on. Where new rows go to a server in batches (a
    // server connection inside a transaction), the row is reported when its batch is sent: at
    // a later Update() or at Flush(). Update() and Flush() still throw when nothing more can be
    // stored: the database ended the transaction, the connection is lost, the disk is full, the
    // database is locked. A value a column refuses (too long, not a date) still throws at once
    // at setValue()/setText(). The handler stays for later Opens; an empty one restores the
    // default: Update() throws.
    using RefusedRowHandler = std::function<void(qint64 tag, const Error& reason)>;
    void setRefusedRowHandler(RefusedRowHandler handler);
    // Sends the new rows still waiting for a batch, reporting the refused ones to the handler;
    // throws as Update() does. Call it before CommitTrans, which refuses to commit while rows
    // wait. Nothing to do where rows are sent as they are updated.
    void Flush();

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

} // namespace korvane::platform
