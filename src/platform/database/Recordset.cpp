// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Recordset.h"

#include "ColumnInfo.h"
#include "Connection.h"
#include "DatabaseDialect.h"
#include "RowStatement.h"
#include "StatementCache.h"
#include "platform/AnsiText.h"
#include "platform/Conversions.h"
#include "platform/Error.h"

#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvane::platform {

namespace {

Error noCurrentRecord()
{
    return Error(QStringLiteral("BOF 或 EOF 為 True，或目前的記錄已被刪除；要求的作業需要一筆目前的記錄。"),
                 Error::Kind::Database);
}

Error notOpen()
{
    return Error(QStringLiteral("資料集已關閉，無法執行此作業。"), Error::Kind::Database);
}

Error typeMismatch(const ColumnInfo& column, const QVariant& value)
{
    return Error(QStringLiteral("資料類型不符：欄位「") + column.name + QStringLiteral("」不能存放「") +
                     visibleControls(value.toString().left(40)) + QStringLiteral("」。"),
                 Error::Kind::Database);
}

// The table whose rows a "SELECT ... FROM table [WHERE ...]" returns; empty when the statement
// reads more than one table or is not of that form.
QString baseTable(const QString& source)
{
    static const QRegularExpression select(
        QStringLiteral("^\\s*SELECT\\s.+?\\sFROM\\s+([^\\s,;()]+)\\s*(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto match = select.match(source);
    if (!match.hasMatch())
        return {};
    static const QRegularExpression joined(QStringLiteral("^(,|.*\\bJOIN\\b)"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    if (joined.match(match.captured(2)).hasMatch())
        return {};
    return match.captured(1);
}

// A statement that counts the rows of a "SELECT ... FROM ..." statement: its own conditions on
// its own table where its list is plain and its rows are the table's (no DISTINCT, TOP, GROUP BY,
// HAVING, UNION, nor an ORDER BY that an aggregate refuses), its rows as a table otherwise.
QString countOf(const QString& select)
{
    static const QRegularExpression plain(
        QStringLiteral("^\\s*SELECT\\s+([^'\"()]+?)\\s(FROM\\s.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression reshaping(QStringLiteral("\\b(DISTINCT|DISTINCTROW|TOP|GROUP|HAVING|UNION|ORDER)\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
    const auto match = plain.match(select);
    if (match.hasMatch() && !reshaping.match(select).hasMatch())
        return QStringLiteral("SELECT COUNT(*) ") + match.captured(2);
    return QStringLiteral("SELECT COUNT(*) FROM (") + select + QStringLiteral(") AS counted");
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a.metaType() == b.metaType() && a == b;
}

qint64 toWholeNumber(double value, const ColumnInfo& column, const QVariant& original)
{
    if (!std::isfinite(value) || std::fabs(value) > 9.2e18)
        throw typeMismatch(column, original);
    return qint64(std::nearbyint(value)); // halves to even, as the platform rounds
}

// The value as a text column holds it: numbers and dates as the platform writes them.
QString textFor(const ColumnInfo& column, const QVariant& value, int type)
{
    QString text;
    if (type == QMetaType::Double || type == QMetaType::Float)
        text = QString::number(value.toDouble(), 'g', 15);
    else if (type == QMetaType::QDateTime)
        text = value.toDateTime().toString(QStringLiteral("yyyy/M/d H:mm:ss"));
    else
        text = value.toString();
    if (!column.fits(text))
        throw Error(QStringLiteral("資料太長：欄位「") + column.name + QStringLiteral("」最多只能存放 ") +
                        QString::number(column.maxLength) +
                        (column.maxLengthInBytes ? QStringLiteral(" 個位元組（中文字每字 2 個位元組）。")
                                                 : QStringLiteral(" 個字元。")),
                    Error::Kind::Database);
    return text;
}

// The value as a number column holds it: text read by the zh-TW conventions, True as -1.
QVariant numberFor(const ColumnInfo& column, const QVariant& value, int type)
{
    double number;
    if (type == QMetaType::QString) {
        const auto parsed = toDouble(value.toString());
        if (!parsed)
            throw typeMismatch(column, value);
        number = *parsed;
    } else if (type == QMetaType::Bool) {
        number = value.toBool() ? -1 : 0;
    } else {
        bool ok = false;
        number = value.toDouble(&ok);
        if (!ok)
            throw typeMismatch(column, value);
    }
    if (!std::isfinite(number))
        throw typeMismatch(column, value);
    if (column.kind == ColumnInfo::Kind::Integer)
        return toWholeNumber(number, column, value);
    return number;
}

QVariant dateTimeFor(const ColumnInfo& column, const QVariant& value, int type)
{
    if (type == QMetaType::QDateTime)
        return value;
    if (type == QMetaType::QDate)
        return QDateTime(value.toDate(), QTime(0, 0));
    if (type == QMetaType::QString) {
        const auto parsed = toDate(value.toString());
        if (parsed)
            return *parsed;
    }
    throw typeMismatch(column, value);
}

// A text is true when it is a number other than 0, or the word True.
bool boolFor(const ColumnInfo& column, const QVariant& value, int type)
{
    if (type != QMetaType::QString)
        return value.toBool();
    const auto parsed = toDouble(value.toString());
    if (parsed)
        return *parsed != 0;
    const QString text = value.toString().trimmed();
    if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    throw typeMismatch(column, value);
}

// The value converted to what the column holds; throws when the column refuses it.
QVariant convertFor(const ColumnInfo& column, const QVariant& value)
{
    if (value.isNull())
        return value;
    const int type = value.metaType().id();
    // What imports hand in most: text for a text column, a number for a number column.
    if (type == QMetaType::QString && column.kind == ColumnInfo::Kind::Text &&
        column.fits(*static_cast<const QString*>(value.constData())))
        return value;
    if (type == QMetaType::Double && column.kind == ColumnInfo::Kind::Double && std::isfinite(value.toDouble()))
        return value;
    switch (column.kind) {
    case ColumnInfo::Kind::Text:
        return textFor(column, value, type);
    case ColumnInfo::Kind::Double:
    case ColumnInfo::Kind::Integer:
        return numberFor(column, value, type);
    case ColumnInfo::Kind::DateTime:
        return dateTimeFor(column, value, type);
    case ColumnInfo::Kind::Bool:
        return boolFor(column, value, type);
    case ColumnInfo::Kind::Binary:
    case ColumnInfo::Kind::Other:
        break;
    }
    return value;
}

} // namespace

bool ColumnInfo::fits(QStringView text) const
{
    if (maxLength < 0 || (!maxLengthInBytes && text.size() <= maxLength))
        return true;
    if (!maxLengthInBytes)
        return false;
    // A character of the code page takes one byte or two: counted only where that decides.
    if (text.size() * 2 <= maxLength)
        return true;
    return encodeAnsi(text).size() <= maxLength;
}

class Recordset::Impl
{
public:
    enum class Edit { None, Adding, Editing };

    std::shared_ptr<Connection> connection;
    QSqlDatabase db;
    const DatabaseDialect* dialect = nullptr;
    QString table;
    bool updatable = false;
    std::shared_ptr<const TableShape> shape = std::make_shared<TableShape>();
    std::vector<std::vector<QVariant>> rows; // a streamed recordset holds only its current row
    std::vector<bool> deleted;
    size_t cursor = 0;
    long added = 0;
    bool hadRows = false;
    bool streamed = false;                // a keyset cursor
    bool streamedRowUnread = false;       // its current row is still only in the statement
    std::unique_ptr<RowStatement> stream; // the rest of its rows, read as it moves
    long counted = 0;                     // its rows, counted when it opened

    Edit edit = Edit::None;
    std::vector<QVariant> pending;
    QByteArray assigned; // one byte a column: 1 when the pending row sets it
    bool onAddedRow = false;
    std::vector<QVariant> addedRow;
    // Once the connection is lost every further row would fail the same way, each after a
    // round trip to the driver: the rest fail at once with the same error.
    std::optional<Error> lostConnection;
    RefusedRowHandler refusedRow; // kept from one Open to the next
    qint64 tag = -1;              // of the new row being edited

    // New rows held back to go to a server together, several in one INSERT: a round trip
    // costs far more than a row. Only with a refused-row handler (a refusal is reported later
    // than its Update) and inside a transaction (the rows go in or none does).
    struct WaitingRow
    {
        qint64 tag;
        QByteArray mask; // the columns it sets, as assigned
        size_t first;    // its first value in waitingValues
    };
    std::vector<WaitingRow> waiting;
    std::vector<QVariant> waitingValues; // of the columns each row sets, row after row
    quint64 waitingTransaction = 0;
    DatabaseDialect::InsertLimits limits; // of the connection

    Impl() = default;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl() { dropWaiting(); }

    void requireOpen() const
    {
        if (!connection)
            throw notOpen();
    }

    void requireUpdatable() const
    {
        requireOpen();
        if (!updatable)
            throw Error(QStringLiteral("此資料集是唯讀的，無法新增、修改或刪除資料。"), Error::Kind::Database);
    }

    bool atEof() const { return edit != Edit::Adding && !onAddedRow && cursor >= rows.size(); }

    const std::vector<QVariant>& currentRow()
    {
        requireOpen();
        if (edit != Edit::None)
            return pending;
        if (onAddedRow)
            return addedRow;
        if (cursor >= rows.size() || deleted[cursor])
            throw noCurrentRecord();
        if (streamedRowUnread) {
            rows[cursor] = readRow(*stream);
            streamedRowUnread = false;
        }
        return rows[cursor];
    }

    // A column of the current row of a scan, read without reading the others.
    std::optional<QVariant> streamedValue(int index) const
    {
        if (!streamedRowUnread || edit != Edit::None || onAddedRow || cursor >= rows.size() ||
            deleted[cursor] || index < 0 || size_t(index) >= shape->columns.size())
            return std::nullopt;
        return dialect->fromStored(stream->value(index), shape->columns[size_t(index)].kind);
    }

    int column(const QString& name) const
    {
        const auto it = shape->exactIndex.constFind(name);
        if (it != shape->exactIndex.constEnd())
            return it.value();
        for (size_t i = 0; i < shape->columns.size(); ++i) {
            if (shape->columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return int(i);
        }
        return -1;
    }

    int requireColumn(const QString& name) const
    {
        requireOpen();
        const int index = column(name);
        if (index < 0)
            throw Error(QStringLiteral("在集合中找不到對應於要求名稱的項目：") + name, Error::Kind::Database);
        return index;
    }

    RowStatement& insertFor(const QByteArray& mask)
    {
        const std::string key(mask.constData(), size_t(mask.size()));
        QString& statement = shape->insertStatements[key];
        if (statement.isEmpty()) {
            QString names, marks;
            for (qsizetype i = 0; i < mask.size(); ++i) {
                if (!mask.at(i))
                    continue;
                if (!names.isEmpty()) {
                    names += u',';
                    marks += u',';
                }
                names += shape->quotedNames[size_t(i)];
                marks += u'?';
            }
            // The desktop database has no way to add a row of defaults alone (no DEFAULT VALUES).
            if (names.isEmpty())
                throw Error(QStringLiteral("新增的資料沒有設定任何欄位的值，不能存入資料表 ") + table + u'。',
                            Error::Kind::Database);
            statement = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + names +
                        QStringLiteral(") VALUES (") + marks + u')';
        }
        // Prepared once per connection: a caller that opens a recordset per row reuses it.
        return connection->statements().rowStatement(statement);
    }

    std::vector<QVariant> readRow(const RowStatement& statement) const
    {
        std::vector<QVariant> row(shape->columns.size());
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = dialect->fromStored(statement.value(int(i)), shape->columns[i].kind);
        return row;
    }

    // The next row of a keyset cursor becomes the current one; none at the end.
    // Columns are read from the statement as they are asked for; the whole row only when it is
    // to be changed, so a scan that needs one column of a wide table reads one.
    void readNextStreamed()
    {
        rows.resize(1);
        deleted.assign(1, false);
        cursor = 0;
        streamedRowUnread = stream && stream->next();
        if (streamedRowUnread)
            return;
        rows.clear();
        deleted.clear();
        stream.reset();
    }

    // "col = ?" conditions that find the current stored row: by its key when the table has one.
    QString rowCondition(const std::vector<QVariant>& row, QVariantList& values)
    {
        QString condition;
        const auto& columns = shape->columns;
        for (size_t i = 0; i < columns.size(); ++i) {
            const bool isKey = shape->keyColumns.contains(columns[i].name, Qt::CaseInsensitive);
            if (!shape->keyColumns.isEmpty() && !isKey)
                continue;
            if (columns[i].kind == ColumnInfo::Kind::Binary)
                continue;
            if (!condition.isEmpty())
                condition += QStringLiteral(" AND ");
            if (row[i].isNull()) {
                condition += shape->quotedNames[i] + QStringLiteral(" IS NULL");
            } else {
                condition += shape->quotedNames[i] + QStringLiteral("=?");
                values << dialect->toStored(row[i], columns[i].kind);
            }
        }
        return condition;
    }

    void saveNewRow()
    {
        // A refused row is dropped, so the next AddNew starts clean rather than retrying it.
        edit = Edit::None;
        if (lostConnection)
            throw *lostConnection;
        if (refusedRow && limits.rows > 1 && connection->InTransaction()) {
            holdBack();
        } else if (!insertOne(tag, assigned, [this](qsizetype column, int) -> const QVariant& {
                       return pending[size_t(column)];
                   })) {
            return;
        }
        // The saved row is the added row now; the previous one's values, text buffers included,
        // serve the next AddNew. Columns the row did not set read as nothing.
        addedRow.swap(pending);
        for (qsizetype i = 0; i < assigned.size(); ++i) {
            if (!assigned.at(i))
                addedRow[size_t(i)] = QVariant();
        }
        onAddedRow = true;
        ++added;
    }

    // Inserts one new row; false when the database refused it and the handler has it.
    // valueOf(column, position) is the value the row sets for the column, the position-th it sets.
    template <typename ValueOf>
    bool insertOne(qint64 rowTag, const QByteArray& mask, ValueOf valueOf)
    {
        RowStatement& insert = insertFor(mask);
        int position = 0;
        for (qsizetype i = 0; i < mask.size(); ++i) {
            if (mask.at(i)) {
                insert.bind(position, valueOf(i, position), shape->columns[size_t(i)].kind);
                ++position;
            }
        }
        try {
            insert.exec();
        } catch (const Error& error) {
            refuse(rowTag, error);
            return false;
        }
        return true;
    }

    // A row the database did not store: to the handler when the database refused that row and
    // can still store others; thrown otherwise.
    void refuse(qint64 rowTag, const Error& error)
    {
        requireRefusal(error);
        refusedRow(rowTag, error);
    }

    // After a statement that stored nothing: returns when the handler is to have its rows, for
    // the database refused them and can still store others; throws otherwise.
    void requireRefusal(const Error& error)
    {
        if (error.kind() == Error::Kind::DatabaseUnreachable)
            lostConnection = error;
        if (!refusedRow)
            throw error;
        if (error.kind() != Error::Kind::DatabaseRefused) {
            // What the driver reports after the transaction has gone may name only a symptom
            // ("internal SAVEPOINT failed"): the end of the transaction is said instead.
            if (error.kind() == Error::Kind::Database && connection->InTransaction())
                dialect->checkTransaction(db);
            throw error;
        }
        requireTransactionGoesOn(error);
    }

    void holdBack()
    {
        const size_t count = size_t(assigned.count(char(1)));
        // A statement takes as many rows as fit; a row that would not goes into the next.
        if (!waiting.empty() &&
            (waiting.size() >= size_t(limits.rows) || waitingValues.size() + count > size_t(limits.values) ||
             waitingTransaction != connection->transactionNumber()))
            sendWaiting();
        if (waiting.empty())
            waitingTransaction = connection->transactionNumber();
        waiting.push_back({tag, assigned, waitingValues.size()});
        for (qsizetype i = 0; i < assigned.size(); ++i) {
            if (assigned.at(i))
                waitingValues.push_back(pending[size_t(i)]);
        }
        connection->countRowsWaiting(1);
        // Full when another row like this one would not fit: sent now, not at the next row.
        if (waiting.size() >= size_t(limits.rows) || waitingValues.size() + count > size_t(limits.values))
            sendWaiting();
    }

    void dropWaiting()
    {
        if (!waiting.empty())
            connection->countRowsWaiting(-qint64(waiting.size()));
        waiting.clear();
        waitingValues.clear();
    }

    void sendWaiting()
    {
        if (waiting.empty())
            return;
        // Sent at most once, whatever happens.
        struct Drop
        {
            Impl& d;
            ~Drop() { d.dropWaiting(); }
        } drop{*this};
        if (!connection->InTransaction() || waitingTransaction != connection->transactionNumber())
            throw Error(QStringLiteral("新增的資料所屬的交易已經結束，這些資料都沒有寫入。"), Error::Kind::Database);
        if (lostConnection)
            throw *lostConnection;
        if (waiting.size() > 1) {
            try {
                if (insertWaitingTogether())
                    return;
            } catch (const Error& error) {
                requireRefusal(error);
            }
        }
        // One row a statement, so that exactly the rows the database refuses are reported. The
        // statement that failed took nothing with it: a server fails a statement alone, and the
        // stand-in's driver rolls a failed statement back to a savepoint of its own by default.
        for (const WaitingRow& row : waiting) {
            if (!insertOne(row.tag, row.mask, [this, &row](qsizetype, int position) -> const QVariant& {
                    return waitingValues[row.first + size_t(position)];
                }))
                --added;
        }
    }

    // The waiting rows in one INSERT; false when they cannot go together (none sets a column).
    bool insertWaitingTogether()
    {
        // The columns any row sets; a row that leaves one of them unset gives it its default.
        QByteArray columns(qsizetype(shape->columns.size()), 0);
        bool alike = true;
        for (const WaitingRow& row : waiting) {
            alike = alike && row.mask == waiting.front().mask;
            for (qsizetype i = 0; i < columns.size(); ++i)
                columns[i] = char(columns.at(i) | row.mask.at(i));
        }
        QString names;
        for (qsizetype i = 0; i < columns.size(); ++i) {
            if (columns.at(i))
                names += (names.isEmpty() ? QString() : QStringLiteral(",")) + shape->quotedNames[size_t(i)];
        }
        if (names.isEmpty())
            return false;
        QString statement = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + names +
                            QStringLiteral(") VALUES ");
        statement.reserve(statement.size() + qsizetype(waiting.size()) * (columns.count(char(1)) * 8 + 3));
        for (size_t r = 0; r < waiting.size(); ++r) {
            statement += r == 0 ? QStringLiteral("(") : QStringLiteral(",(");
            bool first = true;
            for (qsizetype i = 0; i < columns.size(); ++i) {
                if (!columns.at(i))
                    continue;
                if (!first)
                    statement += u',';
                first = false;
                statement += waiting[r].mask.at(i) ? QStringLiteral("?") : QStringLiteral("DEFAULT");
            }
            statement += u')';
        }
        // Rows alike make the same statement batch after batch: prepared once. Others are
        // prepared for this batch alone, so as not to crowd out the connection's statements.
        std::unique_ptr<RowStatement> once;
        RowStatement* insert = nullptr;
        if (alike) {
            insert = &connection->statements().batchInsert(statement);
        } else {
            once = dialect->batchInsert(db, statement);
            insert = once.get();
        }
        int position = 0;
        for (const WaitingRow& row : waiting) {
            size_t value = row.first;
            for (qsizetype i = 0; i < row.mask.size(); ++i) {
                if (row.mask.at(i))
                    insert->bind(position++, waitingValues[value++], shape->columns[size_t(i)].kind);
            }
        }
        insert->exec();
        return true;
    }

    // After the database refused a row: throws when it has ended the transaction with it, as
    // a server may, for then nothing more can be stored.
    void requireTransactionGoesOn(const Error& refusal) const
    {
        if (connection->InTransaction() && connection->transactionEnded())
            throw DatabaseDialect::transactionEndedError(refusal.description());
    }

    void saveChangedRow()
    {
        edit = Edit::None;
        sendWaiting(); // the row changed may be one of them
        std::vector<QVariant>& stored = onAddedRow ? addedRow : rows[cursor];
        QString sets;
        QVariantList values;
        for (qsizetype i = 0; i < assigned.size(); ++i) {
            // A field given the value it holds already is not written again: the row comes out
            // the same, and a key left alone need not be re-indexed.
            if (!assigned.at(i) || sameValue(pending[size_t(i)], stored[size_t(i)]))
                continue;
            if (!sets.isEmpty())
                sets += u',';
            sets += shape->quotedNames[size_t(i)] + QStringLiteral("=?");
            values << dialect->toStored(pending[size_t(i)], shape->columns[size_t(i)].kind);
        }
        if (sets.isEmpty())
            return;
        const QString condition = rowCondition(stored, values);
        connection->Execute(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + sets +
                                QStringLiteral(" WHERE ") + condition,
                            values);
        stored = pending;
    }

    void saveIfEditing()
    {
        if (edit == Edit::Adding)
            saveNewRow();
        else if (edit == Edit::Editing)
            saveChangedRow();
    }
};

Recordset::Recordset() : d(std::make_unique<Impl>()) {}

Recordset::~Recordset() = default;

void Recordset::Open(const QString& source, const std::shared_ptr<Connection>& connection, int cursorType,
                     int lockType, const QVariantList& values)
{
    if (d->connection)
        throw Error(QStringLiteral("資料集已經開啟。"), Error::Kind::Database);
    if (!connection)
        throw Error(QStringLiteral("物件變數未設定（沒有資料庫連線）。"), Error::Kind::NullObject);

    const QString statement = source.trimmed().contains(u' ') ? source : QStringLiteral("SELECT * FROM ") + source;
    QSqlDatabase db = connection->database();
    const DatabaseDialect& dialect = connection->dialect();
    StatementCache& cache = connection->statements();
    auto run = [&](RowStatement& prepared) {
        for (qsizetype i = 0; i < values.size(); ++i)
            prepared.bind(int(i), values.at(i), ColumnInfo::Kind::Other);
        prepared.query();
    };

    auto impl = std::make_unique<Impl>();
    impl->db = db;
    impl->dialect = &dialect;
    std::unique_ptr<RowStatement> once;
    RowStatement* rows = nullptr;
    if (cursorType == adOpenKeyset) {
        // Read as the cursor moves, so that a scan of any length holds one row at a time; the
        // count is the database's count of the same rows.
        impl->streamed = true;
        impl->table = baseTable(statement);
        QString inner = statement.trimmed();
        while (inner.endsWith(u';'))
            inner.chop(1);
        const auto count = dialect.rowStatement(db, countOf(inner));
        run(*count);
        impl->counted = count->next() ? long(count->value(0).toLongLong()) : 0;
        count->finish();
        impl->stream = dialect.rowStatement(db, statement);
        rows = impl->stream.get();
        run(*rows);
        impl->shape = cache.shape(impl->table, rows->record());
    } else if (!values.isEmpty()) {
        // Prepared once per connection: a caller that looks up one row per record of a scan
        // runs the same statement with other values. Other cursors read a snapshot: rows are
        // few where they are read that way.
        StatementCache::Prepared& entry = cache.prepared(statement);
        rows = entry.statement.get();
        run(*rows);
        if (!entry.shape || entry.shape->columns.size() != size_t(rows->columnCount()))
            entry.shape = cache.shape(baseTable(statement), rows->record());
        impl->table = entry.shape->table;
        impl->shape = entry.shape;
    } else {
        impl->table = baseTable(statement);
        once = dialect.rowStatement(db, statement);
        rows = once.get();
        run(*rows);
        impl->shape = cache.shape(impl->table, rows->record());
    }

    impl->updatable = lockType != adLockReadOnly && !impl->table.isEmpty();
    impl->limits = dialect.insertLimits(db);
    impl->connection = connection;
    if (impl->streamed) {
        impl->readNextStreamed();
    } else {
        try {
            while (rows->next())
                impl->rows.push_back(impl->readRow(*rows));
        } catch (const Error&) {
            rows->finish();
            throw;
        }
        impl->deleted.assign(impl->rows.size(), false);
    }
    impl->hadRows = !impl->rows.empty();
    impl->refusedRow = std::move(d->refusedRow);
    d = std::move(impl);
}

void Recordset::Close()
{
    auto closed = std::make_unique<Impl>();
    closed->refusedRow = std::move(d->refusedRow);
    d = std::move(closed);
}

bool Recordset::isOpen() const
{
    return d->connection != nullptr;
}

bool Recordset::Bof() const
{
    d->requireOpen();
    return !d->hadRows && d->edit != Impl::Edit::Adding && !d->onAddedRow;
}

bool Recordset::Eof() const
{
    d->requireOpen();
    return d->atEof();
}

long Recordset::RecordCount() const
{
    d->requireOpen();
    return (d->streamed ? d->counted : long(d->rows.size())) + d->added;
}

void Recordset::MoveNext()
{
    d->requireOpen();
    d->saveIfEditing();
    if (d->onAddedRow) {
        d->onAddedRow = false;
        d->cursor = d->rows.size();
        return;
    }
    if (d->atEof())
        throw noCurrentRecord();
    if (d->stream)
        d->readNextStreamed();
    else
        ++d->cursor;
}

QStringList Recordset::fieldNames() const
{
    QStringList names;
    for (const ColumnInfo& column : d->shape->columns)
        names << column.name;
    return names;
}

int Recordset::fieldIndex(const QString& name) const
{
    return d->column(name);
}

QVariant Recordset::value(const QString& name) const
{
    return value(d->requireColumn(name));
}

QVariant Recordset::value(int index) const
{
    if (auto streamed = d->streamedValue(index))
        return *streamed;
    const auto& row = d->currentRow();
    if (index < 0 || size_t(index) >= row.size())
        throw Error(QStringLiteral("欄位索引超出範圍。"), Error::Kind::OutOfRange);
    // A new row holds values only where they were set; the rest are left from an earlier row.
    if (d->edit == Impl::Edit::Adding && !d->assigned.at(index))
        return QVariant();
    return row[size_t(index)];
}

void Recordset::setValue(const QString& name, const QVariant& value)
{
    setValue(d->requireColumn(name), value);
}

void Recordset::setValue(int index, const QVariant& value)
{
    d->requireUpdatable();
    if (index < 0 || size_t(index) >= d->shape->columns.size())
        throw Error(QStringLiteral("欄位索引超出範圍。"), Error::Kind::OutOfRange);
    if (d->edit == Impl::Edit::None) {
        // Changing a field of the current row starts editing it.
        d->pending = d->currentRow();
        d->assigned.fill(0, qsizetype(d->shape->columns.size()));
        d->edit = Impl::Edit::Editing;
    }
    const ColumnInfo& column = d->shape->columns[size_t(index)];
    d->pending[size_t(index)] = convertFor(column, value);
    d->assigned[index] = 1;
}

void Recordset::setStored(int index, const QVariant& value)
{
    d->requireUpdatable();
    if (index < 0 || size_t(index) >= d->shape->columns.size())
        throw Error(QStringLiteral("欄位索引超出範圍。"), Error::Kind::OutOfRange);
    if (d->edit == Impl::Edit::None) {
        d->pending = d->currentRow();
        d->assigned.fill(0, qsizetype(d->shape->columns.size()));
        d->edit = Impl::Edit::Editing;
    }
    d->pending[size_t(index)] = value;
    d->assigned[index] = 1;
}

void Recordset::setText(int index, QStringView text)
{
    d->requireUpdatable();
    if (d->edit == Impl::Edit::Adding && index >= 0 && size_t(index) < d->shape->columns.size()) {
        const ColumnInfo& column = d->shape->columns[size_t(index)];
        if (column.kind == ColumnInfo::Kind::Text && column.fits(text)) {
            QVariant& slot = d->pending[size_t(index)];
            if (slot.metaType().id() != QMetaType::QString)
                slot = QVariant(QString());
            // data() makes the text the slot's own; resizing it keeps what it already holds.
            auto* stored = static_cast<QString*>(slot.data());
            stored->resize(text.size());
            std::copy(text.begin(), text.end(), stored->data());
            d->assigned[index] = 1;
            return;
        }
    }
    setValue(index, QVariant(text.toString()));
}

void Recordset::AddNew()
{
    AddNew(-1);
}

void Recordset::AddNew(qint64 tag)
{
    d->requireUpdatable();
    d->saveIfEditing();
    // The values stay; only what the new row sets counts (see value() and saveNewRow).
    d->pending.resize(d->shape->columns.size());
    d->assigned.fill(0, qsizetype(d->shape->columns.size()));
    d->edit = Impl::Edit::Adding;
    d->tag = tag;
}

void Recordset::Update()
{
    d->requireUpdatable();
    d->saveIfEditing();
}

void Recordset::setRefusedRowHandler(RefusedRowHandler handler)
{
    d->refusedRow = std::move(handler);
}

void Recordset::Flush()
{
    d->requireOpen();
    d->sendWaiting();
}

void Recordset::CancelUpdate()
{
    d->requireOpen();
    d->edit = Impl::Edit::None;
}

void Recordset::Delete()
{
    d->requireUpdatable();
    if (d->edit == Impl::Edit::Adding) {
        d->edit = Impl::Edit::None;
        return;
    }
    d->edit = Impl::Edit::None;
    d->sendWaiting(); // the row deleted may be one of them
    const std::vector<QVariant>& row = d->currentRow();
    QVariantList values;
    const QString condition = d->rowCondition(row, values);
    d->connection->Execute(QStringLiteral("DELETE FROM ") + d->table + QStringLiteral(" WHERE ") + condition, values);
    if (d->onAddedRow) {
        d->onAddedRow = false;
        d->cursor = d->rows.size();
    } else {
        d->deleted[d->cursor] = true;
    }
}

} // namespace korvane::platform
