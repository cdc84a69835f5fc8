// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ClinicDatabase.h"
#include "MachineAbility.h"
#include "jetcheck/OdbcTrace.h"
#include "platform/database/JetSql.h"

#include <QDirIterator>
#include <QFile>
#include <QLibrary>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using korvane::OdbcTrace;
using korvane::TracedStatement;
using korvane::platform::JetSql;
using korvane::test::ClinicDatabase;

namespace {

// The host's SQLite ODBC driver, registered under the desktop driver's name as the Wine run does:
// the one built for this process (the 32-bit one for Wine's may be there too).
QString sqliteOdbcDriver()
{
    for (const QString& root : {QStringLiteral("/usr/lib"), QStringLiteral("/usr/lib64")}) {
        QDirIterator files(root, {QStringLiteral("libsqlite3odbc.so")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QLibrary library(files.next());
            if (library.load()) {
                library.unload();
                return library.fileName();
            }
        }
    }
    return {};
}

// As the driver manager writes a wide text into its trace: each UTF-16 unit cut to its low byte.
QString narrowed(const QString& text)
{
    QString result = text;
    for (QChar& c : result)
        c = QChar(c.unicode() & 0xff);
    return result;
}

struct Sent
{
    const char* how; // "prepare" or "direct"
    QString statement;
    bool refused;
};

class JetTrace : public ::testing::Test
{
protected:
    void SetUp() override
    {
        driver = sqliteOdbcDriver();
        KORVANE_REQUIRE_ABILITY("The SQLite ODBC driver (package libsqliteodbc)",
                                driver.isEmpty() ? QStringLiteral("libsqlite3odbc.so not found") : QString());
        ClinicDatabase db = ClinicDatabase::create(dir.filePath(QStringLiteral("dbKorvane.mdb")));
        db.exec(QStringLiteral("CREATE TABLE tblDrugBag (藥品代碼 TEXT)"));
    }

    // The trace of a fresh process that sent the statements through Qt's ODBC driver.
    QString traceOf(const std::vector<Sent>& sent)
    {
        // The driver manager cuts a long trace path short: the folder's own is short enough.
        QFile ini(dir.filePath(QStringLiteral("odbcinst.ini")));
        const QString trace = dir.filePath(QStringLiteral("trace.log"));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(QStringLiteral(
                      "[ODBC]\nTrace=Yes\nTraceFile=%1\n\n[Microsoft Access Driver (*.mdb)]\nDriver=%2\n")
                      .arg(trace, driver)
                      .toUtf8());
        ini.close();
        QFile::remove(trace);
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ODBCSYSINI"), dir.path());
        child.setProcessEnvironment(environment);
        child.start(QStringLiteral(KORVANE_ODBC_TRACE_CHILD),
                    {QStringLiteral("DRIVER={Microsoft Access Driver (*.mdb)};Database=") +
                     dir.filePath(QStringLiteral("dbKorvane.mdb")) + u';'});
        for (const Sent& s : sent)
            child.write((QString::fromLatin1(s.how) + u':' + s.statement + u'\n').toUtf8());
        child.closeWriteChannel();
        EXPECT_TRUE(child.waitForFinished(30000));
        EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
        return trace;
    }

    struct Checked
    {
        int exitCode;
        QString out;
    };
    static Checked jetcheck(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral(KORVANE_JETCHECK), arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        return {process.exitCode(),
                QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())};
    }

    QTemporaryDir dir{QStringLiteral("/tmp/jettrace.XXXXXX")};
    QString driver;
};

TEST_F(JetTrace, ReadsEveryStatementSentAndNamesWhatJetRefuses)
{
    const QString insert = QStringLiteral(
        "INSERT INTO tblDrugs "
        "([新],[單複方註記],[代碼],[藥價參考金額],[藥價參考日期],[藥價參考截止日期],[藥品英文名稱],"
        "[藥品規格量],[藥品規格單位],[成份],[成份含量],[含量單位],[藥品劑型],[製造廠名稱]) "
        "VALUES (1,1,1,1,NULL,NULL,1,1,1,1,1,1,1,1)");
    const std::vector<Sent> sent{
        {"prepare",
         QStringLiteral(
             "SELECT 代碼, 藥品英文名稱, 藥價參考金額 FROM tblDrugs WHERE 藥價參考日期 IS NULL ORDER BY id"),
         false},
        {"direct", QStringLiteral("DELETE FROM tblDrugs WHERE 代碼 LIKE 'AC%'"), false},
        {"prepare", insert, false},
        // Data, not constructs: a quote doubled in a literal that reads CASE, a bracketed name.
        {"prepare", QStringLiteral("SELECT [藥品代碼] FROM tblDrugBag WHERE 藥品代碼='A''CASE || x'"), false},
        {"direct",
         QStringLiteral(
             "SELECT 代碼 FROM tblDrugs ORDER BY CASE WHEN 藥價參考日期 IS NULL THEN 0 ELSE 1 END, id"),
         true},
        {"prepare", QStringLiteral("INSERT INTO tblTemp (pKey, pValue) VALUES ('a', 'b'), ('c', 'd')"), true},
    };
    std::vector<TracedStatement> traced;
    {
        QFile file(traceOf(sent));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "no trace was written";
        traced = OdbcTrace::statements(file);
    }
    // Qt's ODBC driver may send a probe of its own when it connects.
    std::erase_if(traced, [](const TracedStatement& s) { return s.text == QStringLiteral("select 'test'"); });
    ASSERT_EQ(traced.size(), sent.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        const TracedStatement& t = traced[i];
        EXPECT_EQ(t.function, std::string_view(sent[i].how) == "prepare" ? QStringLiteral("SQLPrepareW")
                                                                         : QStringLiteral("SQLExecDirectW"));
        // Qt counts the zero that ends the text.
        EXPECT_TRUE(t.length == sent[i].statement.size() || t.length == sent[i].statement.size() + 1)
            << t.length;
        EXPECT_GT(t.line, 0);
        // The long insert shows only as far as the trace keeps it.
        EXPECT_EQ(t.cut, sent[i].statement == insert);
        EXPECT_TRUE(t.cut ? narrowed(sent[i].statement).startsWith(t.text) && t.text.size() > 100
                          : t.text == narrowed(sent[i].statement))
            << qPrintable(t.text);
        EXPECT_EQ(!JetSql::refusals(t.text).empty(), sent[i].refused) << qPrintable(t.text);
    }

    const auto checked = jetcheck({dir.filePath(QStringLiteral("trace.log"))});
    EXPECT_EQ(checked.exitCode, 1) << qPrintable(checked.out);
    EXPECT_TRUE(checked.out.contains(QStringLiteral("SQLExecDirectW refused by Jet: ")) &&
                checked.out.contains(QStringLiteral("CASE (at ")) &&
                checked.out.contains(QStringLiteral("VALUES (...), (...) (at ")) &&
                checked.out.contains(QStringLiteral("2 refused")))
        << qPrintable(checked.out);
    // The statement it could not see whole is named, with how much it saw.
    EXPECT_TRUE(checked.out.contains(QStringLiteral(" characters shown: INSERT INTO tblDrugs (")))
        << qPrintable(checked.out);
}

TEST_F(JetTrace, JetcheckPassesJetSqlAndRefusesATraceWithoutStatements)
{
    const QString trace = traceOf({{"prepare", QStringLiteral("SELECT * FROM tblTemp WHERE pKey='@'"), false},
                                   {"direct", QStringLiteral("DELETE FROM tblDrugs"), false}});
    const auto passed = jetcheck({trace});
    EXPECT_EQ(passed.exitCode, 0) << qPrintable(passed.out);
    EXPECT_TRUE(passed.out.contains(QStringLiteral(" 0 refused"))) << qPrintable(passed.out);

    // A trace of nothing checks nothing: that is no pass (a run without Trace=Yes, say).
    QFile empty(dir.filePath(QStringLiteral("empty.log")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_EQ(jetcheck({empty.fileName()}).exitCode, 2);
    EXPECT_EQ(jetcheck({dir.filePath(QStringLiteral("missing.log"))}).exitCode, 2);
}

} // namespace
