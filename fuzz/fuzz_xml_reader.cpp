// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
// The bytes as the clinic's Korvane.config, loaded through a file system in memory and read the
// way the connection selection reads it, plus the attribute reads.
#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "platform/AnsiText.h"
#include "platform/Error.h"
#include "pricing/ZanXmlTextReader.h"

#include <QByteArray>
#include <cstdint>

using korvane::ZanXmlTextReader;
using korvane::fuzz::errorKindOf;
using korvane::fuzz::require;
using korvane::platform::Error;

namespace {

const QString configPath = QStringLiteral("C:\\Korvane\\Korvane.config");

// Positions are 16-bit and 1-based: the last character in reach is number 32,767.
constexpr qsizetype reach = 32'767;

bool inReach(qsizetype index)
{
    return index + 1 <= reach;
}

// The content of the first element of that name, from a plain reading of the document: empty
// when the element is missing, its start tag never closes, no end tag follows, or any of these
// lies out of reach.
QString expectedData(const QString& document, const QString& tag)
{
    const qsizetype start = document.indexOf(u'<' + tag);
    if (start < 0)
        return {};
    const qsizetype afterName = start + 1 + tag.size();
    const qsizetype close = document.indexOf(u'>', afterName);
    if (close < 0)
        return {};
    const qsizetype content = close + 1;
    const qsizetype end = document.indexOf(QStringLiteral("</") + tag + u'>', content);
    if (end < 0)
        return {};
    if (!inReach(start) || !inReach(afterName) || !inReach(content) || !inReach(end))
        return {};
    return document.sliced(content, end - content);
}

// The attribute text of the first start tag of that name; nothing when the call must throw
// OutOfRange (no ">" after the name, or out of reach).
std::optional<QString> expectedAttributes(const QString& document, const QString& tag)
{
    const qsizetype start = document.indexOf(u'<' + tag);
    if (start < 0)
        return QString();
    const qsizetype afterName = start + 1 + tag.size();
    const qsizetype close = document.indexOf(u'>', afterName);
    if (close < 0 || !inReach(start) || !inReach(afterName) || !inReach(close))
        return std::nullopt;
    return document.sliced(afterName, close - afterName);
}

void checkAttributeList(const ZanXmlTextReader& reader, const QString& tag, const QString& document)
{
    QString argument;
    try {
        const ZanXmlTextReader::AttributeList list = reader.getAttributeList(tag, argument);
        const QString text = *expectedAttributes(document, tag);
        require(list.count() <= text.count(u'='), "no more attributes than equals signs", text);
        for (qsizetype i = 0; i < list.count(); ++i) {
            const QString& key = list.key(i);
            const QString& value = list.item(i);
            require(!key.contains(u' ') && !key.contains(u'='), "a name holds no space or equals sign", key);
            require(!value.contains(u' ') && !value.contains(u'=') && !value.contains(u'"'),
                    "a value holds no space, equals sign or quote", value);
            require(list.contains(key) && list.item(key.toUpper()) == list.item(key.toLower()) &&
                        &list.item(key) == &value,
                    "each name finds its own value whatever the case", key);
        }
    } catch (const Error& error) {
        require(error.kind() == Error::Kind::OutOfRange || error.kind() == Error::Kind::General,
                "attribute lists fail only for an unclosed tag or a name written twice", document);
        if (error.kind() == Error::Kind::General) {
            const std::optional<QString> text = expectedAttributes(document, tag);
            require(text && text->count(u'=') >= 2, "a name written twice needs two attributes", document);
        }
    }
}

void checkElement(const ZanXmlTextReader& reader, const QString& tag)
{
    const QString& document = reader.XmlString();

    QString argument;
    const QString data = reader.getDataString(tag, argument);
    require(argument == document, "an empty document argument is given the stored document", tag);
    require(data == expectedData(document, tag), "the content lies between the start tag and its end tag",
            document);

    argument.clear();
    QString attributes;
    const std::optional<Error::Kind> failure =
        errorKindOf([&] { attributes = reader.getAttributeString(tag, argument); });
    const std::optional<QString> expected = expectedAttributes(document, tag);
    require(failure.has_value() == !expected.has_value(),
            "the attribute text fails exactly when unclosed or out of reach", document);
    require(!failure || *failure == Error::Kind::OutOfRange, "an unclosed start tag fails with OutOfRange",
            document);
    require(failure || attributes == *expected, "the attribute text is all between the name and \">\"",
            document);

    checkAttributeList(reader, tag, document);

    // A document handed in by the caller is searched instead and left as it was.
    QString own = QStringLiteral("<") + tag + QStringLiteral(">own</") + tag + u'>';
    const QString before = own;
    require(reader.getDataString(tag, own) == u"own" && own == before, "a given document is searched instead",
            tag);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    korvane::test::MemoryFileSystem files;
    files.writeFile(configPath, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    ZanXmlTextReader reader(files);
    reader.setXmlFilePath(configPath);
    require(reader.XmlFilePath() == configPath, "the path is kept");
    const QString once = reader.XmlString();
    require(!once.contains(u'\r') && !once.contains(u'\n'), "a loaded document holds no line ends", once);

    for (const QString& tag : {QStringLiteral("SQLNCLI"), QStringLiteral("IP"), QStringLiteral("DB")})
        checkElement(reader, tag);

    // Loading again appends, which also carries short documents past the reader's reach.
    reader.setXmlFilePath(configPath);
    require(reader.XmlString() == once + once, "a second load appends the same text", once);
    for (const QString& tag : {QStringLiteral("IP"), QStringLiteral("DB")})
        checkElement(reader, tag);

    // A missing file leaves the document as it was.
    const QString loaded = reader.XmlString();
    require(errorKindOf([&] { reader.setXmlFilePath(QStringLiteral("C:\\missing.config")); }) ==
                Error::Kind::FileNotFound,
            "a missing file throws");
    require(reader.XmlString() == loaded, "a failed load keeps the document");
    return 0;
}
