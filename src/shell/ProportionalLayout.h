// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace korvane {

// The wizard's proportional layout, kept free of widgets so that it can be checked in twips:
// every pass scales each control by the change of the inner size since the last pass.
class ProportionalLayout
{
public:
    // One child control as the layout sees it. Lines use X1/Y1/X2/Y2, everything else
    // Left/Top/Width/Height; all in twips.
    struct Item
    {
        QString name;
        QString typeName; // "ComboBox", "Line", "TextBox" or any other type name
        double left = 0;
        double top = 0;
        double width = 0;
        double height = 0;
        double x1 = 0;
        double y1 = 0;
        double x2 = 0;
        double y2 = 0;
        double fontSize = 0; // points

        static Item box(const QString& name, const QString& typeName, double left, double top, double width,
                        double height, double fontSize = 0);
        static Item line(const QString& name, double x1, double y1, double x2, double y2);
    };

    static constexpr double MinimumSize = 100;        // twips; smaller sizes are not laid out
    static constexpr double VersionRightMargin = 100; // twips between lblAppVersion and the right edge
    static constexpr double EditFontSize = 11;        // points, for text and combo boxes

    // Records the size at creation; the first pass scales relative to it.
    ProportionalLayout(double innerWidth, double innerHeight);

    void addItem(Item item);

    // One layout pass for the given inner size. False when the size is too small and nothing
    // was changed. Throws platform::Error (OutOfRange) if the size does not fit 32 bits.
    bool layout(double innerWidth, double innerHeight);

    const std::vector<Item>& items() const { return ivItems; }
    // Throws platform::Error (General) for a name that is not laid out here.
    const Item& item(const QString& name) const;

    qint32 lastScaleWidth() const { return ivLastScaleWidth; }
    qint32 lastScaleHeight() const { return ivLastScaleHeight; }

    // Nearest integer, ties to even; throws platform::Error (OutOfRange) outside 32 bits.
    static qint32 roundToInt32(double value);

private:
    std::vector<Item> ivItems;
    qint32 ivLastScaleWidth;
    qint32 ivLastScaleHeight;
};

} // namespace korvane
