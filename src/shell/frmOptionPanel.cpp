// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "frmOptionPanel.h"

#include "actions/SkipOnFailure.h"
#include "platform/Error.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMetaObject>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>

namespace korvane {

namespace {

// A blue disc with a white downward arrow: an update.
QPixmap iconImage(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 32.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 84, 166));
    painter.drawEllipse(QRectF(1 * unit, 1 * unit, 30 * unit, 30 * unit));
    painter.setBrush(Qt::white);
    const QPointF arrow[] = {
        {13 * unit, 7 * unit},  {19 * unit, 7 * unit}, {19 * unit, 16 * unit}, {24 * unit, 16 * unit},
        {16 * unit, 25 * unit}, {8 * unit, 16 * unit}, {13 * unit, 16 * unit},
    };
    painter.drawPolygon(arrow, int(std::size(arrow)));
    return pixmap;
}

QIcon formIcon()
{
    QIcon icon;
    icon.addPixmap(iconImage(16));
    icon.addPixmap(iconImage(32));
    return icon;
}

} // namespace

frmOptionPanel::frmOptionPanel(ViewRegistry registry, QWidget* parent)
    : QWidget(parent, Qt::Window), ivRegistry(std::move(registry))
{
    setWindowTitle(QStringLiteral("Korvane Service Pack"));
    setWindowIcon(formIcon());
    // Closing the window unloads it: the view and its action go with it.
    setAttribute(Qt::WA_DeleteOnClose);
    resize(InnerWidth, InnerHeight);
}

void frmOptionPanel::setUserControl(const QString& p_strControlName)
{
    skipOnFailure([&] {
        // A second control under the same name is refused, as the control collection would.
        if (findChild<QWidget*>(ControlName, Qt::FindDirectChildrenOnly))
            throw platform::Error(QStringLiteral("控制項名稱已存在：") + ControlName);
        QWidget* control = ivRegistry.create(p_strControlName, this);
        control->setObjectName(ControlName);
        ivUserControl = control;
    });
    skipOnFailure([&] {
        if (!ivUserControl)
            throw platform::Error(QStringLiteral("物件變數未設定"), platform::Error::Kind::NullObject);
        ivUserControl->setVisible(true);
    });
    skipOnFailure([&] { layoutUserControl(); });
    skipOnFailure([&] {
        if (!ivUserControl)
            throw platform::Error(QStringLiteral("物件變數未設定"), platform::Error::Kind::NullObject);
        QMetaObject::invokeMethod(ivUserControl.data(), "setContainer", Qt::DirectConnection,
                                  Q_ARG(QObject*, this));
    });
}

void frmOptionPanel::hideForm()
{
    hide();
}

void frmOptionPanel::layoutUserControl()
{
    if (!ivUserControl)
        return;
    // Width first, then height: the view lays itself out after each.
    ivUserControl->move(0, 0);
    ivUserControl->resize(width(), ivUserControl->height());
    ivUserControl->resize(ivUserControl->width(), height());
}

void frmOptionPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutUserControl();
}

void frmOptionPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (ivCentred || event->spontaneous())
        return;
    ivCentred = true;
    if (const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(shown->availableGeometry().center());
        move(frame.topLeft());
    }
}

} // namespace korvane
