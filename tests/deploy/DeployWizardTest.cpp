// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The deployment packs as the clinic runs them: the wizard around each action, headless, on a
// real installation folder and pack folder.

#include "ClinicDatabase.h"
#include "DeployTestSupport.h"
#include "PackDriver.h"
#include "catalogue/ActionCatalogue.h"
#include "platform/widgets/WidgetDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QTimer>
#include <gtest/gtest.h>

using korvane::test::ClinicDatabase;
using korvane::test::PackDriver;
using korvane::test::TestMachine;
using korvane::test::tree;

namespace {

PackDriver::ActionMaker packOf(const char* action)
{
    const korvane::ActionEntry* entry = korvane::ActionCatalogue::find(QString::fromLatin1(action));
    EXPECT_NE(entry, nullptr) << action;
    return [entry](const korvane::platform::Services& services) { return entry->create(services); };
}

class DeployWizard : public ::testing::Test
{
protected:
    TestMachine machine;
};

TEST_F(DeployWizard, TheProgramPacksInstallAndOnlyTheApplicationUpdateRemovesItself)
{
    for (const char* action : {"CExeUpdateActioner", "CKorvaneUpdateActioner"}) {
        SCOPED_TRACE(action);
        machine.writeFile(machine.packFile(QStringLiteral("korvane.exe")), action);
        PackDriver pack(machine, packOf(action));
        pack.pressOk();
        EXPECT_EQ(tree(machine.installFolder()).value(QStringLiteral("korvane.exe")), action);
        EXPECT_TRUE(machine.dialogs.messages.empty());
    }
    ASSERT_EQ(machine.processes.selfRemovals.size(), 1u);
    EXPECT_TRUE(machine.processes.selfRemovals[0].target.endsWith(QStringLiteral("UP47120901.exe")));
    EXPECT_EQ(machine.processes.endCalls, 1);
}

TEST_F(DeployWizard, TheStartUpPackNeedsTheDatabaseAndShowsTheCompletionOnlyAfterAnUpdate)
{
    const auto run = [this] {
        machine.dialogs.messages.clear();
        PackDriver pack(machine, packOf("ActionImpl"));
        pack.pressOk();
        EXPECT_FALSE(QFile::exists(machine.packFile(QStringLiteral("destroy.bat"))));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(pack.form.isNull()) << "the wizard stays open";
        return machine.dialogs.messages.size() == 1 ? machine.dialogs.messages[0].text : QString();
    };
    machine.writeFile(machine.packFile(QStringLiteral("icd10")), "new codes");
    EXPECT_TRUE(run().startsWith(QStringLiteral("無法開啟 Korvane 的資料庫")));
    EXPECT_TRUE(QFile::exists(machine.packFile(QStringLiteral("icd10"))));

    ClinicDatabase::create(machine.installFile(QStringLiteral("dbKorvane.mdb")));
    EXPECT_EQ(run(), QStringLiteral("更新作業完成，請點選「關閉」按鈕離開本精靈。"));
    EXPECT_EQ(tree(machine.installFolder()).value(QStringLiteral("icd10")), "new codes");

    // Nowhere to put the QR-code agent: the update failed, and says so instead of completing.
    machine.writeFile(machine.packFile(QStringLiteral("QrCodeAgent.exe")), "agent");
    EXPECT_TRUE(run().contains(QStringLiteral("QrCodeAgent.exe")));
    EXPECT_EQ(machine.processes.endCalls, 0);
}

// The printer question as the clinic sees it: the platform's own input box over the wizard.
TEST_F(DeployWizard, ThePrinterQuestionIsTheInputBoxAndItsAnswerChoosesTheBuild)
{
    machine.writeFile(machine.packFile(QStringLiteral("001.exe")), "epson build");
    machine.writeFile(machine.packFile(QStringLiteral("002.exe")), "inkjet build");
    QString title;
    QString label;
    QString startText = QStringLiteral("?");
    // Answers the box once the action has shown it.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        watch.stop();
        title = box->windowTitle();
        label = box->labelText();
        startText = box->textValue();
        const QString folder = qEnvironmentVariable("KORVANE_SCREENSHOT_DIR");
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            box->grab().save(QDir(folder).filePath(QStringLiteral("printer-prompt.png")));
        }
        box->setTextValue(QStringLiteral(" 2 "));
        box->accept();
    });
    watch.start(20);
    korvane::platform::WidgetDialogs dialogs;
    PackDriver pack(machine, packOf("CDrugDeployActioner"));
    pack.pressOk(machine.services().with(dialogs));

    EXPECT_EQ(title, QStringLiteral("選項"));
    EXPECT_EQ(label, QStringLiteral(
                         "請選擇您的印表機型號：\n\n1.Epson LQ 300+ II。\n2.噴墨印表機。\n3.取消更新作業"));
    EXPECT_EQ(startText, QString());
    EXPECT_EQ(tree(machine.installFolder()).value(QStringLiteral("tools/DrugBagPrinter.exe")),
              "inkjet build");
    EXPECT_TRUE(tree(machine.packFolder()).isEmpty());
    EXPECT_EQ(machine.processes.endCalls, 0);
}

} // namespace
