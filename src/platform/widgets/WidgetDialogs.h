// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "platform/Dialogs.h"

namespace korvane::platform {

// Modal message and input boxes over the active window.
class WidgetDialogs : public Dialogs
{
public:
    // Information or critical icon, OK ("確定") as the only button. The text is shown as plain
    // text.
    void messageBox(MessageIcon icon, const QString& title, const QString& text) override;
    // Cancel gives empty text.
    QString inputBox(const QString& prompt, const QString& title) override;
    // "是" and "否"; Escape and closing the box answer No.
    bool question(const QString& title, const QString& text, bool defaultYes = false) override;

    // Whether any message box so far carried the critical icon: a run that failed.
    bool criticalShown() const { return m_criticalShown; }

private:
    bool m_criticalShown = false;
};

} // namespace korvane::platform
