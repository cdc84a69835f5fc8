// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ProportionalLayout.h"

#include "platform/Error.h"

#include <cmath>
#include <limits>

namespace korvane {

namespace {

bool isFixed(const QString& name)
{
    // Case counts: "fix_" controls are scaled like any other.
    return name.startsWith(QLatin1String("FIX_"), Qt::CaseSensitive);
}

} // namespace

ProportionalLayout::Item ProportionalLayout::Item::box(const QString& name, const QString& typeName, double left,
                                                      double top, double width, double height, double fontSize)
{
    Item item;
    item.name = name;
    item.typeName = typeName;
    item.left = left;
    item.top = top;
    item.width = width;
    item.height = height;
    item.fontSize = fontSize;
    return item;
}

ProportionalLayout::Item ProportionalLayout::Item::line(const QString& name, double x1, double y1, double x2, double y2)
{
    Item item;
    item.name = name;
    item.typeName = QStringLiteral("Line");
    item.x1 = x1;
    item.y1 = y1;
    item.x2 = x2;
    item.y2 = y2;
    return item;
}

ProportionalLayout::ProportionalLayout(double innerWidth, double innerHeight)
    : ivLastScaleWidth(roundToInt32(innerWidth)), ivLastScaleHeight(roundToInt32(innerHeight))
{
}

void ProportionalLayout::addItem(Item item)
{
    ivItems.push_back(std::move(item));
}

const ProportionalLayout::Item& ProportionalLayout::item(const QString& name) const
{
    for (const Item& candidate : ivItems) {
        if (candidate.name == name)
            return candidate;
    }
    throw platform::Error(QStringLiteral("找不到控制項：") + name);
}

qint32 ProportionalLayout::roundToInt32(double value)
{
    // nearbyint follows the default rounding mode, which is to nearest with ties to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= double(std::numeric_limits<qint32>::min()) &&
          rounded <= double(std::numeric_limits<qint32>::max())))
        throw platform::Error(QStringLiteral("溢位"), platform::Error::Kind::OutOfRange);
    return qint32(rounded);
}

bool ProportionalLayout::layout(double innerWidth, double innerHeight)
{
    if (innerHeight < MinimumSize || innerWidth < MinimumSize)
        return false;

    // Check the new size before anything moves, so that a size we cannot record changes nothing.
    const qint32 newWidth = roundToInt32(innerWidth);
    const qint32 newHeight = roundToInt32(innerHeight);

    // A layout created at no size has nothing to scale from; it starts from this pass.
    const double rW = ivLastScaleWidth > 0 ? innerWidth / ivLastScaleWidth : 1.0;
    const double rH = ivLastScaleHeight > 0 ? innerHeight / ivLastScaleHeight : 1.0;

    for (Item& control : ivItems) {
        if (isFixed(control.name))
            continue;
        if (control.typeName == QLatin1String("ComboBox") || control.typeName == QLatin1String("TextBox")) {
            // Their height follows the font, so it is left alone.
            control.width *= rW;
            control.left *= rW;
            control.top *= rH;
            control.fontSize = EditFontSize;
        } else if (control.typeName == QLatin1String("Line")) {
            control.x2 *= rW;
            control.y1 *= rH;
            control.y2 *= rH;
        } else {
            control.width *= rW;
            control.height *= rH;
            control.left *= rW;
            control.top *= rH;
        }
    }

    ivLastScaleHeight = newHeight;
    ivLastScaleWidth = newWidth;

    for (Item& control : ivItems) {
        if (control.name == QLatin1String("lblAppVersion"))
            control.left = innerWidth - control.width - VersionRightMargin;
    }
    return true;
}

} // namespace korvane
