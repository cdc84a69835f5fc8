// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/TechnicalNote.h"
#include "platform/widgets/WidgetDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using korvane::platform::MessageIcon;
using korvane::platform::WidgetDialogs;

namespace {

// Runs action on the dialog of type T once it is shown by the modal call that follows.
template <typename T> void whenShown(std::function<void(T*)> action)
{
    QTimer::singleShot(0, [action] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible()) {
                action(dialog);
                return;
            }
        }
        ADD_FAILURE() << "no dialog shown";
    });
}

struct Seen
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    Qt::TextFormat format = Qt::AutoText;
    QString okText;
};

TEST(WidgetDialogsTest, MessageBoxShowsTitleTextAndIconWithOnlyOk)
{
    struct Case
    {
        MessageIcon icon;
        QString text;
        QMessageBox::Icon shownIcon;
        QString shownText;
    };
    const Case cases[] = {
        {MessageIcon::Information, QStringLiteral("藥價更新完成\r\n請重新啟動"), QMessageBox::Information,
         QStringLiteral("藥價更新完成\n請重新啟動")},
        {MessageIcon::Critical, QStringLiteral("更新藥價作業失敗，可能的原因為：<b>x</b>"),
         QMessageBox::Critical, QStringLiteral("更新藥價作業失敗，可能的原因為：<b>x</b>")},
    };
    for (const Case& c : cases) {
        Seen seen;
        whenShown<QMessageBox>([&seen](QMessageBox* box) {
            seen = {box->windowTitle(), box->text(), box->icon(), int(box->buttons().size()),
                    box->textFormat(), box->button(QMessageBox::Ok)->text()};
            box->button(QMessageBox::Ok)->click();
        });
        WidgetDialogs dialogs;
        dialogs.messageBox(c.icon, QStringLiteral("藥價更新"), c.text);
        // What the pack's exit status tells a script that started it.
        EXPECT_EQ(dialogs.criticalShown(), c.icon == MessageIcon::Critical);
        EXPECT_EQ(seen.title, QStringLiteral("藥價更新"));
        EXPECT_EQ(seen.text, c.shownText);
        EXPECT_EQ(seen.icon, c.shownIcon);
        EXPECT_EQ(seen.buttons, 1);
        EXPECT_EQ(seen.format, Qt::PlainText);
        EXPECT_EQ(seen.okText, QStringLiteral("確定"));
    }
}

TEST(WidgetDialogsTest, QuestionAnswersYesOnlyWhenYesIsPressedAndNoIsItsDefault)
{
    for (const QMessageBox::StandardButton pressed : {QMessageBox::Yes, QMessageBox::No}) {
        QStringList seen;
        whenShown<QMessageBox>([&seen, pressed](QMessageBox* box) {
            seen << box->button(QMessageBox::Yes)->text() << box->button(QMessageBox::No)->text()
                 << box->defaultButton()->text();
            box->button(pressed)->click();
        });
        EXPECT_EQ(WidgetDialogs().question(QStringLiteral("藥價更新"), QStringLiteral("要套用嗎？")),
                  pressed == QMessageBox::Yes);
        EXPECT_EQ(seen, (QStringList{QStringLiteral("是"), QStringLiteral("否"), QStringLiteral("否")}));
    }
}

TEST(WidgetDialogsTest, InputBoxGivesTheTypedTextOrEmptyOnCancel)
{
    QString label, ok;
    whenShown<QInputDialog>([&label, &ok](QInputDialog* dialog) {
        label = dialog->labelText();
        ok = dialog->okButtonText();
        dialog->setTextValue(QStringLiteral("TP-3150"));
        dialog->accept();
    });
    EXPECT_EQ(
        WidgetDialogs().inputBox(QStringLiteral("請輸入型號：\r\n\r\n1.Epson"), QStringLiteral("藥袋印表機")),
        "TP-3150");
    EXPECT_EQ(label, QStringLiteral("請輸入型號：\n\n1.Epson"));
    EXPECT_EQ(ok, QStringLiteral("確定"));

    whenShown<QInputDialog>([](QInputDialog* dialog) {
        dialog->setTextValue(QStringLiteral("typed"));
        dialog->reject();
    });
    EXPECT_EQ(WidgetDialogs().inputBox("prompt", "title"), QString());
}

// The clerk reads the message; what only IT staff need waits behind the details button, whose
// caption Qt's translation gives.
TEST(WidgetDialogsTest, NotesForItStaffWaitBehindTheDetailsButton)
{
    const QString text = QStringLiteral("找不到 Korvane 的安裝資料夾。請以使用 Korvane 的帳號執行。") +
                         korvane::platform::technicalNote(QStringLiteral("讀取的位置：登錄機碼 HKEY_CURRENT_USER\\Software 中的 KorvaneStartupPath")) +
                         QStringLiteral("\r\n\r\n") + korvane::platform::technicalNote(QStringLiteral("tblDrugs"));
    QString shown, details;
    QStringList captions;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        shown = box->text();
        details = box->detailedText();
        for (QAbstractButton* button : box->buttons())
            captions << button->text();
        box->button(QMessageBox::Ok)->click();
    });
    WidgetDialogs().messageBox(MessageIcon::Critical, QStringLiteral("更新失敗"), text);
    EXPECT_EQ(shown, QStringLiteral("找不到 Korvane 的安裝資料夾。請以使用 Korvane 的帳號執行。"));
    EXPECT_EQ(details, QStringLiteral("讀取的位置：登錄機碼 HKEY_CURRENT_USER\\Software 中的 KorvaneStartupPath\ntblDrugs"));
    EXPECT_TRUE(captions.contains(QStringLiteral("顯示詳情..."))) << qPrintable(captions.join(u'|'));
}

} // namespace
