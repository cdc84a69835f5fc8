// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "WidgetDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace korvane::platform {

namespace {

// Texts break lines with CR LF; a label breaks them at LF only.
QString withLineFeeds(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

} // namespace

void WidgetDialogs::messageBox(MessageIcon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::Information, title,
                    withLineFeeds(text), QMessageBox::Ok, QApplication::activeWindow());
    // Error texts carry database messages and paths that must not be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString WidgetDialogs::inputBox(const QString& prompt, const QString& title)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, withLineFeeds(prompt),
                                               QLineEdit::Normal, QString(), &accepted);
    return accepted ? text : QString();
}

} // namespace korvane::platform
