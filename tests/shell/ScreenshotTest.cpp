// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ShellTestSupport.h"

#include <QDir>
#include <QImage>
#include <QLabel>
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

} // namespace
} // namespace korvane::test
