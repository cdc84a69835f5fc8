// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ShellTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace korvane::test {
namespace {

// Grabs the wizard as a user sees it. With KORVANE_SCREENSHOT_DIR set, the pictures are saved
// there as PNG files for a person to look at.
class WizardScreenshotTest : public WizardFixture
{
protected:
    QImage capture(const char* name)
    {
        const QImage image = form->grab().toImage();
        const QString folder = qEnvironmentVariable("KORVANE_SCREENSHOT_DIR");
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            image.save(QDir(folder).filePath(QString::fromLatin1(name)));
        }
        return image;
    }

    // Counts the pixels of the given colour inside a rectangle of the view, in pixels.
    static int countColour(const QImage& image, const QRect& area, QRgb colour)
    {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += image.pixel(x, y) == colour ? 1 : 0;
        return count;
    }

    static QRect pixels(const ProportionalLayout::Item& item)
    {
        return QRect(int(item.left / 15), int(item.top / 15), int(item.width / 15), int(item.height / 15));
    }
};

TEST_F(WizardScreenshotTest, BannerTitleAndCompletionAsTheUserSeesThem)
{
    action->description =
        QStringLiteral("本程式將更新健保藥價檔，請按「確定」開始。 藥價更新程式序號 v1.0.0.6");
    QImage running;
    action->run = [&](IUpdatorView& p_form) {
        p_form.setMessgaeValue(QStringLiteral("V\t讀取健保藥價檔\r\n\t清除藥品檔\r\n\t寫入藥品資料\r\n"));
        p_form.setProgressBarValue(60);
        // The display catches up with the last report by itself.
        ASSERT_TRUE(QTest::qWaitFor([this] { return child<QProgressBar>("ProgressBar1")->value() == 60; }));
        running = capture("wizard-running.png");
        clock.now = QTime(9, 42, 17);
        p_form.fireActionCompleted();
    };
    QImage completed;
    dialogs.onMessage = [&](const ShownMessage&) { completed = capture("wizard-completed.png"); };
    action->appName.clear();

    start();
    const QImage atStart = capture("wizard-start.png");
    ASSERT_EQ(atStart.size(), QSize(683, 402));

    // The title is drawn in blue on the white banner; its text is really there.
    const QRect title = pixels(view->proportionalLayout().item(QStringLiteral("Label2")));
    EXPECT_GT(countColour(atStart, title, qRgb(255, 255, 255)), title.width() * title.height() / 3);
    EXPECT_GT(countColour(atStart, title, qRgb(0, 0, 255)), 50);
    // The version label is navy text.
    const QRect version = pixels(view->proportionalLayout().item(QStringLiteral("lblAppVersion")));
    EXPECT_GT(countColour(atStart, version, qRgb(0, 0, 128)), 5);

    QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("btnOk")), Qt::LeftButton);
    ASSERT_FALSE(running.isNull());
    ASSERT_FALSE(completed.isNull());
    EXPECT_NE(running, atStart);
    EXPECT_NE(completed, running);
}

// While a run goes OK is drawn grey and Cancel holds the focus, even after a click into the
// text; Cancel does nothing, and when the pointer rests on it it says why.
TEST_F(WizardScreenshotTest, WhileRunningOkIsGreyAndCancelSaysWhyItWaits)
{
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QImage running;
    bool okEnabled = true;
    QWidget* focus = nullptr;
    QWidget* focusAfterText = nullptr;
    bool stillRunning = false;
    QString tip;
    action->run = [&](IUpdatorView&) {
        okEnabled = ok->isEnabled();
        focus = form->focusWidget();
        QTest::mouseClick(view->findChild<QPlainTextEdit*>(QStringLiteral("txtCaption"))->viewport(), Qt::LeftButton);
        focusAfterText = form->focusWidget();
        QTest::mouseClick(cancel, Qt::LeftButton);
        stillRunning = view->isRunning() && !form.isNull() && form->isVisible();
        running = capture("wizard-running-buttons.png");
        QHelpEvent hover(QEvent::ToolTip, cancel->rect().center(), cancel->mapToGlobal(cancel->rect().center()));
        QApplication::sendEvent(cancel, &hover);
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* label = qobject_cast<QLabel*>(widget); label && label->isVisible() &&
                                                             label->objectName() == QStringLiteral("qtooltip_label"))
                tip = label->text();
        }
    };
    action->appName.clear();
    start();
    // Focus moves only in the active window, as on the clerk's screen.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.data()));
    ok = view->findChild<QPushButton*>(QStringLiteral("btnOk"));
    cancel = view->findChild<QPushButton*>(QStringLiteral("btn取消"));
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(cancel, nullptr);
    const QImage ready = capture("wizard-ready-buttons.png");
    QTest::mouseClick(ok, Qt::LeftButton);

    EXPECT_FALSE(okEnabled);
    EXPECT_EQ(focus, cancel);
    EXPECT_EQ(focusAfterText, cancel);
    EXPECT_TRUE(stillRunning);
    EXPECT_EQ(action->runs, 1);
    EXPECT_EQ(tip, QStringLiteral("更新進行中無法中途停止，請等候它完成。更新若失敗或被強制結束，資料都會維持更新前的樣子，"
                                  "每個檔案也都是完整的舊檔或新檔，不會只寫了一半；可以再執行一次本更新程式。"));
    // Grey is what the clerk sees: the button's own pixels change, not only its state.
    const QRect button = pixels(view->proportionalLayout().item(QStringLiteral("btnOk")));
    ASSERT_FALSE(running.isNull());
    EXPECT_NE(ready.copy(button), running.copy(button));
}

} // namespace
} // namespace korvane::test
