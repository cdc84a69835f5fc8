// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "DrugTableImage.h"

#include "DrugPriceLine.h"
#include "platform/Error.h"
#include "platform/Sha256.h"
#include "platform/database/Connection.h"
#include "platform/database/DatabaseDialect.h"
#include "platform/database/RowReader.h"
#include "platform/database/StoredValues.h"

#include <QCryptographicHash>
#include <QHash>
#include <QStringList>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace korvane {

namespace {

const QByteArray kMagic = "KORVANE-DRUG-TABLE-IMAGE 1";
const QByteArray kHeaderEnd = "\n\n";
// Fast to make beside the import, and the rows' many repeated names still shrink to a fifth.
constexpr int kCompressionLevel = 1;

// A 64-bit hash of a row's stored form (MurmurHash64A, read in little-endian words so that
// every system gives the same): not to keep anything secret, only to tell rows apart.
quint64 rowHash(const char* data, qsizetype size)
{
    constexpr quint64 m = 0xc6a4a7935bd1e995ULL;
    constexpr int r = 47;
    quint64 h = 0x4b4f5256414e4531ULL ^ (quint64(size) * m);
    const char* p = data;
    qsizetype left = size;
    for (; left >= 8; p += 8, left -= 8) {
        quint64 k = qFromLittleEndian<quint64>(p);
        k *= m;
        k ^= k >> r;
        k *= m;
        h ^= k;
        h *= m;
    }
    if (left > 0) {
        char tail[8] = {};
        std::memcpy(tail, p, size_t(left));
        h ^= qFromLittleEndian<quint64>(tail);
        h *= m;
    }
    h ^= h >> r;
    h *= m;
    h ^= h >> r;
    return h;
}

QString digestOf(const std::vector<quint64>& hashes)
{
    QByteArray bytes(qsizetype(hashes.size() + 1) * 8, Qt::Uninitialized);
    qToLittleEndian(quint64(hashes.size()), bytes.data());
    for (size_t i = 0; i < hashes.size(); ++i)
        qToLittleEndian(hashes[i], bytes.data() + (i + 1) * 8);
    return platform::Sha256::hex(bytes);
}

QString columnList()
{
    QStringList names;
    for (const DrugColumn& column : DrugPriceLine::columns())
        names << column.name;
    return names.join(u',');
}

// A header value on one line.
QByteArray headerValue(const QString& text)
{
    QString value = text;
    value.replace(u'\n', u' ').replace(u'\r', u' ');
    return value.toUtf8();
}

platform::Error notAnImage()
{
    return platform::Error(QStringLiteral("這不是本系統的還原資料檔"));
}

platform::Error cutShort()
{
    return platform::Error(QStringLiteral("還原資料檔不完整（檔案被截斷了）"));
}

platform::Error altered()
{
    return platform::Error(QStringLiteral("還原資料檔的內容與它記錄的摘要不符（檔案已損毀或被修改過）"));
}

} // namespace

void DrugTableImage::Rows::add(const platform::RowReader& reader)
{
    const qsizetype start = ivEncoded.size();
    for (int column = 0; column < columnCount; ++column)
        reader.appendStored(column, ivEncoded);
    ivHashes.push_back(rowHash(ivEncoded.constData() + start, ivEncoded.size() - start));
}

void DrugTableImage::Rows::addHash(const platform::RowReader& reader, QByteArray& scratch)
{
    scratch.resize(0); // keeps its room from row to row
    for (int column = 0; column < columnCount; ++column)
        reader.appendStored(column, scratch);
    ivHashes.push_back(rowHash(scratch.constData(), scratch.size()));
}

QString DrugTableImage::Rows::digest() const
{
    return digestOf(ivHashes);
}

void DrugTableImage::Rows::forEach(const std::function<void(const Values&)>& each) const
{
    Values values;
    qsizetype position = 0;
    for (qsizetype row = 0; row < count(); ++row) {
        for (QVariant& value : values)
            value = platform::StoredValues::read(ivEncoded, position);
        each(values);
    }
}

DrugTableImage::Rows DrugTableImage::Rows::decode(QByteArray encoded, qsizetype count)
{
    Rows rows;
    rows.ivHashes.reserve(size_t(count));
    qsizetype position = 0;
    for (qsizetype row = 0; row < count; ++row) {
        const qsizetype start = position;
        for (int column = 0; column < columnCount; ++column)
            platform::StoredValues::read(encoded, position);
        rows.ivHashes.push_back(rowHash(encoded.constData() + start, position - start));
    }
    if (position != encoded.size())
        throw altered();
    rows.ivEncoded = std::move(encoded);
    return rows;
}

QString DrugTableImage::readStatement(const platform::Connection& connection)
{
    // Each name quoted as the database quotes it: brackets for Jet (and the embedded stand-in),
    // which a server refuses.
    QStringList names;
    for (const DrugColumn& column : DrugPriceLine::columns())
        names << connection.dialect().quoteName(connection.database(), column.name);
    return QStringLiteral("SELECT ") + names.join(QStringLiteral(", ")) + QStringLiteral(" FROM tblDrugs ORDER BY id");
}

DrugTableImage::Rows DrugTableImage::read(const std::shared_ptr<platform::Connection>& connection,
                                          const std::function<void(const platform::RowReader&)>& each)
{
    Rows rows;
    platform::RowReader reader(connection, readStatement(*connection));
    while (reader.next()) {
        rows.add(reader);
        if (each)
            each(reader);
    }
    return rows;
}

DrugTableImage::Rows DrugTableImage::readHashes(const std::shared_ptr<platform::Connection>& connection)
{
    Rows rows;
    QByteArray scratch;
    platform::RowReader reader(connection, readStatement(*connection));
    while (reader.next())
        rows.addHash(reader, scratch);
    return rows;
}

void DrugTableImage::scan(const std::shared_ptr<platform::Connection>& connection,
                          const std::function<void(const platform::RowReader&)>& each)
{
    platform::RowReader reader(connection, readStatement(*connection));
    while (reader.next())
        each(reader);
}

qsizetype DrugTableImage::differingRows(const std::vector<quint64>& a, const std::vector<quint64>& b)
{
    std::vector<quint64> x = a, y = b;
    std::sort(x.begin(), x.end());
    std::sort(y.begin(), y.end());
    qsizetype onlyX = 0, onlyY = 0;
    size_t i = 0, j = 0;
    while (i < x.size() || j < y.size()) {
        if (j == y.size() || (i < x.size() && x[i] < y[j])) {
            ++onlyX;
            ++i;
        } else if (i == x.size() || y[j] < x[i]) {
            ++onlyY;
            ++j;
        } else {
            ++i;
            ++j;
        }
    }
    return std::max(onlyX, onlyY);
}

QByteArray DrugTableImage::compress(const Rows& rows)
{
    return qCompress(rows.encoded(), kCompressionLevel);
}

QByteArray DrugTableImage::fileBytes(Header header, const QByteArray& compressed, const Rows& before, const Rows& after)
{
    header.rows = before.count();
    header.digest = before.digest();
    header.afterRows = after.count();
    header.afterDigest = after.digest();
    QByteArray text = kMagic + '\n';
    const auto line = [&](const char* key, const QString& value) { text += key + QByteArray(": ") + headerValue(value) + '\n'; };
    line("table", QStringLiteral("tblDrugs"));
    line("columns", columnList());
    line("action", header.action);
    line("run", header.run);
    line("database", header.database);
    line("undoes", header.undoes);
    line("rows", QString::number(header.rows));
    line("digest", header.digest);
    line("after-rows", QString::number(header.afterRows));
    line("after-digest", header.afterDigest);
    line("compressed", QString::number(compressed.size()));
    line("check", platform::Sha256::hex(text));
    text += '\n';
    text.reserve(text.size() + compressed.size() + after.count() * 8);
    text += compressed;
    char word[8];
    for (const quint64 hash : after.hashes()) {
        qToLittleEndian(hash, word);
        text.append(word, 8);
    }
    return text;
}

DrugTableImage DrugTableImage::fromFile(const QByteArray& bytes)
{
    if (!bytes.startsWith(kMagic + '\n'))
        throw bytes.isEmpty() || kMagic.startsWith(bytes) ? cutShort() : notAnImage();
    const qsizetype end = bytes.indexOf(kHeaderEnd);
    if (end < 0)
        throw cutShort();
    QHash<QByteArray, QByteArray> values;
    qsizetype checked = -1, last = -1;
    for (qsizetype at = kMagic.size() + 1; at <= end;) {
        const qsizetype lineEnd = bytes.indexOf('\n', at);
        const QByteArray line = bytes.mid(at, lineEnd - at);
        const qsizetype colon = line.indexOf(": ");
        if (colon < 0 || values.contains(line.left(colon)))
            throw altered();
        if (line.startsWith("check: "))
            checked = at;
        values.insert(line.left(colon), line.mid(colon + 2));
        last = at;
        at = lineEnd + 1;
    }
    // The check covers every line before it, and no line may follow it.
    if (checked < 0 || checked != last ||
        values.value("check") != platform::Sha256::hash(QByteArrayView(bytes).first(checked)).toHex())
        throw altered();
    if (values.value("table") != "tblDrugs" || QString::fromUtf8(values.value("columns")) != columnList())
        throw notAnImage();

    DrugTableImage image;
    Header& header = image.ivHeader;
    header.action = QString::fromUtf8(values.value("action"));
    header.run = QString::fromUtf8(values.value("run"));
    header.database = QString::fromUtf8(values.value("database"));
    header.undoes = QString::fromUtf8(values.value("undoes"));
    bool rowsRead = false, afterRead = false, sizeRead = false;
    header.rows = values.value("rows").toLongLong(&rowsRead);
    header.digest = QString::fromLatin1(values.value("digest"));
    header.afterRows = values.value("after-rows").toLongLong(&afterRead);
    header.afterDigest = QString::fromLatin1(values.value("after-digest"));
    const qsizetype compressedSize = values.value("compressed").toLongLong(&sizeRead);
    if (!rowsRead || !afterRead || !sizeRead || header.rows < 0 || header.afterRows < 0 || compressedSize < 0)
        throw altered();

    const qsizetype start = end + kHeaderEnd.size();
    const qsizetype expected = compressedSize + header.afterRows * 8;
    if (bytes.size() - start < expected)
        throw cutShort();
    if (bytes.size() - start > expected)
        throw altered();
    image.ivAfterHashes.reserve(size_t(header.afterRows));
    for (qsizetype i = 0; i < header.afterRows; ++i)
        image.ivAfterHashes.push_back(qFromLittleEndian<quint64>(bytes.constData() + start + compressedSize + i * 8));
    if (digestOf(image.ivAfterHashes) != header.afterDigest)
        throw altered();
    QByteArray encoded = qUncompress(bytes.mid(start, compressedSize));
    if (encoded.isEmpty() && header.rows > 0)
        throw altered();
    try {
        image.ivRows = Rows::decode(std::move(encoded), header.rows);
    } catch (const platform::Error&) {
        throw altered();
    }
    if (image.ivRows.digest() != header.digest)
        throw altered();
    return image;
}

} // namespace korvane
