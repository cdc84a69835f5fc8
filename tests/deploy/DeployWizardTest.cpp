// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
//
// The deployment packs as the clinic runs them: the wizard around each action, headless, on a
// real installation folder and pack folder.

#include "ClinicDatabase.h"
#include "KorvaneStandIns.h"
#include "PackDriver.h"
#include "RunningProgram.h"
#include "catalogue/ActionCatalogue.h"
#include "platform/widgets/WidgetDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace korvane::test;

namespace {

PackDriver::ActionMaker packOf(const char* action)
{
    const korvane::ActionEntry* entry = korvane::ActionCatalogue::find(QString::fromLatin1(action));
    EXPECT_NE(entry, nullptr) << action;
    return [entry](const korvane::platform::Services& services) { return entry->create(services); };
}

// Answers the dialog of type T with answer once the action has shown it over the wizard.
template <typename T> void whenShown(QTimer& watch, std::function<void(T*)> answer)
{
    QObject::connect(&watch, &QTimer::timeout, [&watch, answer] {
        auto* box = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        watch.stop();
        answer(box);
    });
    watch.start(20);
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
    EXPECT_TRUE(run().text.startsWith(QStringLiteral("無法開啟 Korvane 的資料庫，本次更新沒有執行，電腦中的檔案都沒有變更。"
                                                     "請確認 Korvane 的資料庫在它的安裝資料夾中而且可以開啟，再執行一次本更新程式。")));
    EXPECT_TRUE(QFile::exists(machine.packFile("icd10")));

    ClinicDatabase::create(machine.installFile("dbKorvane.mdb"));
    EXPECT_EQ(run().icon, korvane::platform::MessageIcon::Information) << "the completion";
    EXPECT_EQ(tree(machine.installFolder()).value("icd10"), "icd10");

    // Nowhere to put the QR-code agent: the update failed, and says so instead of completing.
    ship(machine.packFolder(), {"QrCodeAgent.exe"});
    EXPECT_TRUE(run().text.startsWith(QStringLiteral("下列檔案沒有安裝：電腦中的這些檔案維持原來的版本，更新的檔案仍保留在本更新程式的資料夾裡。"
                                                     "請關閉正在使用這些檔案的程式（或排除所列的原因）後，再執行一次本更新程式：\r\n"
                                                     "QrCodeAgent.exe：要安裝到的資料夾不存在：") +
                                      machine.installFile("tools/dtc")));
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
    QTimer watch;
    whenShown<QInputDialog>(watch, [&](QInputDialog* box) {
        title = box->windowTitle();
        label = box->labelText();
        const QString folder = qEnvironmentVariable("KORVANE_SCREENSHOT_DIR");
        if (!folder.isEmpty() && QDir().mkpath(folder))
            box->grab().save(QDir(folder).filePath("printer-prompt.png"));
        box->setTextValue(" 2 ");
        box->accept();
    });
    korvane::platform::WidgetDialogs dialogs;
    PackDriver(machine, packOf("CDrugDeployActioner")).pressOk(machine.services().with(dialogs));

    EXPECT_EQ(title, QStringLiteral("選項"));
    EXPECT_EQ(label, QStringLiteral(
                         "請選擇您的印表機型號：\n\n1.Epson LQ 300+ II。\n2.噴墨印表機。\n3.取消更新作業"));
    EXPECT_EQ(tree(machine.installFolder()).value("tools/DrugBagPrinter.exe"), "002.exe");
    EXPECT_TRUE(tree(machine.packFolder()).isEmpty());
    EXPECT_EQ(machine.processes.endCalls, 0);
}

// The printing module in use, as the clerk reads it over the wizard: what happened, that nothing
// changed and what to do; the files in use wait behind the details button for IT staff.
TEST(DeployWizard, AModuleInUseIsToldInTheClerksWordsWithItsFilesBehindTheDetails)
{
    TestMachine machine;
    ship(machine.packFolder(), {"001.exe"});
    ASSERT_TRUE(QDir(machine.installFolder()).mkpath("tools"));
    const RunningProgram module(RunningProgram::Use::RunFrom, machine.installFile("tools/DrugBagPrinter.exe"));
    QString title, text, details;
    QTimer watch;
    whenShown<QMessageBox>(watch, [&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        details = box->detailedText();
        box->button(QMessageBox::Ok)->click();
    });
    korvane::platform::WidgetDialogs dialogs;
    PackDriver(machine, packOf("CDrugDeployActioner")).pressOk(machine.services().with(dialogs));

    EXPECT_EQ(title, QStringLiteral("更新失敗"));
    EXPECT_EQ(text, QStringLiteral("在進行更新程式前，請關閉目前正在執行的申報軟體。\n\n藥袋列印模組（或它的藥袋資料）正在使用中，"
                                   "本次更新沒有執行，電腦中的藥袋列印模組維持原狀。請關閉藥袋列印模組與 Korvane 後，再執行一次本更新程式。"));
    EXPECT_EQ(details, QStringLiteral("使用中的檔案：") + machine.installFile("tools/DrugBagPrinter.exe"));
    EXPECT_TRUE(tree(machine.packFolder()).contains("001.exe"));
}

} // namespace
