// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "MemoryFileSystem.h"
#include "platform/Error.h"
#include "pricing/ZanXmlTextReader.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using platform::Error;
using test::MemoryFileSystem;

const QString config =
    QStringLiteral("<Config><SQLNCLI>10</SQLNCLI><IP>192.168.1.5</IP><DB>clinic</DB></Config>");

struct DataCase
{
    const char16_t* document;
    const char16_t* tag;
    const char16_t* expected;
};

void PrintTo(const DataCase& c, std::ostream* os)
{
    *os << QString::fromUtf16(c.tag).toStdString() << " in " << QString::fromUtf16(c.document).toStdString();
}

class ElementContent : public ::testing::TestWithParam<DataCase>
{
};

TEST_P(ElementContent, isTheTextUpToTheFirstEndTag)
{
    MemoryFileSystem files;
    ZanXmlTextReader reader(files);
    reader.setXmlString(QString::fromUtf16(GetParam().document));
    QString document;
    EXPECT_EQ(reader.getDataString(QString::fromUtf16(GetParam().tag), document),
              QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Documents, ElementContent,
    ::testing::Values(DataCase{u"<Config><SQLNCLI>10</SQLNCLI><IP>192.168.1.5</IP><DB>clinic</DB></Config>",
                               u"SQLNCLI", u"10"},
                      DataCase{u"<Config><SQLNCLI>10</SQLNCLI><IP>192.168.1.5</IP><DB>clinic</DB></Config>",
                               u"IP", u"192.168.1.5"},
                      DataCase{u"<Config><SQLNCLI>10</SQLNCLI><IP>192.168.1.5</IP><DB>clinic</DB></Config>",
                               u"DB", u"clinic"},
                      DataCase{u"<Config><IP>192.168.1.5</IP></Config>", u"Port", u""},
                      DataCase{u"<Config><IPX>a</IPX><IP>b</IP></Config>", u"IP", u"a</IPX><IP>b"},
                      DataCase{u"<Config><IP>192.168.1.5</Config>", u"IP", u""},
                      DataCase{u"<IP>", u"IP", u""}, DataCase{u"<IP", u"IP", u""}, DataCase{u"", u"IP", u""},
                      DataCase{u"<IP></IP>", u"IP", u""}, DataCase{u"<IP/>", u"IP", u""},
                      DataCase{u"<DB name=\"x\">clinic</DB>", u"DB", u"clinic"},
                      DataCase{u"<DB>one</DB><DB>two</DB>", u"DB", u"one"},
                      DataCase{u"<DB><DB>in</DB></DB>", u"DB", u"<DB>in"},
                      DataCase{u"<db>lower</db><DB>upper</DB>", u"DB", u"upper"},
                      DataCase{u"<DB>  診所 資料庫 </DB>", u"DB", u"  診所 資料庫 "},
                      // Text outside the element is never its content: a stray end tag of a
                      // missing element, or an end tag before a start tag that never closes.
                      DataCase{u"<Config>stray</IP></Config>", u"IP", u""},
                      DataCase{u"abc>def</IP>", u"IP", u""}, DataCase{u"ab</IP><IP", u"IP", u""},
                      DataCase{u"<a>x</IP><IP b=\"1\"", u"IP", u""}));

TEST(ZanXmlTextReader, searchesTheStoredDocumentOnlyWhenGivenNone)
{
    MemoryFileSystem files;
    ZanXmlTextReader reader(files);
    reader.setXmlString(config);

    QString document;
    EXPECT_EQ(reader.getDataString(QStringLiteral("DB"), document), QStringLiteral("clinic"));
    EXPECT_EQ(document, config); // the stored document, handed back to the caller

    QString own = QStringLiteral("<DB>other</DB>");
    EXPECT_EQ(reader.getDataString(QStringLiteral("DB"), own), QStringLiteral("other"));
    EXPECT_EQ(own, QStringLiteral("<DB>other</DB>"));
    EXPECT_EQ(reader.XmlString(), config);
}

TEST(ZanXmlTextReader, joinsTheLinesOfAFileWithNothingBetween)
{
    MemoryFileSystem files;
    files.writeFile(QStringLiteral("C:\\Korvane\\Korvane.config"),
                    QByteArray("<Config>\r\n    <IP>192.168.1.5</IP>\r\n\t<DB>clinic</DB>\r\n</Config>\r\n"));
    ZanXmlTextReader reader(files);
    reader.setXmlFilePath(QStringLiteral("C:\\Korvane\\Korvane.config"));

    EXPECT_EQ(reader.XmlFilePath(), QStringLiteral("C:\\Korvane\\Korvane.config"));
    EXPECT_EQ(reader.XmlString(),
              QStringLiteral("<Config>    <IP>192.168.1.5</IP>\t<DB>clinic</DB></Config>"));
    QString document;
    EXPECT_EQ(reader.getDataString(QStringLiteral("IP"), document), QStringLiteral("192.168.1.5"));
}

TEST(ZanXmlTextReader, readsTheFileInTheAnsiCodePage)
{
    MemoryFileSystem files;
    // <DB>台灣功學</DB> in Big5; 功 ends in the byte of a backslash.
    files.writeFile(QStringLiteral("big5.config"),
                    QByteArray("<DB>\xA5\x78\xC6\x57\xA5\x5C\xBE\xC7</DB>\r\n"));
    ZanXmlTextReader reader(files);
    reader.setXmlFilePath(QStringLiteral("big5.config"));
    QString document;
    EXPECT_EQ(reader.getDataString(QStringLiteral("DB"), document), QStringLiteral("台灣功學"));
}

TEST(ZanXmlTextReader, appendsEveryLoadToTheDocument)
{
    MemoryFileSystem files;
    files.writeFile(QStringLiteral("a.config"), QByteArray("<IP>first</IP>\r\n"));
    files.writeFile(QStringLiteral("b.config"), QByteArray("<IP>second</IP>\r\n"));
    ZanXmlTextReader reader(files);
    reader.setXmlFilePath(QStringLiteral("a.config"));
    reader.setXmlFilePath(QStringLiteral("a.config"));
    EXPECT_EQ(reader.XmlString(), QStringLiteral("<IP>first</IP><IP>first</IP>"));

    reader.setXmlFilePath(QStringLiteral("b.config"));
    EXPECT_EQ(reader.XmlFilePath(), QStringLiteral("b.config"));
    QString document;
    EXPECT_EQ(reader.getDataString(QStringLiteral("IP"), document), QStringLiteral("first"));
}

TEST(ZanXmlTextReader, keepsTheDocumentWhenAFileCannotBeRead)
{
    MemoryFileSystem files;
    ZanXmlTextReader reader(files);
    reader.setXmlString(config);
    try {
        reader.setXmlFilePath(QStringLiteral("missing.config"));
        FAIL() << "a missing file must throw";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), Error::Kind::FileNotFound);
    }
    EXPECT_EQ(reader.XmlFilePath(), QStringLiteral("missing.config"));
    EXPECT_EQ(reader.XmlString(), config);
}

TEST(ZanXmlTextReader, survivesEmptyAndBinaryFiles)
{
    MemoryFileSystem files;
    files.writeFile(QStringLiteral("empty"), QByteArray());
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 7919 + 13) % 256));
    binary.append("<IP>\x00\xFF\x81</IP", 11);
    files.writeFile(QStringLiteral("binary"), binary);

    ZanXmlTextReader reader(files);
    reader.setXmlString(QStringLiteral("<IP>a</IP>\r\n"));
    reader.setXmlFilePath(QStringLiteral("empty"));
    EXPECT_EQ(reader.XmlString(), QStringLiteral("<IP>a</IP>")); // CR LF pairs go even so

    ZanXmlTextReader binaryReader(files);
    binaryReader.setXmlFilePath(QStringLiteral("binary"));
    EXPECT_FALSE(binaryReader.XmlString().isEmpty());
    EXPECT_FALSE(binaryReader.XmlString().contains(QStringLiteral("\r\n")));
    QString document;
    for (const QString& tag :
         {QStringLiteral("IP"), QStringLiteral("DB"), QString(), QStringLiteral("\xFF")}) {
        document.clear();
        const QString content = binaryReader.getDataString(tag, document);
        EXPECT_LE(content.size(), document.size());
    }
}

struct AttributeCase
{
    const char16_t* document;
    const char16_t* attributeText;
    std::vector<std::pair<QString, QString>> attributes;
};

void PrintTo(const AttributeCase& c, std::ostream* os)
{
    *os << QString::fromUtf16(c.document).toStdString();
}

class StartTagAttributes : public ::testing::TestWithParam<AttributeCase>
{
};

TEST_P(StartTagAttributes, areSplitAtSpaces)
{
    MemoryFileSystem files;
    ZanXmlTextReader reader(files);
    reader.setXmlString(QString::fromUtf16(GetParam().document));
    QString document;
    EXPECT_EQ(reader.getAttributeString(QStringLiteral("DB"), document),
              QString::fromUtf16(GetParam().attributeText));

    document.clear();
    const ZanXmlTextReader::AttributeList list = reader.getAttributeList(QStringLiteral("DB"), document);
    ASSERT_EQ(size_t(list.count()), GetParam().attributes.size());
    for (qsizetype i = 0; i < list.count(); ++i) {
        EXPECT_EQ(list.key(i), GetParam().attributes[size_t(i)].first);
        EXPECT_EQ(list.item(i), GetParam().attributes[size_t(i)].second);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tags, StartTagAttributes,
    ::testing::Values(
        AttributeCase{u"<Config><DB name=\"x\">clinic</DB></Config>", u" name=\"x\"", {{"name", "x"}}},
        AttributeCase{u"<DB k=\" v\" j=\"1\">", u" k=\" v\" j=\"1\"", {{"k", "v"}, {"j", "1"}}},
        AttributeCase{u"<DB k=\"v w\">", u" k=\"v w\"", {{"k", "v"}}},
        AttributeCase{u"<DB   a=1    b=2 >", u"   a=1    b=2 ", {{"a", "1"}, {"b", "2"}}},
        AttributeCase{u"<DB a=\"x=y\">", u" a=\"x=y\"", {{"a", "x"}}},
        AttributeCase{u"<DB a=\"1\"\tb=\"2\">", u" a=\"1\"\tb=\"2\"", {{"a", "1\tb"}}},
        AttributeCase{u"<DB file=\"C:\\db.mdb\"/>", u" file=\"C:\\db.mdb\"/", {{"file", "C:\\db.mdb/"}}},
        AttributeCase{u"<DB>clinic</DB>", u"", {}}, AttributeCase{u"<DB plain>", u" plain", {}},
        AttributeCase{u"<IP>1</IP>", u"", {}}));

TEST(ZanXmlTextReader, findsAttributesByNameWhateverTheCase)
{
    MemoryFileSystem files;
    ZanXmlTextReader reader(files);
    reader.setXmlString(QStringLiteral("<DB Name=\"clinic\" user=\"sa\">"));
    QString document;
    const ZanXmlTextReader::AttributeList list = reader.getAttributeList(QStringLiteral("DB"), document);
    EXPECT_TRUE(list.contains(QStringLiteral("NAME")));
    EXPECT_EQ(list.item(QStringLiteral("name")), QStringLiteral("clinic"));
    EXPECT_EQ(list.item(QStringLiteral("USER")), QStringLiteral("sa"));
    EXPECT_THROW(list.item(QStringLiteral("password")), Error);
}

TEST(ZanXmlTextReader, refusesAnAttributeNamedTwice)
{
    MemoryFileSystem files;
    ZanXmlTextReader reader(files);
    reader.setXmlString(QStringLiteral("<DB a=\"1\" A=\"2\">"));
    QString document;
    EXPECT_THROW(reader.getAttributeList(QStringLiteral("DB"), document), Error);
}

TEST(ZanXmlTextReader, failsWhenTheStartTagNeverCloses)
{
    MemoryFileSystem files;
    ZanXmlTextReader reader(files);
    reader.setXmlString(QStringLiteral("<Config><DB name=\"x\""));
    QString document;
    try {
        reader.getAttributeString(QStringLiteral("DB"), document);
        FAIL() << "no \">\" must throw";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), Error::Kind::OutOfRange);
    }
    document.clear();
    EXPECT_THROW(reader.getAttributeList(QStringLiteral("DB"), document), Error);
    document.clear();
    EXPECT_EQ(reader.getDataString(QStringLiteral("DB"), document), QString());
}

// Positions are 16-bit: what lies within the first 32,767 characters is found, anything
// reaching beyond them is out of reach and must not produce text from elsewhere.
TEST(ZanXmlTextReader, readsLongDocumentsOnlyWithinItsReach)
{
    MemoryFileSystem files;
    ZanXmlTextReader reader(files);
    const QString filler(40'000, u'x');
    QString document;

    reader.setXmlString(QStringLiteral("<IP>192.168.1.5</IP>") + filler);
    EXPECT_EQ(reader.getDataString(QStringLiteral("IP"), document), QStringLiteral("192.168.1.5"));

    // The first ">" and a stray end tag lie in reach, the element itself does not.
    reader.setXmlString(QStringLiteral("<a>stray</IP>") + filler + QStringLiteral("<IP>192.168.1.5</IP>"));
    document.clear();
    EXPECT_EQ(reader.getDataString(QStringLiteral("IP"), document), QString());
    document.clear();
    EXPECT_THROW(reader.getAttributeString(QStringLiteral("IP"), document), Error);

    // Start tag in reach, end tag beyond.
    reader.setXmlString(QString(32'700, u' ') + QStringLiteral("<IP>") + filler + QStringLiteral("</IP>"));
    document.clear();
    EXPECT_EQ(reader.getDataString(QStringLiteral("IP"), document), QString());

    // The last reachable character closes the element.
    const QString element = QStringLiteral("<IP>1</IP>");
    reader.setXmlString(QString(32'767 - element.size(), u' ') + element);
    document.clear();
    EXPECT_EQ(reader.getDataString(QStringLiteral("IP"), document), QStringLiteral("1"));

    // A name longer than any position.
    const QString longName(40'000, u'N');
    reader.setXmlString(u'<' + longName + QStringLiteral(">1</") + longName + u'>');
    document.clear();
    EXPECT_EQ(reader.getDataString(longName, document), QString());
    document.clear();
    EXPECT_THROW(reader.getAttributeString(longName, document), Error);
}

} // namespace
} // namespace korvane
