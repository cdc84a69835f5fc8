// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "ViewRegistry.h"

#include <QPointer>
#include <QWidget>

namespace korvane {

// The wizard's window. It has no controls of its own: it creates the hosted view by its
// identifier and keeps it stretched over the whole inner area.
class frmOptionPanel : public QWidget
{
    Q_OBJECT
public:
    static inline const QString ControlName = QStringLiteral("ComponentName");
    static constexpr int InnerWidth = 683; // pixels: 10245 × 6030 twips
    static constexpr int InnerHeight = 402;

    explicit frmOptionPanel(ViewRegistry registry, QWidget* parent = nullptr);

    // Creates the control, names it "ComponentName", shows it, lays it out and calls its
    // setContainer with this form. A failing step is skipped and the next one runs.
    void setUserControl(const QString& p_strControlName);
    // The hosted control; null before setUserControl.
    QWidget* getUserControl() const { return ivUserControl.data(); }
    // Hides the form; it stays loaded.
    void hideForm();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void layoutUserControl();

    ViewRegistry ivRegistry;
    QPointer<QWidget> ivUserControl;
    bool ivCentred = false;
};

} // namespace korvane
