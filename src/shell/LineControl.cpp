// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "LineControl.h"

#include <QPainter>
#include <QRect>

namespace korvane {

LineControl::LineControl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void LineControl::setLine(QPoint from, QPoint to)
{
    ivFrom = from;
    ivTo = to;
    // QRect's right and bottom are inclusive, so a horizontal line is one pixel high.
    setGeometry(QRect(from, to).normalized());
    update();
}

void LineControl::setColor(const QColor& color)
{
    ivColor = color;
    update();
}

void LineControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(ivColor, 1));
    const QPoint origin = geometry().topLeft();
    painter.drawLine(ivFrom - origin, ivTo - origin);
}

} // namespace korvane
