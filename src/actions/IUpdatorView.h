// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <QtGlobal>

namespace korvane {

// What a running action may ask of the wizard. The widget view implements it, and so do the
// console front end and the tests, so actions never need widgets.
class IUpdatorView
{
public:
    virtual ~IUpdatorView() = default;

    // Replaces the whole message text.
    virtual void setMessgaeValue(const QString& p_value) = 0;
    // 0 to 100; any other value throws platform::Error back to the caller.
    virtual void setProgressBarValue(qint16 p_value) = 0;
    // End time, "關閉", OK greyed, and the completion message box.
    virtual void fireActionCompleted() = 0;
    // Hides the host window; does nothing without one.
    virtual void hideForm() = 0;
    // Write-only property: true unloads the host form after the self-removal script has been
    // started instead of ending the program.
    virtual void setIsNotClosedForm(bool p_value) = 0;
};

// A view that shows nothing: for a preview that goes through the steps of a run, which must not
// be shown as done.
class SilentView final : public IUpdatorView
{
public:
    void setMessgaeValue(const QString&) override {}
    void setProgressBarValue(qint16) override {}
    void fireActionCompleted() override {}
    void hideForm() override {}
    void setIsNotClosedForm(bool) override {}
};

} // namespace korvane
