// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "StoredValues.h"

#include "platform/Error.h"

#include <QDateTime>
#include <QtEndian>
#include <cstring>

namespace korvane::platform::StoredValues {

namespace {

enum Kind : char { Null = 0, Integer = 1, Double = 2, Text = 3, Bytes = 4, DateTime = 5 };

// A whole table goes through here value by value: each value is one append of its kind, its
// length or word and its bytes, never one append a byte.
void appendKindAndWord(QByteArray& out, Kind kind, quint64 word)
{
    char bytes[9];
    bytes[0] = char(kind);
    qToLittleEndian(word, bytes + 1);
    out.append(bytes, 9);
}

// Lengths in seven bits a byte, low first: most fields of a row take one byte.
void appendRun(QByteArray& out, Kind kind, QByteArrayView bytes)
{
    const qsizetype at = out.size();
    out.resize(at + 11 + bytes.size());
    char* p = out.data() + at;
    *p++ = char(kind);
    auto length = quint64(bytes.size());
    do {
        const char part = char(length & 0x7f);
        length >>= 7;
        *p++ = length ? char(part | 0x80) : part;
    } while (length);
    if (!bytes.isEmpty())
        std::memcpy(p, bytes.data(), size_t(bytes.size()));
    out.truncate(qsizetype(p - out.constData()) + bytes.size());
}

Error damaged()
{
    return Error(QStringLiteral("資料的內容不完整或已損毀。"), Error::Kind::Database);
}

quint64 readWord(QByteArrayView bytes, qsizetype& position)
{
    if (bytes.size() - position < 8)
        throw damaged();
    const quint64 word = qFromLittleEndian<quint64>(bytes.data() + position);
    position += 8;
    return word;
}

qsizetype readLength(QByteArrayView bytes, qsizetype& position)
{
    quint64 length = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (position >= bytes.size())
            throw damaged();
        const auto part = quint8(bytes[position++]);
        length |= quint64(part & 0x7f) << shift;
        if (!(part & 0x80)) {
            if (length > quint64(bytes.size() - position))
                throw damaged();
            return qsizetype(length);
        }
    }
    throw damaged();
}

} // namespace

void appendNull(QByteArray& out)
{
    out.append(char(Null));
}

void appendInteger(QByteArray& out, qint64 value)
{
    appendKindAndWord(out, Integer, quint64(value));
}

void appendDouble(QByteArray& out, double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    appendKindAndWord(out, Double, bits);
}

void appendText(QByteArray& out, QByteArrayView utf8)
{
    appendRun(out, Text, utf8);
}

void appendBytes(QByteArray& out, QByteArrayView bytes)
{
    appendRun(out, Bytes, bytes);
}

void append(QByteArray& out, const QVariant& value)
{
    if (value.isNull()) {
        appendNull(out);
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::QString:
        appendText(out, static_cast<const QString*>(value.constData())->toUtf8());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        appendDouble(out, value.toDouble());
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        appendInteger(out, value.toLongLong());
        return;
    case QMetaType::QByteArray:
        appendBytes(out, *static_cast<const QByteArray*>(value.constData()));
        return;
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        // The date and the time of day as the driver gave them, in no time zone.
        const QDateTime time = value.toDateTime();
        appendKindAndWord(out, DateTime, quint64(time.date().toJulianDay()));
        char word[8];
        qToLittleEndian(quint64(time.time().msecsSinceStartOfDay()), word);
        out.append(word, 8);
        return;
    }
    default:
        appendText(out, value.toString().toUtf8());
        return;
    }
}

QVariant read(QByteArrayView bytes, qsizetype& position)
{
    if (position >= bytes.size())
        throw damaged();
    const char kind = bytes[position++];
    switch (kind) {
    case Null:
        return QVariant();
    case Integer:
        return qint64(readWord(bytes, position));
    case Double: {
        const quint64 bits = readWord(bytes, position);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    case Text:
    case Bytes: {
        const qsizetype length = readLength(bytes, position);
        const QByteArrayView run = bytes.sliced(position, length);
        position += length;
        if (kind == Text)
            return QString::fromUtf8(run);
        return run.toByteArray();
    }
    case DateTime: {
        const auto day = qint64(readWord(bytes, position));
        const auto msecs = qint64(readWord(bytes, position));
        const QDate date = QDate::fromJulianDay(day);
        const QTime time = QTime::fromMSecsSinceStartOfDay(int(msecs));
        if (!date.isValid() || !time.isValid() || msecs < 0 || msecs >= 86'400'000)
            throw damaged();
        return QDateTime(date, time);
    }
    default:
        throw damaged();
    }
}

} // namespace korvane::platform::StoredValues
