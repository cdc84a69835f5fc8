// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "WidgetDialogs.h"

#include "platform/Conversions.h"
#include "platform/TechnicalNote.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace korvane::platform {

namespace {

// Error texts carry database messages and paths that must not be read as markup. The buttons
// speak the user's language whatever translations the machine has installed. What is meant for
// IT staff waits behind the details button.
int showBox(QMessageBox::Icon icon, const QString& title, const QString& text, bool question, bool defaultYes)
{
    const MessageParts parts = splitTechnicalNotes(withLineFeeds(text));
    qsizetype end = parts.forUser.size();
    while (end > 0 && parts.forUser.at(end - 1).isSpace())
        --end;
    QMessageBox box(icon, title, parts.forUser.left(end),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    if (!parts.notes.isEmpty())
        box.setDetailedText(parts.notes);
    if (question) {
        box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
        box.button(QMessageBox::No)->setText(QStringLiteral("否"));
        box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.button(QMessageBox::Ok)->setText(QStringLiteral("確定"));
    }
    return box.exec();
}

} // namespace

void WidgetDialogs::messageBox(MessageIcon icon, const QString& title, const QString& text)
{
    m_criticalShown = m_criticalShown || icon == MessageIcon::Critical;
    showBox(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::Information, title, text, false,
            false);
}

bool WidgetDialogs::question(const QString& title, const QString& text, bool defaultYes)
{
    return showBox(QMessageBox::Question, title, text, true, defaultYes) == QMessageBox::Yes;
}

QString WidgetDialogs::inputBox(const QString& prompt, const QString& title)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    dialog.setLabelText(withLineFeeds(prompt));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(QLineEdit::Normal);
    dialog.setOkButtonText(QStringLiteral("確定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

} // namespace korvane::platform
