// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ZanXmlTextReader.h"

#include "platform/AnsiText.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"

#include <limits>
#include <optional>

namespace korvane {

namespace {

using platform::Error;

constexpr qsizetype lastPosition = std::numeric_limits<qint16>::max();

// A 1-based position as the reader holds it: nothing when the value does not fit 16 bits.
std::optional<qint16> position(qsizetype value)
{
    if (value < std::numeric_limits<qint16>::min() || value > lastPosition)
        return std::nullopt;
    return qint16(value);
}

// 1-based position of the first needle at or after the 1-based start; 0 when there is none.
// The start is always at least 1 here.
qsizetype find(const QString& document, QStringView needle, qsizetype start)
{
    if (start > document.size())
        return 0;
    const qsizetype index = document.indexOf(needle, start - 1);
    return index < 0 ? 0 : index + 1;
}

// Trims spaces only: a tab is part of a name or value.
QStringView trimSpaces(QStringView text)
{
    while (text.startsWith(u' '))
        text = text.sliced(1);
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

Error overflow()
{
    return Error(QStringLiteral("溢位：位置超出設定檔讀取器可處理的範圍。"), Error::Kind::OutOfRange);
}

} // namespace

void ZanXmlTextReader::AttributeList::add(const QString& key, const QString& value)
{
    if (contains(key))
        throw Error(QStringLiteral("此索引鍵已與此集合的元素相關聯：") + key, Error::Kind::General);
    ivItems.append({key, value});
}

const QString& ZanXmlTextReader::AttributeList::item(const QString& key) const
{
    const qsizetype index = indexOf(key);
    if (index < 0)
        throw Error(QStringLiteral("找不到屬性：") + key, Error::Kind::OutOfRange);
    return ivItems.at(index).second;
}

qsizetype ZanXmlTextReader::AttributeList::indexOf(const QString& key) const
{
    for (qsizetype i = 0; i < ivItems.size(); ++i) {
        if (ivItems.at(i).first.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

ZanXmlTextReader::ZanXmlTextReader(const platform::FileSystem& p_fileSystem) : ivFileSystem(p_fileSystem) {}

void ZanXmlTextReader::setXmlFilePath(QString vData)
{
    ivXmlFilePath = std::move(vData);
    // Read the whole file before touching the document, so a failure leaves it as it was.
    const platform::TextLines lines = platform::TextLines::fromAnsiFile(ivFileSystem.readFile(ivXmlFilePath));
    for (qsizetype i = 0; i < lines.count(); ++i)
        ivXmlString += lines.at(i);
    ivXmlString.remove(QStringLiteral("\r\n"));
}

const QString& ZanXmlTextReader::chooseDocument(QString& p_strXmlString) const
{
    if (p_strXmlString.isEmpty())
        p_strXmlString = ivXmlString;
    return p_strXmlString;
}

ZanXmlTextReader::AttributeList ZanXmlTextReader::getAttributeList(const QString& p_strTag,
                                                                   QString& p_strXmlString) const
{
    QString text = getAttributeString(p_strTag, p_strXmlString);
    while (text.contains(QStringLiteral("  ")))
        text.replace(QStringLiteral("  "), QStringLiteral(" "));
    // A value may begin with a space after its opening quote.
    text.replace(QStringLiteral("=\" "), QStringLiteral("=\""));

    AttributeList list;
    for (const QStringView part : QStringView(text).split(u' ')) {
        const QStringView trimmed = trimSpaces(part);
        if (!trimmed.contains(u'='))
            continue;
        const QList<QStringView> pieces = trimmed.split(u'=');
        QString value = pieces.at(1).toString();
        value.remove(u'"');
        list.add(trimSpaces(pieces.at(0)).toString(), trimSpaces(value).toString());
    }
    return list;
}

QString ZanXmlTextReader::getAttributeString(const QString& p_strTag, QString& p_strXmlString) const
{
    const QString& document = chooseDocument(p_strXmlString);
    const qsizetype found = find(document, QString(u'<' + p_strTag), 1);
    if (found == 0)
        return {};
    const std::optional<qint16> p = position(found);
    if (!p)
        throw overflow();
    const std::optional<qint16> s = position(*p + p_strTag.size() + 1);
    if (!s)
        throw overflow();
    const std::optional<qint16> g = position(find(document, u">", *s));
    if (!g)
        throw overflow();
    const int length = *g - *s;
    if (length < 0)
        throw Error(QStringLiteral("程序呼叫或引數不正確：<") + p_strTag +
                        QStringLiteral(" 之後找不到「>」。"),
                    Error::Kind::OutOfRange);
    return document.mid(*s - 1, length);
}

QString ZanXmlTextReader::getDataString(const QString& p_strTag, QString& p_strXmlString) const
{
    const QString& document = chooseDocument(p_strXmlString);
    // Each step needs the one before; a position out of reach ends the search with nothing.
    // So does a step that finds nothing: searching on from position 0 or 1 would return text
    // from before the element, or a stray end tag's text when the element is absent.
    const std::optional<qint16> start = position(find(document, QString(u'<' + p_strTag), 1));
    if (!start || *start == 0)
        return {};
    const std::optional<qint16> afterName = position(*start + p_strTag.size() + 1);
    if (!afterName)
        return {};
    const qsizetype close = find(document, u">", *afterName);
    if (close == 0) // the start tag never closes
        return {};
    const std::optional<qint16> p = position(close + 1);
    if (!p)
        return {};
    const std::optional<qint16> e =
        position(find(document, QString(QStringLiteral("</") + p_strTag + u'>'), *p));
    if (!e)
        return {};
    const int length = *e - *p;
    if (length < 0) // the element or its end tag is missing
        return {};
    return document.mid(*p - 1, length);
}

} // namespace korvane
