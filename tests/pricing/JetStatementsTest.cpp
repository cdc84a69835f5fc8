// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "C52407301TestAccess.h"
#include "DrugProfileData.h"
#include "PriceListText.h"
#include "TestServices.h"
#include "actions/ActionImpl.h"
#include "actions/RunRecord.h"
#include "drugbag/C524011002.h"
#include "drugbag/C524011003.h"
#include "pricing/CDrugPriceUndoActioner.h"
#include "platform/AnsiText.h"
#include "platform/database/AccessDialect.h"
#include "platform/database/JetSql.h"
#include "platform/database/StatementLog.h"

#include <QFileInfo>
#include <QStringList>
#include <gtest/gtest.h>
#include <map>

using korvane::Outcome;
using korvane::platform::AccessDialect;
using korvane::platform::JetSql;
using korvane::platform::OpenMode;
using korvane::test::ClinicDatabase;
using korvane::test::drugLine;

namespace {

// What the actions' connections open and send, by the action that made them send it. The
// embedded database stands in for the Access file and is sent the same statements; its own
// (PRAGMA, BEGIN IMMEDIATE, its probe of sqlite_master) never reach a log.
class Capture : public korvane::platform::StatementLog
{
public:
    void opening(const QString& connectionText, OpenMode mode) override
    {
        opened[action] << AccessDialect::connectionText(connectionText, mode);
    }
    void sent(const QString& statement) override
    {
        if (!statements[action].contains(statement))
            statements[action] << statement;
    }

    QString action;
    std::map<QString, QStringList> opened;     // the desktop driver's texts
    std::map<QString, QStringList> statements; // each once, in the order first sent
};

const korvane::StepList kNoSteps(0, {});

// The application update as the start-up action wraps it, writing the applied-update key
// through the context's connection as every such actioner can.
class KeyWriter : public korvane::ContextActioner
{
public:
    KeyWriter() : ContextActioner(kNoSteps) {}
    QVariant getDescription() override { return {}; }
    QString getAppName() override { return {}; }
    Outcome action(korvane::IUpdatorView&) override
    {
        setUpdateTimeStamp(QStringLiteral("2024年4月"));
        writeUpdateKey();
        return Outcome::Done;
    }
};

QString withField(QString line, int field, const QString& value)
{
    QStringList fields = line.split(u'\t');
    fields[field] = value;
    return fields.join(u'\t');
}

class JetStatements : public ::testing::Test
{
protected:
    void SetUp() override
    {
        machine.statementLog = &capture;
        // Drugs without a date, a code priced twice, and AC drugs with labels to copy.
        for (const auto& [code, date] : {std::pair{"AC00001100", "<null>"},
                                         {"AC00002100", "2024-01-01 00:00:00"},
                                         {"AC00002100", "2024-04-01 00:00:00"},
                                         {"BC00003100", "<null>"}})
            korvane::test::addRows(clinic, "tblDrugs (代碼, 藥價參考日期)",
                                   {QString::fromUtf8(code) + u'|' + QString::fromUtf8(date)});
        // Labels to copy: one to an AC drug without a label yet, one over an AC label.
        korvane::test::addRows(
            profile, "tblDrugBag (藥品代碼, 英文品名, 中文品名, 適應症)",
            {"A000001100|ONE|一|頭痛", "A000002100|TWO|二|<null>", "AC00002100|OLD|舊|胃痛"});
        machine.writeFile(
            machine.packFile(QStringLiteral("all.puf")),
            korvane::platform::ansiTextWithCrLf(
                {korvane::test::priceListHeader(), drugLine(1, QStringLiteral("AC00001100")),
                 drugLine(2, QStringLiteral("AC00002100"), QStringLiteral("10"), QStringLiteral("1130101")),
                 drugLine(3, QStringLiteral("AC00002100"), QStringLiteral("11"), QStringLiteral("1130401")),
                 // A code too long for its column, and a value too long for another.
                 drugLine(4, QStringLiteral("AC000041000XX")),
                 withField(drugLine(5, QStringLiteral("AC00005100")), 1, QStringLiteral("新新新"))}));
    }

    void as(const char* action) { capture.action = QString::fromUtf8(action); }
    // A run with its record, which an undo finds its run in.
    Outcome recorded(korvane::IAction& action)
    {
        korvane::RunRecorder recorder(machine.services(), QStringLiteral("test"), QString());
        recorder.start();
        const Outcome outcome = action.action(view);
        recorder.finish(outcome, action);
        return outcome;
    }

    korvane::test::TestMachine machine;
    korvane::test::FakeView view;
    Capture capture;
    ClinicDatabase clinic = ClinicDatabase::create(machine.installFile(QStringLiteral("dbKorvane.mdb")));
    ClinicDatabase profile = korvane::test::drugProfile(
        machine.installFile(QStringLiteral("tools/dbDrugProfile.mdb")), {12, 6, 6}, &clinic);
};

TEST_F(JetStatements, EveryStatementTheActionsSendIsJetSql)
{
    korvane::C52407301 update(machine.services());
    update.setAllowShrink(true); // the few drugs of this list stand for all
    as("C52407301 --dry-run");
    EXPECT_NO_THROW(update.previewChanges());
    as("C52407301");
    EXPECT_EQ(recorded(update), Outcome::ItemsLeft); // the refused values
    // Taken back, previewed first, and the taking back taken back in turn.
    korvane::CDrugPriceUndoActioner undo(machine.services());
    as("CDrugPriceUndoActioner --dry-run");
    EXPECT_NO_THROW(undo.previewChanges());
    as("CDrugPriceUndoActioner");
    EXPECT_EQ(recorded(undo), Outcome::Done);
    EXPECT_EQ(recorded(undo), Outcome::Done);
    as("applied-update key");
    korvane::C52407301TestAccess::writeUpdateKey(update);
    as("C524011003 --dry-run");
    EXPECT_EQ(korvane::C524011003(machine.services()).previewChanges().outcome, Outcome::Done);
    as("C524011002 --dry-run");
    EXPECT_EQ(korvane::C524011002(machine.services()).previewChanges().outcome, Outcome::Done);
    as("C524011003");
    EXPECT_EQ(korvane::C524011003(machine.services()).action(view), Outcome::Done);
    as("C524011002");
    EXPECT_EQ(korvane::C524011002(machine.services()).action(view), Outcome::Done);
    as("ActionImpl");
    korvane::ActionImpl startup(machine.services(), [] { return std::make_shared<KeyWriter>(); });
    EXPECT_EQ(startup.action(view), Outcome::Done);

    for (const auto& [action, statements] : capture.statements) {
        for (const QString& statement : statements) {
            const auto refused = JetSql::refusals(statement);
            EXPECT_TRUE(refused.empty()) << qPrintable(action) << " sends what Jet refuses:\n"
                                         << qPrintable(statement) << '\n'
                                         << qPrintable(JetSql::describe(refused));
            EXPECT_FALSE(statement.startsWith(QStringLiteral("PRAGMA")) ||
                         statement.startsWith(QStringLiteral("BEGIN")) ||
                         statement.contains(QStringLiteral("sqlite_master")))
                << "the embedded engine's own statement reached the log: " << qPrintable(statement);
        }
    }
    // Every action was heard, with what it changes or reads.
    const auto sentBy = [&](const char* action) {
        return capture.statements[QString::fromUtf8(action)].join(u'\n');
    };
    const QString readAll = QStringLiteral("SELECT 新, 單複方註記, 代碼, 藥價參考金額, 藥價參考日期, 藥價參考截止日期, "
                                           "藥品英文名稱, 藥品規格量, 藥品規格單位, 成份, 成份含量, 含量單位, "
                                           "藥品劑型, 製造廠名稱 FROM tblDrugs ORDER BY id");
    EXPECT_TRUE(sentBy("C52407301 --dry-run").contains(readAll));
    EXPECT_TRUE(sentBy("C52407301").contains(readAll) && sentBy("C52407301").contains(QStringLiteral("INSERT INTO tblDrugs ([")));
    EXPECT_TRUE(sentBy("CDrugPriceUndoActioner --dry-run").contains(readAll));
    EXPECT_TRUE(sentBy("CDrugPriceUndoActioner").contains(readAll) &&
                sentBy("CDrugPriceUndoActioner").contains(QStringLiteral("DELETE FROM tblDrugs")) &&
                sentBy("CDrugPriceUndoActioner").contains(QStringLiteral("INSERT INTO tblDrugs ([")));
    EXPECT_TRUE(
        sentBy("applied-update key").contains(QStringLiteral("INSERT INTO tblTemp ([pKey],[pValue])")));
    EXPECT_TRUE(sentBy("C524011003").contains(QStringLiteral("UPDATE tblDrugBag SET [")));
    EXPECT_TRUE(sentBy("C524011002")
                    .contains(QStringLiteral("SELECT COUNT(*) FROM tblDrugs WHERE 代碼 LIKE 'AC%'")) &&
                sentBy("C524011002").contains(QStringLiteral("INSERT INTO tblDrugBag ([")) &&
                sentBy("C524011002").contains(QStringLiteral("UPDATE tblDrugBag SET [")));
    EXPECT_TRUE(sentBy("ActionImpl").contains(QStringLiteral("INSERT INTO tblTemp ([pKey],[pValue])")));
    // The drug-bag dry runs read what their runs read, and change nothing.
    for (const char* dryRun : {"C524011003 --dry-run", "C524011002 --dry-run"}) {
        EXPECT_TRUE(sentBy(dryRun).contains(QStringLiteral("SELECT * FROM tblDrugBag WHERE 藥品代碼=?"))) << dryRun;
        for (const char* writing : {"INSERT", "UPDATE", "DELETE"})
            EXPECT_FALSE(sentBy(dryRun).contains(QString::fromLatin1(writing))) << dryRun << " sends " << writing;
    }

    // What the desktop driver would be given: a run that writes has its database to itself, a
    // preview (refused, as its run, where another program has the file) and the clinic drugs the
    // labels are copied for are read beside whoever has them,
    // and the start-up opens the clinic database as its text says, shared: the update it starts
    // stops Korvane itself.
    const auto texts = [&](const char* action) {
        QStringList opened;
        for (const QString& text : capture.opened[QString::fromUtf8(action)])
            opened << QFileInfo(text.section(QStringLiteral(";DBQ="), 1).section(u';', 0, 0)).fileName() +
                          (text.contains(QStringLiteral(";Exclusive=1;")) ? QStringLiteral(" Exclusive=1")
                                                                          : QString()) +
                          (text.contains(QStringLiteral(";ReadOnly=1;")) ? QStringLiteral(" ReadOnly=1")
                                                                         : QString());
        return opened;
    };
    EXPECT_EQ(texts("C52407301 --dry-run"), QStringList{"dbKorvane.mdb ReadOnly=1"});
    EXPECT_EQ(texts("C52407301"), QStringList{"dbKorvane.mdb Exclusive=1"});
    EXPECT_EQ(texts("CDrugPriceUndoActioner --dry-run"), QStringList{"dbKorvane.mdb ReadOnly=1"});
    EXPECT_EQ(texts("CDrugPriceUndoActioner"), (QStringList{"dbKorvane.mdb Exclusive=1", "dbKorvane.mdb Exclusive=1"}));
    EXPECT_EQ(texts("applied-update key"), QStringList{"dbKorvane.mdb Exclusive=1"});
    EXPECT_EQ(texts("C524011003"), QStringList{"dbDrugProfile.mdb Exclusive=1"});
    EXPECT_EQ(texts("C524011003 --dry-run"), QStringList{"dbDrugProfile.mdb ReadOnly=1"});
    EXPECT_EQ(texts("C524011002 --dry-run"),
              (QStringList{"dbKorvane.mdb ReadOnly=1", "dbDrugProfile.mdb ReadOnly=1"}));
    EXPECT_EQ(texts("C524011002"),
              (QStringList{"dbKorvane.mdb ReadOnly=1", "dbDrugProfile.mdb Exclusive=1"}));
    EXPECT_EQ(texts("ActionImpl"), QStringList{"dbKorvane.mdb"});
}

} // namespace
