// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>
#include <memory>

namespace korvane::platform {

class Connection;

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

    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

} // namespace korvane::platform
