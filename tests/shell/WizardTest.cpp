// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ShellTestSupport.h"
#include "platform/NativeEventPump.h"
#include "shell/LineControl.h"
#include "shell/SelfRemovalScript.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <algorithm>

namespace korvane::test {
namespace {

using ::testing::TestWithParam;

class WizardStartUpTest : public WizardFixture
{
};

TEST_F(WizardStartUpTest, FormHostsTheViewOverItsWholeInnerArea)
{
    start();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Korvane Service Pack"));
    EXPECT_EQ(form->size(), QSize(683, 402));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isModal());
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(view->objectName(), QStringLiteral("ComponentName"));
    EXPECT_EQ(view->geometry(), QRect(0, 0, 683, 402));
    EXPECT_EQ(view->container(), form.data());

    const QRect screen = form->screen()->availableGeometry();
    EXPECT_LE(std::abs(form->frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(form->frameGeometry().center().y() - screen.center().y()), 1);

    // Ready: nothing ran, nothing was written, nothing started.
    EXPECT_EQ(action->runs, 0);
    EXPECT_TRUE(files.writes.isEmpty());
    EXPECT_TRUE(processes.selfRemovals.empty());
    EXPECT_FALSE(child<QProgressBar>("ProgressBar1")->isVisible());
    EXPECT_EQ(child<QLabel>("Label3")->text(), QString());
    EXPECT_TRUE(child<QPushButton>("btnOk")->isEnabled());
    EXPECT_EQ(child<QPushButton>("btn取消")->text(), QStringLiteral("取消"));
}

struct ControlCase
{
    const char* name;
    const char* className;
    QString caption;
};

TEST_F(WizardStartUpTest, ControlsCarryTheirNamesKindsAndCaptions)
{
    start();
    const ControlCase controls[] = {
        {"ProgressBar1", "QProgressBar", QString()},
        {"btnOk", "QPushButton", QStringLiteral("確定")},
        {"btn取消", "QPushButton", QStringLiteral("取消")},
        {"txtCaption", "QPlainTextEdit", QString()},
        {"Line1", "korvane::LineControl", QString()},
        {"Line2", "korvane::LineControl", QString()},
        {"Label2", "QLabel", QStringLiteral("Korvane 2.0 更新精靈")},
        {"Image1", "QLabel", QString()},
        {"lblAppVersion", "QLabel", QStringLiteral("介面序號 1.0.002")},
        {"Label3", "QLabel", QString()},
        {"Label1", "QLabel", QString()},
    };
    for (const ControlCase& expected : controls) {
        SCOPED_TRACE(expected.name);
        const QWidget* control = child<QWidget>(expected.name);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->metaObject()->className(), expected.className);
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            EXPECT_EQ(label->text(), expected.caption);
        }
        if (const auto* button = qobject_cast<const QPushButton*>(control)) {
            EXPECT_EQ(button->text(), expected.caption);
        }
    }

    // Tab order: the text box, then Cancel, then OK.
    QStringList tabbing;
    QWidget* next = child<QWidget>("txtCaption");
    for (int step = 0; step < 50 && tabbing.size() < 3; ++step) {
        next = next->nextInFocusChain();
        if ((next->focusPolicy() & Qt::TabFocus) && next->parentWidget() == view)
            tabbing << next->objectName();
    }
    EXPECT_EQ(tabbing, QStringList({QStringLiteral("btn取消"), QStringLiteral("btnOk"),
                                    QStringLiteral("txtCaption")}));

    // The banner lies behind the title and the version label.
    const QObjectList order = view->children();
    EXPECT_LT(order.indexOf(child<QWidget>("Label1")), order.indexOf(child<QWidget>("Label2")));
    EXPECT_LT(order.indexOf(child<QWidget>("Label1")), order.indexOf(child<QWidget>("lblAppVersion")));
}

TEST_F(WizardStartUpTest, ResizingTheFormKeepsTheViewFillingIt)
{
    start();
    form->resize(900, 500);
    EXPECT_EQ(view->geometry(), QRect(0, 0, 900, 500));
    form->resize(683, 402);
    EXPECT_EQ(view->geometry(), QRect(0, 0, 683, 402));
    EXPECT_NEAR(view->proportionalLayout().item(QStringLiteral("btnOk")).left, 6182.3, 0.1);
}

TEST_F(WizardStartUpTest, ControlsAreLaidOutForTheFormAndEditsTakeElevenPoints)
{
    start();
    const ProportionalLayout& layout = view->proportionalLayout();
    EXPECT_NEAR(layout.item(QStringLiteral("btnOk")).left, 6182.3, 0.1);
    EXPECT_NEAR(layout.item(QStringLiteral("txtCaption")).width, 9560.5, 0.1);
    EXPECT_EQ(child<QPushButton>("btnOk")->geometry(), QRect(412, 355, 119, 32));

    // The version label ends 100 twips (about 7 pixels) inside the right edge.
    const ProportionalLayout::Item& version = layout.item(QStringLiteral("lblAppVersion"));
    EXPECT_NEAR(version.left + version.width, 10245 - 100, 1e-6);
    EXPECT_NEAR(child<QLabel>("lblAppVersion")->geometry().right() + 1, (10245 - 100) / 15.0, 1);

    // The separator lines stay one pixel apart, dark above light.
    const auto* upper = child<LineControl>("Line2");
    const auto* lower = child<LineControl>("Line1");
    EXPECT_EQ(lower->from().y() - upper->from().y(), 1);
    EXPECT_EQ(lower->from().x(), 8);

    EXPECT_DOUBLE_EQ(child<QPlainTextEdit>("txtCaption")->font().pointSizeF(), 11);
    EXPECT_DOUBLE_EQ(child<QLabel>("Label2")->font().pointSizeF(), 18);
    EXPECT_TRUE(child<QLabel>("Label2")->font().bold());
    EXPECT_DOUBLE_EQ(child<QLabel>("lblAppVersion")->font().pointSizeF(), 9.75);
    EXPECT_FALSE(child<QLabel>("lblAppVersion")->font().bold());
}

struct DescriptionCase
{
    QVariant description;
    QString shown;
};

class WizardDescriptionTest : public WizardFixture, public ::testing::WithParamInterface<DescriptionCase>
{
};

TEST_P(WizardDescriptionTest, DescriptionIsShownAsText)
{
    action->description = GetParam().description;
    start();
    EXPECT_EQ(view->messageValue(), GetParam().shown);
    EXPECT_EQ(child<QPlainTextEdit>("txtCaption")->toPlainText(),
              QString(GetParam().shown).replace("\r\n", "\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Variants, WizardDescriptionTest,
    ::testing::Values(DescriptionCase{QStringLiteral("本程式更新健保藥價 藥價更新程式序號 v1.0.0.6"),
                                      QStringLiteral("本程式更新健保藥價 藥價更新程式序號 v1.0.0.6")},
                      DescriptionCase{QVariant(52407301), QStringLiteral("52407301")},
                      DescriptionCase{QVariant(2.5), QStringLiteral("2.5")},
                      DescriptionCase{QStringLiteral("第一行\r\n第二行\r\n"),
                                      QStringLiteral("第一行\r\n第二行\r\n")},
                      DescriptionCase{QVariant(), QString()}));

class WizardRunTest : public WizardFixture
{
};

TEST_F(WizardRunTest, OkRunsTheActionOnceEvenWhenPressedAgainInsideIt)
{
    bool progressShownDuringRun = false;
    QString timeDuringRun;
    action->run = [&](IUpdatorView& p_form) {
        EXPECT_EQ(&p_form, static_cast<IUpdatorView*>(view));
        progressShownDuringRun = child<QProgressBar>("ProgressBar1")->isVisible();
        timeDuringRun = view->timeCaption();
        QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);
    };
    start();
    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);

    EXPECT_EQ(action->runs, 1);
    EXPECT_TRUE(progressShownDuringRun);
    EXPECT_EQ(timeDuringRun, QStringLiteral("開始時間：09:30:05\r\n"));
    // The start time is painted before the action starts.
    EXPECT_EQ(events.calls, 1);
    EXPECT_EQ(action->appNameCalls, 1);
    EXPECT_EQ(processes.endCalls, 1);
    EXPECT_FALSE(view->isRunning());
}

TEST_F(WizardRunTest, CancelAndClosingTheFormAreIgnoredWhileTheActionRuns)
{
    action->appName.clear();
    bool closed = true;
    action->run = [&](IUpdatorView&) {
        QTest::mouseClick(child<QPushButton>("btn取消"), Qt::LeftButton);
        closed = form->close();
        deliverDeferredDeletes();
        ASSERT_FALSE(form.isNull());
        EXPECT_TRUE(form->isVisible());
        // The action is still there to be asked afterwards.
        view->setMessgaeValue(QStringLiteral("仍在執行"));
    };
    start();
    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);

    EXPECT_FALSE(closed);
    EXPECT_EQ(action->runs, 1);
    EXPECT_EQ(action->appNameCalls, 1);
    // Once the action has returned, the finishing step unloads the form (no application name).
    EXPECT_TRUE(unloaded());
}

TEST_F(WizardRunTest, AnythingThrownOutOfTheActionIsAFailedRunThatKeepsThePack)
{
    const std::vector<std::pair<std::function<void()>, QString>> throws{
        {[] { throw platform::Error(QStringLiteral("資料庫無法開啟")); }, QStringLiteral("資料庫無法開啟")},
        {[] { throw std::runtime_error("disk I/O error"); },
         QStringLiteral("程式發生內部錯誤，這個動作沒有完成。請記下這段訊息並告訴資訊人員。（disk I/O error）")},
        {[] { throw 42; }, QStringLiteral("發生無法辨識的錯誤。")},
    };
    for (const auto& [raise, description] : throws) {
        dialogs.messages.clear();
        auto failing = std::make_shared<TestAction>();
        failing->run = [&raise](IUpdatorView&) { raise(); };
        start(failing);
        QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);

        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages.front().icon, platform::MessageIcon::Critical);
        EXPECT_EQ(dialogs.messages.front().text, QStringLiteral("更新作業失敗，可能的原因為：\r\n") + description);
        EXPECT_TRUE(unloaded());
        deliverDeferredDeletes();
    }
    EXPECT_FALSE(files.files.contains(packPath(QStringLiteral("destroy.bat"))));
    EXPECT_TRUE(processes.selfRemovals.empty());
    EXPECT_EQ(processes.endCalls, 0);
}

TEST_F(WizardRunTest, StartUpWithoutAnActionFailsBeforeShowingAnything)
{
    EXPECT_THROW(modUpdatlet::Main(services, nullptr), platform::Error);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().cbegin(), QApplication::topLevelWidgets().cend(),
                             [](const QWidget* w) { return w->isVisible(); }));
}

TEST_F(WizardRunTest, OkWithoutAnActionRunsNothingAndUnloadsTheForm)
{
    form = new frmOptionPanel(modUpdatlet::viewRegistry(services));
    form->setUserControl(utlUpdatorView::Identifier);
    view = qobject_cast<utlUpdatorView*>(form->getUserControl());
    ASSERT_NE(view, nullptr);
    form->show();
    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);
    EXPECT_TRUE(unloaded());
    EXPECT_TRUE(files.writes.isEmpty());
    EXPECT_EQ(processes.endCalls, 0);
}

TEST_F(WizardRunTest, OkHasTheFocusAtStartAndCancelDuringTheRun)
{
    QWidget* focusDuringRun = nullptr;
    action->run = [&](IUpdatorView&) { focusDuringRun = QApplication::focusWidget(); };
    start();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.data()));
    EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>("btnOk"));

    // The text box hands the focus on to OK.
    child<QPlainTextEdit>("txtCaption")->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>("btnOk"));

    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);
    EXPECT_EQ(focusDuringRun, child<QPushButton>("btn取消"));
}

TEST_F(WizardRunTest, CancelBeforeOkClosesWithoutRunningOrScript)
{
    start();
    QTest::mouseClick(child<QPushButton>("btn取消"), Qt::LeftButton);
    EXPECT_TRUE(unloaded());
    EXPECT_EQ(action->runs, 0);
    EXPECT_EQ(action->appNameCalls, 0);
    EXPECT_TRUE(files.writes.isEmpty());
    EXPECT_TRUE(processes.selfRemovals.empty());
    EXPECT_EQ(processes.endCalls, 0);
    EXPECT_EQ(ended, std::vector<Outcome>{Outcome::Cancelled});
    // The form took the view and its action with it.
    EXPECT_EQ(action.use_count(), 1);
}

TEST_F(WizardRunTest, ClosingTheFormBeforeOkUnloadsWithoutRunning)
{
    start();
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(unloaded());
    EXPECT_EQ(action->runs, 0);
    EXPECT_TRUE(files.writes.isEmpty());
    EXPECT_EQ(action.use_count(), 1);
    EXPECT_EQ(ended, std::vector<Outcome>{Outcome::Cancelled});
}

// Only a run that is done removes the pack; any other keeps it, and the wizard ends with how the
// run ended, never with success by default.
TEST_F(WizardRunTest, OnlyADoneRunRemovesThePackAndTheWizardEndsWithTheRunsOutcome)
{
    for (const Outcome outcome :
         {Outcome::Done, Outcome::ItemsLeft, Outcome::Refused, Outcome::Failed, Outcome::Cancelled}) {
        SCOPED_TRACE(outcomeText(outcome).toStdString());
        processes.selfRemovals.clear();
        ended.clear();
        auto run = std::make_shared<TestAction>();
        run->outcome = outcome;
        start(run);
        QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);
        EXPECT_EQ(ended, std::vector<Outcome>{outcome});
        EXPECT_EQ(processes.selfRemovals.size(), outcome == Outcome::Done ? 1u : 0u);
        EXPECT_EQ(run->appNameCalls, outcome == Outcome::Done ? 1 : 0);
        // Closing the form afterwards does not change how the wizard ended.
        if (!form.isNull())
            form->close();
        EXPECT_TRUE(unloaded() || outcome == Outcome::Done);
        EXPECT_EQ(ended.size(), 1u);
        delete form.data();
    }
}

TEST_F(WizardRunTest, CompletionShowsBothTimesGreysOkAndShowsTheMessage)
{
    QStringList shownWhileBoxOpen;
    dialogs.onMessage = [&](const ShownMessage&) {
        shownWhileBoxOpen << child<QPlainTextEdit>("txtCaption")->toPlainText() << view->timeCaption();
    };
    action->run = [&](IUpdatorView& p_form) {
        p_form.setMessgaeValue(QStringLiteral("步驟一"));
        p_form.setMessgaeValue(QStringLiteral("步驟二"));
        clock.now = QTime(9, 31, 10);
        p_form.fireActionCompleted();
        EXPECT_FALSE(child<QProgressBar>("ProgressBar1")->isVisible());
        EXPECT_FALSE(child<QPushButton>("btnOk")->isEnabled());
        EXPECT_FALSE(child<QPlainTextEdit>("txtCaption")->isEnabled());
        EXPECT_EQ(child<QPushButton>("btn取消")->text(), QStringLiteral("關閉"));
    };
    start();
    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, platform::MessageIcon::Information);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("訊息"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("更新作業完成，請點選「關閉」按鈕離開本精靈。"));
    // The display had caught up with the last step before the box came up.
    EXPECT_EQ(shownWhileBoxOpen, QStringList({QStringLiteral("步驟二"),
                                              QStringLiteral("開始時間：09:30:05\r\n結束時間：09:31:10")}));
    EXPECT_EQ(child<QLabel>("Label3")->text(), QStringLiteral("開始時間：09:30:05\n結束時間：09:31:10"));
}

TEST_F(WizardRunTest, HideFormHidesTheHostAndTheFinishingStepStillRuns)
{
    QString shownWhenHidden;
    action->run = [&](IUpdatorView& p_form) {
        p_form.setMessgaeValue(QStringLiteral("第一筆"));
        p_form.setMessgaeValue(QStringLiteral("最後一筆"));
        p_form.hideForm();
        shownWhenHidden = child<QPlainTextEdit>("txtCaption")->toPlainText();
        EXPECT_FALSE(form->isVisible());
    };
    start();
    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);
    EXPECT_EQ(shownWhenHidden, QStringLiteral("最後一筆"));
    EXPECT_EQ(processes.selfRemovals.size(), 1u);
    EXPECT_EQ(processes.endCalls, 1);
}

TEST_F(WizardRunTest, ViewWithoutHostIgnoresHideAndUnload)
{
    const platform::Services alone = services;
    auto* orphan = new utlUpdatorView(alone);
    orphan->setActioner(action);
    orphan->show();
    orphan->hideForm();
    action->appName.clear();
    QTest::mouseClick(orphan->findChild<QPushButton*>(QStringLiteral("btnOk")), Qt::LeftButton);
    EXPECT_EQ(action->runs, 1);
    delete orphan;
}

struct AppNameCase
{
    const char* label;
    QString appName;
    bool fails;
};

class WizardNoScriptTest : public WizardFixture, public ::testing::WithParamInterface<AppNameCase>
{
};

TEST_P(WizardNoScriptTest, NoApplicationNameUnloadsTheFormAndWritesNoScript)
{
    action->appName = GetParam().appName;
    action->appNameFails = GetParam().fails;
    start();
    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);
    EXPECT_TRUE(unloaded());
    EXPECT_TRUE(files.writes.isEmpty());
    EXPECT_TRUE(processes.selfRemovals.empty());
    EXPECT_EQ(processes.endCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(Answers, WizardNoScriptTest,
                         ::testing::Values(AppNameCase{"Empty", QString(), false},
                                           AppNameCase{"Fails", QStringLiteral("UP52407301.exe"), true}),
                         [](const auto& testCase) { return std::string(testCase.param.label); });

class WizardFinishTest : public WizardFixture
{
};

TEST_F(WizardFinishTest, ScriptIsWrittenStartedAndTheProgramEnds)
{
    start();
    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);

    const QString script = packPath(QStringLiteral("destroy.bat"));
    const QString target = packPath(QStringLiteral("UP52407301.exe"));
    ASSERT_EQ(files.writes, QStringList{script});
    EXPECT_EQ(files.files.value(script),
              SelfRemovalScript(packFolder, QDir::separator()).bytes(QStringLiteral("UP52407301.exe")));
    EXPECT_TRUE(files.files.value(script).contains("del \"" + target.toUtf8() + "\"\r\n"));
    ASSERT_EQ(processes.selfRemovals.size(), 1u);
    EXPECT_EQ(processes.selfRemovals[0].folder, packFolder);
    EXPECT_EQ(processes.selfRemovals[0].scriptName, QStringLiteral("destroy.bat"));
    EXPECT_EQ(processes.selfRemovals[0].target, target);
    EXPECT_EQ(processes.endCalls, 1);
    EXPECT_FALSE(unloaded());
}

TEST_F(WizardFinishTest, IsNotClosedFormStartsTheScriptThenUnloadsInsteadOfEnding)
{
    action->run = [](IUpdatorView& p_form) { p_form.setIsNotClosedForm(true); };
    start();
    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);
    EXPECT_TRUE(files.files.contains(packPath(QStringLiteral("destroy.bat"))));
    EXPECT_EQ(processes.selfRemovals.size(), 1u);
    EXPECT_EQ(processes.endCalls, 0);
    EXPECT_TRUE(unloaded());
}

TEST_F(WizardFinishTest, ScriptThatCannotBeWrittenIsNotStarted)
{
    files.failWrites = true;
    start();
    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);
    EXPECT_EQ(files.writes.size(), 1);
    EXPECT_TRUE(processes.selfRemovals.empty());
    EXPECT_TRUE(processes.started.empty());
    EXPECT_EQ(processes.endCalls, 1);
}

TEST_F(WizardFinishTest, NetworkPackFolderGetsNoScriptAndTheFormCloses)
{
    const QChar separator = QDir::separator();
    packFolder =
        QString(separator) + separator + QStringLiteral("server") + separator + QStringLiteral("packs");
    services.packFolder = packFolder;
    start();
    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);
    EXPECT_TRUE(files.writes.isEmpty());
    EXPECT_TRUE(processes.selfRemovals.empty());
    EXPECT_EQ(processes.endCalls, 0);
    EXPECT_TRUE(unloaded());
}

class WizardReportTest : public WizardFixture
{
};

TEST_F(WizardReportTest, ProgressOutsideZeroToHundredIsRefused)
{
    start();
    for (const qint16 refused : {qint16(-1), qint16(101), qint16(-32768), qint16(32767)}) {
        try {
            view->setProgressBarValue(refused);
            ADD_FAILURE() << refused << " accepted";
        } catch (const platform::Error& error) {
            EXPECT_EQ(error.kind(), platform::Error::Kind::OutOfRange) << refused;
        }
    }
    for (const qint16 accepted : {qint16(0), qint16(100), qint16(37)}) {
        view->setProgressBarValue(accepted);
        EXPECT_EQ(view->progressValue(), accepted);
        EXPECT_EQ(child<QProgressBar>("ProgressBar1")->value(), accepted);
    }
}

TEST_F(WizardReportTest, EachMessageReplacesTheWholeText)
{
    start();
    view->setMessgaeValue(QStringLiteral("V\t讀取藥價檔\r\n\t更新藥價\r\n"));
    view->setMessgaeValue(QStringLiteral("\t讀取藥價檔\r\nV\t更新藥價\r\n"));
    EXPECT_EQ(view->messageValue(), QStringLiteral("\t讀取藥價檔\r\nV\t更新藥價\r\n"));
    EXPECT_EQ(child<QPlainTextEdit>("txtCaption")->toPlainText(),
              QStringLiteral("\t讀取藥價檔\nV\t更新藥價\n"));
}

struct PumpCase
{
    const char* label;
    bool everyCall; // process events on every call, or as the program's pump does
};

class WizardDisplayRateTest : public WizardFixture, public ::testing::WithParamInterface<PumpCase>
{
};

TEST_P(WizardDisplayRateTest, RecordByRecordReportsKeepTheDisplayAtDisplayRate)
{
    constexpr int Records = 45000;
    platform::NativeEventPump programPump;
    events.onProcess = [&] {
        if (GetParam().everyCall)
            QCoreApplication::processEvents();
        else
            programPump.processEvents();
    };
    int repaints = 0;
    qint64 elapsedMs = 0;
    action->run = [&](IUpdatorView& p_form) {
        auto* caption = child<QPlainTextEdit>("txtCaption");
        QObject::connect(caption, &QPlainTextEdit::textChanged, caption, [&] { ++repaints; });
        QElapsedTimer timer;
        timer.start();
        for (int i = 1; i <= Records; ++i) {
            p_form.setMessgaeValue(QStringLiteral("已處理 %1 筆").arg(i));
            p_form.setProgressBarValue(qint16(i * 100 / Records));
            events.processEvents();
        }
        elapsedMs = timer.elapsed();
        // What the action reported is readable at once, whatever the display shows.
        EXPECT_EQ(view->messageValue(), QStringLiteral("已處理 45000 筆"));
        EXPECT_EQ(view->progressValue(), 100);
    };
    start();
    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);

    // Refreshes at most about once per 16 ms (plus the first and the final flush); the time
    // itself is measured by bench/parts.
    EXPECT_LE(repaints, elapsedMs / utlUpdatorView::RefreshIntervalMs + 3);
    // The run's end shows the last values at once.
    EXPECT_EQ(child<QPlainTextEdit>("txtCaption")->toPlainText(), QStringLiteral("已處理 45000 筆"));
    EXPECT_EQ(child<QProgressBar>("ProgressBar1")->value(), 100);
}

INSTANTIATE_TEST_SUITE_P(Pumps, WizardDisplayRateTest,
                         ::testing::Values(PumpCase{"EveryCall", true}, PumpCase{"Program", false}),
                         [](const auto& testCase) { return std::string(testCase.param.label); });

TEST_F(WizardReportTest, PendingValueReachesTheDisplayWithoutFurtherReports)
{
    action->run = [&](IUpdatorView& p_form) {
        p_form.setMessgaeValue(QStringLiteral("一"));
        p_form.setMessgaeValue(QStringLiteral("二"));
        p_form.setProgressBarValue(42);
        // Only the event loop runs from here on; the pending timer must deliver the last values.
        EXPECT_TRUE(QTest::qWaitFor([&] { return child<QProgressBar>("ProgressBar1")->value() == 42; }));
        EXPECT_EQ(child<QPlainTextEdit>("txtCaption")->toPlainText(), QStringLiteral("二"));
    };
    start();
    QTest::mouseClick(child<QPushButton>("btnOk"), Qt::LeftButton);
    EXPECT_EQ(action->runs, 1);
}

} // namespace
} // namespace korvane::test
