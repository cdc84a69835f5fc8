// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>

namespace korvane::platform {

enum class MessageIcon { Information, Critical };

// Modal message and input boxes. Code under test never shows a real one.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // Returns when the user has closed the box (OK is its only button).
    virtual void messageBox(MessageIcon icon, const QString& title, const QString& text) = 0;
    // The typed text, or empty text when the user cancels.
    virtual QString inputBox(const QString& prompt, const QString& title) = 0;
    // A question with the buttons Yes and No; true for Yes. defaultYes chooses the button that
    // Enter presses, and the answer of a front end that runs unattended.
    virtual bool question(const QString& title, const QString& text, bool defaultYes = false) = 0;
};

} // namespace korvane::platform
