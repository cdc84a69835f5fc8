// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/AnsiText.h"

#include "platform/Error.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

using korvane::platform::ansiTextWithCrLf;
using korvane::platform::Error;
using korvane::platform::TextLines;

namespace {

QStringList linesOf(const TextLines& lines)
{
    QStringList result;
    for (qsizetype i = 0; i < lines.count(); ++i)
        result << lines.at(i);
    return result;
}

struct LineCase
{
    const char* name;
    QByteArray bytes;
    QStringList lines;
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << c.name;
}

class TextLinesTest : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(TextLinesTest, SplitsDecodedFileIntoLines)
{
    const TextLines lines = TextLines::fromAnsiFile(GetParam().bytes);
    EXPECT_EQ(linesOf(lines), GetParam().lines);
    EXPECT_EQ(lines.isEmpty(), GetParam().lines.isEmpty());
}

const QString kung = QStringLiteral("功");
const QString hsu = QStringLiteral("許");
const QString replacement(QChar::ReplacementCharacter);

INSTANTIATE_TEST_SUITE_P(
    LineEnds, TextLinesTest,
    ::testing::Values(
        LineCase{"CrLf", "a\r\nb\r\n", {"a", "b"}}, LineCase{"LoneCr", "a\rb\r", {"a", "b"}},
        LineCase{"LoneLf", "a\nb\n", {"a", "b"}}, LineCase{"Mixed", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        LineCase{"NoFinalTerminator", "a\r\nb", {"a", "b"}}, LineCase{"EmptyFile", "", {}},
        LineCase{"OnlyCrLf", "\r\n", {""}},
        // LF followed by CR is two line ends, CR followed by CR LF as well.
        LineCase{"LfThenCr", "\n\r", {"", ""}}, LineCase{"CrThenCrLf", "\r\r\n", {"", ""}},
        LineCase{"EmptyLinesKept", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        LineCase{"NulBytesStay",
                 QByteArray("a\0b\r\n\0", 6),
                 {QString(QStringLiteral("a") + QChar(0) + u'b'), QString(QChar(0))}},
        LineCase{"Big5BackslashTrailBytes", "\xA5\x5C\t\xB3\x5C\r\nx\\y\r\n", {kung + u'\t' + hsu, "x\\y"}},
        // A lead byte cannot swallow the line end that follows it.
        LineCase{"LeadByteBeforeLineEnd", "\xA5\r\nx\r\n", {replacement, "x"}},
        LineCase{"LeadByteAtEnd", "ab\xA5", {"ab" + replacement}},
        // A rejected pair is one U+FFFD; a byte that cannot be a second byte is read on its own.
        LineCase{"RejectedPairs", "\xA5\x80z\xA5" "0", {replacement + u'z' + replacement + u'0'}},
        LineCase{"Utf8ByteOrderMark", "\xEF\xBB\xBF\xE5\x8A\x9F\r\nb\r\n", {kung, "b"}},
        LineCase{"OnlyByteOrderMark", "\xEF\xBB\xBF", {}},
        LineCase{"InvalidUtf8AfterMark",
                 "\xEF\xBB\xBF"
                 "a\xFF"
                 "b\n",
                 {"a" + replacement + "b"}}),
    [](const ::testing::TestParamInfo<LineCase>& param) { return std::string(param.param.name); });

TEST(AnsiTextTest, RoundTripGivesExactBytes)
{
    const QStringList lines{kung + u'\t' + hsu, QString(), QStringLiteral("C:\\Korvane\\tools"),
                            QStringLiteral("A000000100\t12.5\t") + hsu};
    const QByteArray expected = "\xA5\x5C\t\xB3\x5C\r\n"
                                "\r\n"
                                "C:\\Korvane\\tools\r\n"
                                "A000000100\t12.5\t\xB3\x5C\r\n";
    const QByteArray bytes = ansiTextWithCrLf(lines);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(linesOf(TextLines::fromAnsiFile(bytes)), lines);
    EXPECT_EQ(ansiTextWithCrLf({}), QByteArray());
}

TEST(AnsiTextTest, LineOutsideTheTextThrowsOutOfRange)
{
    const TextLines lines(QStringLiteral("a\r\nb"));
    for (const qsizetype index : {qsizetype(-1), qsizetype(2)}) {
        try {
            (void)lines.at(index);
            ADD_FAILURE() << "no error for line " << index;
        } catch (const Error& error) {
            EXPECT_EQ(error.kind(), Error::Kind::OutOfRange);
        }
    }
}

#ifndef Q_OS_WIN
// Lines are decoded through a table made from the code page's converter. Every single byte and
// every two-byte sequence, valid or not, must come out exactly as the converter has it.
TEST(AnsiTextTest, EveryByteSequenceDecodesAsTheConverterDecodesIt)
{
    QList<QByteArray> probes;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\r' && byte != '\n')
            probes << QByteArray("A") + char(byte) + 'z';
    }
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 0x100; ++trail) {
            if (trail != '\r' && trail != '\n')
                probes << QByteArray("x") + char(lead) + char(trail) + " z";
        }
    }
    const TextLines lines = TextLines::fromAnsiFile(probes.join('\n') + '\n');
    ASSERT_EQ(lines.count(), probes.size());
    QStringDecoder converter("Big5");
    ASSERT_TRUE(converter.isValid());
    for (qsizetype i = 0; i < probes.size(); ++i) {
        converter.resetState();
        const QString expected = QString(converter.decode(probes[i] + '\n')).chopped(1);
        ASSERT_EQ(lines.at(i), expected) << probes[i].toHex().toStdString();
    }
}
#endif

// A whole price list, split and decoded; its time is measured by bench/parts.
TEST(AnsiTextTest, LargePriceListDecodesEveryLine)
{
    QByteArray line = "1\tA\t\xB3\xE6\t"
                      "AC00000100\t12.5\t1130101\t1141231\tCOUGH SYRUP \xA5\x5C\xB3\x5C\t";
    while (line.size() < 198)
        line += 'x';
    line += "\r\n";
    const int count = 45000;
    QByteArray file;
    file.reserve(line.size() * count);
    for (int i = 0; i < count; ++i)
        file += line;

    const TextLines lines = TextLines::fromAnsiFile(file);
    ASSERT_EQ(lines.count(), count);
    EXPECT_TRUE(lines.at(count - 1).startsWith(QStringLiteral("1\tA\t單\tAC00000100")));
}

} // namespace
