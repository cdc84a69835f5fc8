// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The drug-price update fed with what real price lists and configuration files turn out to hold:
// bytes no code page maps, NULs, huge lines, foreign line ends and encodings, text that looks
// like SQL, broken configuration files. Each odd value is stored as it stands or left out; the
// update never crashes and never does anything to the database but replace tblDrugs.

#include "ClinicDatabase.h"
#include "PriceListText.h"
#include "TestServices.h"
#include "platform/AnsiText.h"
#include "pricing/C52407301.h"

#include <QFile>
#include <QRandomGenerator>
#include <functional>
#include <gtest/gtest.h>
#include <variant>

using korvane::C52407301;
using korvane::platform::encodeAnsi;
using korvane::platform::MessageIcon;
using korvane::test::ClinicDatabase;
using korvane::test::FakeView;
using korvane::test::TestMachine;

namespace {

const QByteArray kHeader = encodeAnsi(korvane::test::priceListHeader());

const QString kFailurePrefix = QStringLiteral("更新藥價作業失敗，可能的原因為：\r\n");
const QString kRefusalPrefix = QStringLiteral("藥價更新沒有執行，原因如下：\r\n");

const QString kDrugColumns = QStringLiteral(
    "SELECT 新, 單複方註記, 代碼, 藥價參考金額, 藥價參考日期, 藥價參考截止日期, 藥品英文名稱, 藥品規格量, "
    "藥品規格單位, 成份, 成份含量, 含量單位, 藥品劑型, 製造廠名稱 FROM tblDrugs ORDER BY id");

// The 15 fields of an ordinary drug record.
QStringList drugFields(const QString& code)
{
    return {QStringLiteral("1"),
            QString(),
            QStringLiteral("單方"),
            code,
            QStringLiteral("12.5"),
            QStringLiteral("1130401"),
            QStringLiteral("1140331"),
            QStringLiteral("PANADOL TABLETS 500MG"),
            QStringLiteral("500"),
            QStringLiteral("MG"),
            QStringLiteral("ACETAMINOPHEN（功許）"),
            QStringLiteral("500"),
            QStringLiteral("MG"),
            QStringLiteral("錠劑"),
            QStringLiteral("台灣功學製藥股份有限公司")};
}

// The same record in the price list's own bytes; fields may be replaced by bytes no encoder
// would write.
QList<QByteArray> drugFieldBytes(const QString& code)
{
    QList<QByteArray> bytes;
    for (const QString& field : drugFields(code))
        bytes << encodeAnsi(field);
    return bytes;
}

QByteArray joined(const QList<QByteArray>& fields)
{
    return fields.join('\t');
}

// The row an ordinary record becomes, as the columns of kDrugColumns read it back.
QVariantList drugRow(const QString& code)
{
    return {QString(),
            QStringLiteral("單方"),
            code,
            12.5,
            QStringLiteral("2024-04-01 00:00:00"),
            QStringLiteral("2025-03-31 00:00:00"),
            QStringLiteral("PANADOL TABLETS 500MG"),
            500.0,
            QStringLiteral("MG"),
            QStringLiteral("ACETAMINOPHEN（功許）"),
            500.0,
            QStringLiteral("MG"),
            QStringLiteral("錠劑"),
            QStringLiteral("台灣功學製藥股份有限公司")};
}

// Values up to a megabyte must not flood a failure report.
std::string shortly(const QVariant& value)
{
    if (value.isNull())
        return "NULL";
    QString text = value.toString();
    if (text.size() > 60)
        text = text.left(60) + QStringLiteral("…(%1 characters)").arg(text.size());
    text.replace(QChar(0), QStringLiteral("\\0"));
    return text.toStdString();
}

std::string shortly(const QList<QVariantList>& rows)
{
    std::string text;
    for (const QVariantList& row : rows) {
        text += "\n  [";
        for (const QVariant& value : row)
            text += ' ' + shortly(value) + ' ';
        text += ']';
    }
    return text;
}

// Test names from the cases' own names.
template <typename Case> std::string caseName(const ::testing::TestParamInfo<Case>& p_case)
{
    return p_case.param.name;
}

class BadInput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = std::make_unique<ClinicDatabase>(
            ClinicDatabase::create(machine.installFile(QStringLiteral("dbKorvane.mdb"))));
        db->exec(
            QStringLiteral(
                "INSERT INTO tblDrugs (新, 代碼, 藥價參考金額, 藥價參考日期, 成份) VALUES (?, ?, ?, ?, ?)"),
            {QStringLiteral("*"), QStringLiteral("OLD0000100"), 3.25, QStringLiteral("2024-02-01 00:00:00"),
             QStringLiteral("許功蓋")});
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼, 藥品英文名稱) VALUES (?, ?)"),
                 {QStringLiteral("OLD0000200"), QStringLiteral("OLD NAME")});
        db->exec(QStringLiteral("INSERT INTO tblTemp (pKey, pValue) VALUES ('applied', 'UP52407201')"));
        oldDrugs = drugs();
    }

    void writePriceList(const QByteArray& bytes) { machine.writeFile(pricePath(), bytes); }

    // The header and the lines, each ended with CR LF.
    void writePriceList(const QList<QByteArray>& lines)
    {
        QByteArray bytes = kHeader + "\r\n";
        for (const QByteArray& line : lines)
            bytes += line + "\r\n";
        writePriceList(bytes);
    }

    void run()
    {
        action = std::make_unique<C52407301>(machine.services());
        outcome = action->action(view);
    }

    void expectSuccess()
    {
        ASSERT_TRUE(machine.dialogs.messages.empty()) << machine.dialogs.messages.front().text.toStdString();
        EXPECT_EQ(view.hideCalls, 1);
        EXPECT_FALSE(QFile::exists(pricePath()));
    }

    // Done, and what was not imported as the list gives it is named in one last message.
    void expectSuccessNaming(const QStringList& named)
    {
        EXPECT_EQ(outcome, korvane::Outcome::Done);
        ASSERT_EQ(machine.dialogs.messages.size(), 1u);
        const auto& shown = machine.dialogs.messages.front();
        EXPECT_EQ(shown.icon, MessageIcon::Information);
        for (const QString& text : named)
            EXPECT_TRUE(shown.text.contains(text)) << qPrintable(text) << "\n" << qPrintable(shown.text);
        EXPECT_EQ(view.hideCalls, 1);
        EXPECT_FALSE(QFile::exists(pricePath()));
    }

    // A refusal is headed as one, a failure as a failure.
    void expectFailureThatChangedNothing(const QByteArray& priceList)
    {
        ASSERT_EQ(machine.dialogs.messages.size(), 1u);
        const auto& shown = machine.dialogs.messages.front();
        EXPECT_EQ(shown.icon, MessageIcon::Critical);
        const bool refused = outcome == korvane::Outcome::Refused;
        const QString& prefix = refused ? kRefusalPrefix : kFailurePrefix;
        EXPECT_EQ(shown.title, refused ? QStringLiteral("無法更新藥價") : QStringLiteral("錯誤"));
        EXPECT_TRUE(shown.text.startsWith(prefix)) << shown.text.toStdString();
        EXPECT_GT(shown.text.size(), prefix.size()) << "the failure gives no reason";
        EXPECT_EQ(drugs(), oldDrugs) << shortly(drugs());
        EXPECT_EQ(view.hideCalls, 0);
        QFile list(pricePath());
        ASSERT_TRUE(list.open(QIODevice::ReadOnly)) << "the price list is gone";
        EXPECT_TRUE(list.readAll() == priceList) << "the price list was changed";
    }

    // A column that holds nothing reads as a typed null; compare it as plain nothing.
    QList<QVariantList> drugs() const
    {
        QList<QVariantList> rows = db->rows(kDrugColumns);
        for (QVariantList& row : rows) {
            for (QVariant& value : row) {
                if (value.isNull())
                    value = QVariant();
            }
        }
        return rows;
    }
    QString pricePath() const { return machine.packFile(QStringLiteral("all.puf")); }

    TestMachine machine;
    FakeView view;
    std::unique_ptr<ClinicDatabase> db;
    std::unique_ptr<C52407301> action;
    korvane::Outcome outcome = korvane::Outcome::Failed;
    QList<QVariantList> oldDrugs;
};

// ---------------------------------------------------------------------------------------------
// One odd field (or a whole odd line) between ordinary lines.

struct NoRow
{
};
struct Unset
{
};
using Outcome = std::variant<QString, Unset, NoRow>;

struct OddFieldCase
{
    const char* name;
    int field; // -1: the bytes are the whole line
    QByteArray bytes;
    Outcome stored; // what the field's column holds, or that the column or the row is missing
};

void PrintTo(const OddFieldCase& c, std::ostream* os)
{
    *os << c.name;
}

class OddField : public BadInput, public ::testing::WithParamInterface<OddFieldCase>
{
};

TEST_P(OddField, isStoredAsItStandsOrLeftOut)
{
    const OddFieldCase& c = GetParam();
    QList<QByteArray> odd = drugFieldBytes(QStringLiteral("ODD0000100"));
    const QByteArray oddLine = c.field < 0 ? c.bytes : (odd[c.field] = c.bytes, joined(odd));
    // Ordinary lines on both sides: an odd line must not take its neighbours with it.
    writePriceList(QList<QByteArray>{joined(drugFieldBytes(QStringLiteral("BEFORE0100"))), oddLine,
                                     joined(drugFieldBytes(QStringLiteral("AFTER00100")))});
    run();
    if (std::holds_alternative<Unset>(c.stored)) {
        // A value the column refuses is named, never dropped in silence.
        EXPECT_EQ(outcome, korvane::Outcome::ItemsLeft);
        ASSERT_EQ(machine.dialogs.messages.size(), 1u);
        EXPECT_TRUE(machine.dialogs.messages[0].text.contains(QStringLiteral("第 3 行（代碼 ODD0000100）欄位")));
    } else if (std::holds_alternative<NoRow>(c.stored) && !QByteArray(c.bytes).replace('\t', "").isEmpty()) {
        // A line that is no drug record but holds something is named, never dropped in silence.
        expectSuccessNaming({QStringLiteral("略過第 3 行")});
    } else {
        expectSuccess();
    }

    QList<QVariantList> expected{drugRow(QStringLiteral("BEFORE0100"))};
    if (!std::holds_alternative<NoRow>(c.stored)) {
        QVariantList row = drugRow(QStringLiteral("ODD0000100"));
        const QString* text = std::get_if<QString>(&c.stored);
        row[c.field - 1] = text ? QVariant(*text) : QVariant();
        expected << row;
    }
    expected << drugRow(QStringLiteral("AFTER00100"));
    const QList<QVariantList> actual = drugs();
    EXPECT_TRUE(actual == expected) << "stored:" << shortly(actual) << "\nexpected:" << shortly(expected);
}

QByteArray repeated(const QByteArray& piece, qsizetype bytes)
{
    return piece.repeated(bytes / piece.size());
}

constexpr qsizetype kMiB = 1024 * 1024;

INSTANTIATE_TEST_SUITE_P(
    PriceList, OddField,
    ::testing::Values(
        // Byte sequences the code page cannot decode.
        OddFieldCase{"leadByteWithAnInvalidTrail", 7, QByteArray("AB\244\200CD"),
                     QStringLiteral("AB\uFFFDCD")},
        OddFieldCase{"leadByteBeforeASpace", 10, QByteArray("\xA5\x5C\xA4 \xB3\x5C"),
                     QStringLiteral("功\uFFFD 許")},
        OddFieldCase{"leadByteBeforeATab", 7, QByteArray("AB\xA4"), QStringLiteral("AB\uFFFD")},
        OddFieldCase{"leadByteBeforeTheLineEnd", 14, QByteArray("\xBC\x74\xA4"), QStringLiteral("廠\uFFFD")},
        OddFieldCase{"leadByteBeforeADigit", 9, QByteArray("\2441X"), QStringLiteral("\uFFFD1X")},
        // Single bytes plain Big5 lacks are read as the workstations' code page 950 reads them.
        OddFieldCase{"bytes80AndFF", 7, QByteArray("A\x80Z\xFF"), QStringLiteral("A\u0080Z\uF8F8")},
        // NUL bytes.
        OddFieldCase{"nulInText", 7, QByteArray("A\0B", 3), QString::fromUtf16(u"A\0B", 3)},
        OddFieldCase{"nulInCode", 3, QByteArray("AC\0X1", 5), QString::fromUtf16(u"AC\0X1", 5)},
        OddFieldCase{"nulInPrice", 4, QByteArray("12\0", 3), NoRow{}},
        OddFieldCase{"lineOfNuls", -1, QByteArray(64, '\0'), NoRow{}},
        // A megabyte in one field or one line.
        OddFieldCase{"megabyteEnglishNameTheColumnRefuses", 7, QByteArray(kMiB, 'M'), Unset{}},
        OddFieldCase{"megabyteIngredientText", 10, repeated("\xA5\x5C", kMiB),
                     QString(kMiB / 2, QChar(u'功'))},
        OddFieldCase{"megabyteLineWithoutTabs", -1, QByteArray(kMiB, 'X'), NoRow{}},
        OddFieldCase{"megabyteOfTabs", -1, QByteArray(kMiB, '\t'), NoRow{}}),
    caseName<OddFieldCase>);

// ---------------------------------------------------------------------------------------------
// Lists the update must refuse, keeping tblDrugs and the list as they were and the pack for
// another try: the message names the line.

struct DamagedListCase
{
    const char* name;
    QByteArray bytes; // after the header line
    QString says;
};

void PrintTo(const DamagedListCase& c, std::ostream* os)
{
    *os << c.name;
}

class DamagedList : public BadInput, public ::testing::WithParamInterface<DamagedListCase>
{
};

TEST_P(DamagedList, isRefusedAndEverythingKept)
{
    const QByteArray priceList = kHeader + "\r\n" + GetParam().bytes;
    writePriceList(priceList);
    run();
    expectFailureThatChangedNothing(priceList);
    ASSERT_FALSE(machine.dialogs.messages.empty());
    EXPECT_TRUE(machine.dialogs.messages.front().text.contains(GetParam().says))
        << machine.dialogs.messages.front().text.toStdString();
    EXPECT_EQ(outcome, korvane::Outcome::Refused);
}

QByteArray lineWith(int field, const QByteArray& bytes, const QString& code = QStringLiteral("ODD0000100"))
{
    QList<QByteArray> fields = drugFieldBytes(code);
    fields[field] = bytes;
    return joined(fields) + "\r\n";
}

const QByteArray kGoodLine = joined(drugFieldBytes(QStringLiteral("GOOD000100"))) + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    PriceList, DamagedList,
    ::testing::Values(
        // The first 150 kB of a list, say: the last line stops in the middle.
        DamagedListCase{"cutInTheMiddleOfALine", kGoodLine + kGoodLine + joined(drugFieldBytes(QStringLiteral("CUT0000100")).mid(0, 7)),
                        QStringLiteral("最後一行（第 4 行）沒有行尾，而且只有 7 個欄位")},
        // Cut inside the maker's name: all fields are there, the last one short, maybe half a
        // character.
        DamagedListCase{"cutInsideTheLastField", kGoodLine + joined(drugFieldBytes(QStringLiteral("CUT0000100"))).chopped(3),
                        QStringLiteral("最後一行（第 3 行）沒有行尾。藥價資料檔的每一行都以換行結束，檔案可能在傳送或複製時被截斷了")},

        // Nothing but drug lines whose prices were damaged: the first one is named.
        DamagedListCase{"everyPriceDamaged", lineWith(4, "1O.5") + lineWith(4, "12,3a", QStringLiteral("ODD0000200")),
                        QStringLiteral("沒有任何可以匯入的藥品資料，藥品資料維持原狀，未做任何變更。例如略過第 2 行（代碼 ODD0000100）：藥價「1O.5」不是數字。")},
        DamagedListCase{"undecodablePrice", kGoodLine + lineWith(4, "12\xA4") + kGoodLine,
                        QStringLiteral("第 3 行含有無法辨識的字元（全檔共 1 行如此）")},
        DamagedListCase{"undecodableLineThatIsNoRecord", kGoodLine + QByteArray("\xA4\x80\xA4\x80\r\n") + kGoodLine,
                        QStringLiteral("第 3 行含有無法辨識的字元")},
        // One damaged name among three drugs is tolerated (see OddField); two are too many.
        DamagedListCase{"tooManyDamagedNames", kGoodLine + lineWith(7, "AB\244\200CD") + lineWith(14, "\xA4"),
                        QStringLiteral("第 3 行含有無法辨識的字元（全檔共 2 行如此）")}),
    caseName<DamagedListCase>);

// A list saved as UTF-16, with or without its mark, is called what it is, never "cut short".
TEST_F(BadInput, AListInUtf16IsRefusedAsSuch)
{
    const QString text = QString::fromUtf8(kHeader) + QStringLiteral("\r\n") +
                         QString::fromUtf8(joined(drugFieldBytes(QStringLiteral("U16000100")))) + QStringLiteral("\r\n");
    const QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    for (const auto& [bytes, says] : {std::pair{QByteArray("\xFF\xFE") + utf16, QStringLiteral("UTF-16")},
                                      std::pair{utf16, QStringLiteral("不是文字檔")}}) {
        machine.dialogs.messages.clear();
        writePriceList(bytes);
        run();
        expectFailureThatChangedNothing(bytes);
        EXPECT_TRUE(machine.dialogs.messages.front().text.contains(says)) << qPrintable(machine.dialogs.messages.front().text);
        EXPECT_FALSE(machine.dialogs.messages.front().text.contains(QStringLiteral("截斷")));
    }
}

// ---------------------------------------------------------------------------------------------

struct LineEndCase
{
    const char* name;
    QByteArray first, second, third; // after the header, after line 1, after line 2
    QByteArray last;                 // after line 3
};

void PrintTo(const LineEndCase& c, std::ostream* os)
{
    *os << c.name;
}

class LineEnds : public BadInput, public ::testing::WithParamInterface<LineEndCase>
{
};

TEST_P(LineEnds, endEveryLine)
{
    const LineEndCase& c = GetParam();
    writePriceList(kHeader + c.first + joined(drugFieldBytes(QStringLiteral("AA00000100"))) + c.second +
                   joined(drugFieldBytes(QStringLiteral("BB00000100"))) + c.third +
                   joined(drugFieldBytes(QStringLiteral("CC00000100"))) + c.last);
    run();
    expectSuccess();
    EXPECT_EQ(drugs(), (QList<QVariantList>{drugRow(QStringLiteral("AA00000100")),
                                            drugRow(QStringLiteral("BB00000100")),
                                            drugRow(QStringLiteral("CC00000100"))}));
}

INSTANTIATE_TEST_SUITE_P(PriceList, LineEnds,
                         ::testing::Values(LineEndCase{"crOnly", "\r", "\r", "\r", "\r"},
                                           LineEndCase{"lfOnly", "\n", "\n", "\n", "\n"},
                                           LineEndCase{"mixed", "\r\n", "\n", "\r", "\r\n"}),
                         caseName<LineEndCase>);

// ---------------------------------------------------------------------------------------------

TEST_F(BadInput, AUtf8PriceListWithOrWithoutAByteOrderMarkKeepsItsChineseText)
{
    // Characters Big5 cannot hold (湯, 乂) show that the text really is read as UTF-8.
    QStringList fields = drugFields(QStringLiteral("UTF0000100"));
    fields[10] = QStringLiteral("許功蓋（湯乂）");
    fields[14] = QStringLiteral("台灣功學製藥");
    const QString text = korvane::platform::decodeAnsi(kHeader) + QStringLiteral("\r\n") +
                         fields.join(u'\t') + QStringLiteral("\r\n");
    QVariantList expected = drugRow(QStringLiteral("UTF0000100"));
    expected[9] = QStringLiteral("許功蓋（湯乂）");
    expected[13] = QStringLiteral("台灣功學製藥");
    for (const QByteArray& mark : {QByteArray("\xEF\xBB\xBF"), QByteArray()}) {
        SCOPED_TRACE(mark.isEmpty() ? "without the mark" : "with the mark");
        machine.dialogs.messages.clear();
        view.hideCalls = 0;
        writePriceList(mark + text.toUtf8());
        run();
        expectSuccess();
        EXPECT_EQ(drugs(), QList<QVariantList>{expected});
    }
}

TEST_F(BadInput, TextThatLooksLikeSqlIsStoredVerbatimAndRunsNothing)
{
    const QList<QVariantList> schemaBefore =
        db->rows(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY name"));
    const QVariantList tempBefore = db->rows(QStringLiteral("SELECT pKey, pValue FROM tblTemp")).value(0);
    ASSERT_FALSE(tempBefore.isEmpty());

    // Each text field gets as much of the payload as its column holds.
    const std::vector<std::pair<int, int>> textFields{{1, 2},   {2, 10},  {3, 12},  {7, 255}, {9, 50},
                                                      {10, -1}, {12, 50}, {13, 50}, {14, 100}};
    const QStringList payloads{QStringLiteral("';x'); DROP TABLE tblTemp; --"),
                               QStringLiteral("\"-\"; DELETE FROM tblDrugs WHERE 1=1; --"),
                               QStringLiteral("--' OR ''=' ; ALTER TABLE tblDrugs ADD COLUMN x INT; --"),
                               QStringLiteral("\\'\"; UPDATE tblTemp SET pValue='x'; /*")};
    QList<QByteArray> lines;
    QList<QVariantList> expected;
    for (qsizetype i = 0; i < payloads.size(); ++i) {
        const QString code = QStringLiteral("SQL%1").arg(i, 4, 10, QChar(u'0'));
        QStringList fields = drugFields(code);
        QVariantList row = drugRow(code);
        for (const auto& [field, length] : textFields) {
            const QString value = length < 0 ? payloads[i] : payloads[i].left(length);
            fields[field] = value;
            row[field - 1] = value;
        }
        // Numbers and dates that carry statements are no numbers and no dates.
        fields[5] = QStringLiteral("1130401'); DROP TABLE tblDrugs; --");
        row[4] = QVariant();
        fields[8] = QStringLiteral("1; DROP TABLE tblTemp");
        row[7] = 0.0;
        lines << encodeAnsi(fields.join(u'\t'));
        expected << row;
    }
    writePriceList(lines);
    run();
    // The code field carries a payload too.
    expectSuccessNaming({QStringLiteral("第 2 行（代碼 ';x'); DROP ）欄位「藥價參考日期」：「1130401'); DROP TABLE tblDrugs; --」不是日期，該欄留白"),
                         QStringLiteral("第 5 行（代碼 \\'\"; UPDATE ）欄位「藥品規格量」：「1; DROP TABLE tblTemp」不是數字，以 0 存入")});
    EXPECT_EQ(drugs(), expected);
    EXPECT_EQ(db->rows(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY name")),
              schemaBefore);
    EXPECT_EQ(db->rows(QStringLiteral("SELECT pKey, pValue FROM tblTemp")), QList<QVariantList>{tempBefore});
}

// ---------------------------------------------------------------------------------------------

struct ConfigCase
{
    const char* name;
    std::function<QByteArray(const TestMachine&)> bytes;
};

void PrintTo(const ConfigCase& c, std::ostream* os)
{
    *os << c.name;
}

class BrokenConfig : public BadInput, public ::testing::WithParamInterface<ConfigCase>
{
};

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes)
        byte = char(random.bounded(256));
    // NULs are what binary files hold most.
    for (qsizetype i = 0; i < size; i += 7)
        bytes[i] = '\0';
    return bytes;
}

TEST_P(BrokenConfig, failsAndChangesNothing)
{
    machine.writeFile(machine.installFile(QStringLiteral("Korvane.config")), GetParam().bytes(machine));
    const QByteArray priceList =
        kHeader + "\r\n" + joined(drugFieldBytes(QStringLiteral("NEW0000100"))) + "\r\n";
    writePriceList(priceList);
    run();
    expectFailureThatChangedNothing(priceList);
    EXPECT_NE(outcome, korvane::Outcome::Done);
}

INSTANTIATE_TEST_SUITE_P(
    Configuration, BrokenConfig,
    ::testing::Values(
        ConfigCase{"empty", [](const TestMachine&) { return QByteArray(); }},
        ConfigCase{"onlyALineEnd", [](const TestMachine&) { return QByteArray("\r\n"); }},
        ConfigCase{"binary", [](const TestMachine&) { return randomBytes(4096, 1); }},
        // Longer than the configuration reader can search.
        ConfigCase{"largeBinary", [](const TestMachine&) { return randomBytes(100 * 1024, 2); }},
        ConfigCase{"binaryNamingAnAccessFile",
                   [](const TestMachine&) {
                       return QByteArray("\0\xFF\x01.mdb\x02\0\r\n", 11) + randomBytes(512, 3);
                   }},
        ConfigCase{"namingAFileThatIsNoDatabase",
                   [](const TestMachine& m) {
                       const QString path = m.installFile(QStringLiteral("broken.mdb"));
                       m.writeFile(path, randomBytes(8192, 4));
                       return path.toUtf8() + "\r\n";
                   }},
        ConfigCase{
            "unclosedElements",
            [](const TestMachine&) { return QByteArray("<SQLNCLI>10\r\n<IP>127.0.0.1\r\n<DB>clinic\r\n"); }},
        ConfigCase{
            "unclosedStartTags",
            [](const TestMachine&) { return QByteArray("<config>\r\n<SQLNCLI\r\n<IP 127.0.0.1\r\n<DB"); }},
        ConfigCase{"endTagsOnly",
                   [](const TestMachine&) { return QByteArray("</SQLNCLI></IP>127.0.0.1</DB>clinic<DB>"); }}),
    caseName<ConfigCase>);

} // namespace
