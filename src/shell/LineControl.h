// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QColor>
#include <QPoint>
#include <QWidget>

namespace korvane {

// A one-pixel line between two points of its parent, for the wizard's etched separator. It
// takes no input and no focus; its geometry is the bounding box of the two points.
class LineControl : public QWidget
{
    Q_OBJECT
public:
    explicit LineControl(QWidget* parent = nullptr);

    // Both points in the parent's pixels.
    void setLine(QPoint from, QPoint to);
    QPoint from() const { return ivFrom; }
    QPoint to() const { return ivTo; }

    void setColor(const QColor& color);
    QColor color() const { return ivColor; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint ivFrom;
    QPoint ivTo;
    QColor ivColor = Qt::black;
};

} // namespace korvane
