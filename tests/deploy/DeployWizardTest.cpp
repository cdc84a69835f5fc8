// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The deployment packs as the clinic runs them: the wizard around each action, headless, on a
// real installation folder and pack folder.

#include "ClinicDatabase.h"
#include "KorvaneStandIns.h"
#include "PackDriver.h"
#include "catalogue/ActionCatalogue.h"
#include "platform/widgets/WidgetDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QTimer>
#include <gtest/gtest.h>

using namespace korvane::test;

namespace {

PackDriver::ActionMaker packOf(const char* action)
{
    const korvane::ActionEntry* entry = korvane::ActionCatalogue::find(QString::fromLatin1(action));
    EXPECT_NE(entry, nullptr) << action;
    return [entry](const korvane::platform::Services& services) { return entry->create(services); };
}

TEST(DeployWizard, TheProgramPacksInstallAndOnlyTheApplicationUpdateRemovesItself)
{
    TestMachine machine;
    for (const char* action : {"CExeUpdateActioner", "CKorvaneUpdateActioner"}) {
        SCOPED_TRACE(action);
        machine.writeFile(machine.packFile("korvane.exe"), action);
        PackDriver(machine, packOf(action)).pressOk();
        EXPECT_EQ(tree(machine.installFolder()).value("korvane.exe"), action);
        EXPECT_TRUE(machine.dialogs.messages.empty());
    }
    ASSERT_EQ(machine.processes.selfRemovals.size(), 1u);
    EXPECT_TRUE(machine.processes.selfRemovals[0].target.endsWith("UP47120901.exe"));
    EXPECT_EQ(machine.processes.endCalls, 1);
}

TEST(DeployWizard, TheStartUpPackNeedsTheDatabaseAndShowsTheCompletionOnceAfterAnUpdate)
{
    TestMachine machine;
    // The one message of a run, whose wizard closes; the start-up pack never removes itself.
    const auto run = [&machine] {
        machine.dialogs.messages.clear();
        PackDriver pack(machine, packOf("ActionImpl"));
        pack.pressOk();
        EXPECT_FALSE(QFile::exists(machine.packFile("destroy.bat")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(pack.form.isNull()) << "the wizard stays open";
        EXPECT_EQ(machine.dialogs.messages.size(), 1u);
        return machine.dialogs.messages.empty() ? ShownMessage{} : machine.dialogs.messages[0];
    };
    ship(machine.packFolder(), {"icd10"});
    EXPECT_TRUE(run().text.startsWith(QStringLiteral("無法開啟 Korvane 的資料庫")));
    EXPECT_TRUE(QFile::exists(machine.packFile("icd10")));

    ClinicDatabase::create(machine.installFile("dbKorvane.mdb"));
    EXPECT_EQ(run().icon, korvane::platform::MessageIcon::Information) << "the completion";
    EXPECT_EQ(tree(machine.installFolder()).value("icd10"), "icd10");

    // Nowhere to put the QR-code agent: the update failed, and says so instead of completing.
    ship(machine.packFolder(), {"QrCodeAgent.exe"});
    EXPECT_TRUE(run().text.contains("QrCodeAgent.exe"));
    EXPECT_TRUE(QFile::exists(machine.packFile("QrCodeAgent.exe")));
    EXPECT_EQ(machine.processes.endCalls, 0);
}

// The printer question as the clinic sees it: the platform's own input box over the wizard.
TEST(DeployWizard, ThePrinterQuestionIsTheInputBoxAndItsAnswerChoosesTheBuild)
{
    TestMachine machine;
    ship(machine.packFolder(), {"001.exe", "002.exe"});
    QString title;
    QString label;
    // Answers the box once the action has shown it.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        watch.stop();
        title = box->windowTitle();
        label = box->labelText();
        const QString folder = qEnvironmentVariable("KORVANE_SCREENSHOT_DIR");
        if (!folder.isEmpty() && QDir().mkpath(folder))
            box->grab().save(QDir(folder).filePath("printer-prompt.png"));
        box->setTextValue(" 2 ");
        box->accept();
    });
    watch.start(20);
    korvane::platform::WidgetDialogs dialogs;
    PackDriver(machine, packOf("CDrugDeployActioner")).pressOk(machine.services().with(dialogs));

    EXPECT_EQ(title, QStringLiteral("選項"));
    EXPECT_EQ(label, QStringLiteral(
                         "請選擇您的印表機型號：\n\n1.Epson LQ 300+ II。\n2.噴墨印表機。\n3.取消更新作業"));
    EXPECT_EQ(tree(machine.installFolder()).value("tools/DrugBagPrinter.exe"), "002.exe");
    EXPECT_TRUE(tree(machine.packFolder()).isEmpty());
    EXPECT_EQ(machine.processes.endCalls, 0);
}

} // namespace
