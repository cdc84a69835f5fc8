// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// updatlet as IT staff run it: a real process, a real installation found through the settings
// store, a real pack folder.

#include "ClinicDatabase.h"
#include "platform/AnsiText.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using korvane::test::ClinicDatabase;

namespace {

const QString kHeader = QStringLiteral("id\t新\t單複方註記\t代碼\t藥價參考金額\t藥價參考日期\t藥價參考截止日期\t藥品英文名稱\t"
                                       "藥品規格量\t藥品規格單位\t成份\t成份含量\t含量單位\t藥品劑型\t製造廠名稱");

struct ProcessResult
{
    int exitCode;
    QString out;
    QString err;
};

class Updatlet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("config/Korvane"));
        root.mkpath(QStringLiteral("Korvane"));
        root.mkpath(QStringLiteral("pack"));
        QFile ini(dir.filePath(QStringLiteral("config/Korvane/Korvane.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Options]\r\nKorvaneStartupPath=" + dir.filePath(QStringLiteral("Korvane")).toUtf8() + "\r\n");
        ini.close();
        db = std::make_unique<ClinicDatabase>(ClinicDatabase::create(dir.filePath(QStringLiteral("Korvane/dbKorvane.mdb"))));
        db->exec(QStringLiteral("INSERT INTO tblDrugs (代碼) VALUES ('OLD')"));
    }

    void writePriceList(const QStringList& lines)
    {
        QFile file(dir.filePath(QStringLiteral("pack/all.puf")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(korvane::platform::ansiTextWithCrLf(lines));
    }

    ProcessResult run(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(KORVANE_UPDATLET), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    QStringList packArgs() const { return {QStringLiteral("--pack-folder"), dir.filePath(QStringLiteral("pack"))}; }

    QTemporaryDir dir;
    std::unique_ptr<ClinicDatabase> db;
};

TEST_F(Updatlet, RunsTheDrugPriceUpdateAndShowsItsSteps)
{
    writePriceList({kHeader, QStringLiteral("1\t\t單方\tAC12345100\t12.5\t1130401\t9991231\tX\t1\tMG\t功\t1\tMG\t錠劑\t許")});
    const ProcessResult result = run(packArgs() << QStringLiteral("C52407301"));
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.out + result.err);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT group_concat(代碼) FROM tblDrugs")).toString(), QStringLiteral("AC12345100"));
    EXPECT_TRUE(result.out.contains(QStringLiteral(" 藥價更新程式序號 v1.0.0.6"))) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(QStringLiteral("V\t新增藥品資料到資料庫中"))) << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(QStringLiteral("開始時間："))) << qPrintable(result.out);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("pack/all.puf"))));
    // It never writes a self-removal script.
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("pack/destroy.bat"))));
}

TEST_F(Updatlet, AFailureShowsTheCriticalMessageAndExitsWithOne)
{
    writePriceList({kHeader});
    const ProcessResult result = run(packArgs());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE((result.out + result.err).contains(QStringLiteral("更新藥價作業失敗，可能的原因為："))) << qPrintable(result.out);
    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 1);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("pack/all.puf"))));
}

TEST_F(Updatlet, UsageErrorsExitWithTwo)
{
    for (const QStringList& arguments : {QStringList{QStringLiteral("CNoSuchAction")},
                                         QStringList{QStringLiteral("C52407301"), QStringLiteral("extra")},
                                         QStringList{QStringLiteral("--no-such-option")},
                                         QStringList{QStringLiteral("--pack-folder"), dir.filePath(QStringLiteral("missing"))}}) {
        const ProcessResult result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << qPrintable(arguments.join(u' '));
        EXPECT_TRUE(result.err.contains(QStringLiteral("usage: updatlet"))) << qPrintable(result.err);
    }
    EXPECT_EQ(db->count(QStringLiteral("tblDrugs")), 1);
}

} // namespace
