// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "shell/ProportionalLayout.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using Item = ProportionalLayout::Item;

Item box(const QString& name, const QString& typeName, double left, double top, double width, double height,
         double fontSize = 9)
{
    return Item::box(name, typeName, left, top, width, height, fontSize);
}

Item line(const QString& name, double x1, double y1, double x2, double y2)
{
    return Item::line(name, x1, y1, x2, y2);
}

// The wizard's controls that carry each rule, at the design size 6960 × 4755.
ProportionalLayout designLayout()
{
    ProportionalLayout layout(6960, 4755);
    layout.addItem(box(QStringLiteral("btnOk"), QStringLiteral("CommandButton"), 4200, 4200, 1215, 375));
    layout.addItem(box(QStringLiteral("txtCaption"), QStringLiteral("TextBox"), 240, 1080, 6495, 1935));
    layout.addItem(line(QStringLiteral("Line1"), 120, 3960, 6840, 3960));
    layout.addItem(box(QStringLiteral("Label2"), QStringLiteral("Label"), 240, 240, 4215, 465, 18));
    layout.addItem(box(QStringLiteral("lblAppVersion"), QStringLiteral("Label"), 4140, 600, 1515, 255, 9.75));
    layout.addItem(box(QStringLiteral("cboModel"), QStringLiteral("ComboBox"), 300, 600, 2000, 300));
    return layout;
}

TEST(ProportionalLayoutTest, HostFormStartUpWidthThenHeight)
{
    ProportionalLayout layout = designLayout();
    ASSERT_TRUE(layout.layout(10245, 4755));
    ASSERT_TRUE(layout.layout(10245, 6030));

    const Item& ok = layout.item(QStringLiteral("btnOk"));
    EXPECT_NEAR(ok.left, 6182.3, 0.1);
    EXPECT_NEAR(ok.top, 5326.2, 0.1);
    EXPECT_NEAR(ok.width, 1788.5, 0.1);
    EXPECT_NEAR(ok.height, 475.6, 0.1);

    const Item& caption = layout.item(QStringLiteral("txtCaption"));
    EXPECT_NEAR(caption.left, 353.3, 0.1);
    EXPECT_NEAR(caption.top, 1369.6, 0.1);
    EXPECT_NEAR(caption.width, 9560.5, 0.1);
    EXPECT_DOUBLE_EQ(caption.height, 1935);
    EXPECT_DOUBLE_EQ(caption.fontSize, 11);

    EXPECT_EQ(layout.lastScaleWidth(), 10245);
    EXPECT_EQ(layout.lastScaleHeight(), 6030);
}

TEST(ProportionalLayoutTest, EachTypeFollowsItsOwnRule)
{
    ProportionalLayout layout = designLayout();
    ASSERT_TRUE(layout.layout(6960 * 2, 4755 * 3));

    // Lines keep their start X; everything else of them scales.
    const Item& separator = layout.item(QStringLiteral("Line1"));
    EXPECT_DOUBLE_EQ(separator.x1, 120);
    EXPECT_DOUBLE_EQ(separator.x2, 6840 * 2);
    EXPECT_DOUBLE_EQ(separator.y1, 3960 * 3);
    EXPECT_DOUBLE_EQ(separator.y2, 3960 * 3);

    // Combo and text boxes keep their height and take 11 pt.
    for (const char* name : {"cboModel", "txtCaption"}) {
        SCOPED_TRACE(name);
        const Item& edit = layout.item(QString::fromLatin1(name));
        EXPECT_DOUBLE_EQ(edit.fontSize, 11);
        EXPECT_DOUBLE_EQ(edit.height, name == std::string("cboModel") ? 300 : 1935);
    }
    EXPECT_DOUBLE_EQ(layout.item(QStringLiteral("cboModel")).left, 600);
    EXPECT_DOUBLE_EQ(layout.item(QStringLiteral("cboModel")).top, 1800);

    // Labels and buttons scale in both directions and keep their fonts.
    const Item& title = layout.item(QStringLiteral("Label2"));
    EXPECT_DOUBLE_EQ(title.height, 465 * 3);
    EXPECT_DOUBLE_EQ(title.width, 4215 * 2);
    EXPECT_DOUBLE_EQ(title.fontSize, 18);
    EXPECT_DOUBLE_EQ(layout.item(QStringLiteral("lblAppVersion")).fontSize, 9.75);
}

struct TooSmall
{
    double width;
    double height;
};

class LayoutFloorTest : public ::testing::TestWithParam<TooSmall>
{
};

TEST_P(LayoutFloorTest, SmallSizeChangesNothingAndLaterPassScalesFromLastLaidOutSize)
{
    ProportionalLayout layout = designLayout();
    ASSERT_TRUE(layout.layout(13920, 4755));
    const std::vector<Item> before = layout.items();

    EXPECT_FALSE(layout.layout(GetParam().width, GetParam().height));
    EXPECT_EQ(layout.lastScaleWidth(), 13920);
    EXPECT_EQ(layout.lastScaleHeight(), 4755);
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(layout.items()[i].left, before[i].left) << before[i].name.toStdString();
        EXPECT_EQ(layout.items()[i].width, before[i].width) << before[i].name.toStdString();
    }

    // Back to the design size: relative to 13920, not to the size that was refused.
    ASSERT_TRUE(layout.layout(6960, 4755));
    EXPECT_DOUBLE_EQ(layout.item(QStringLiteral("btnOk")).left, 4200);
    EXPECT_DOUBLE_EQ(layout.item(QStringLiteral("btnOk")).width, 1215);
}

INSTANTIATE_TEST_SUITE_P(BelowHundredTwips, LayoutFloorTest,
                         ::testing::Values(TooSmall{99.999, 4755}, TooSmall{6960, 99.5}, TooSmall{0, 0},
                                           TooSmall{-15, 4755}));

TEST(ProportionalLayoutTest, HundredTwipsIsLaidOut)
{
    ProportionalLayout layout = designLayout();
    EXPECT_TRUE(layout.layout(100, 100));
    EXPECT_EQ(layout.lastScaleWidth(), 100);
    EXPECT_NEAR(layout.item(QStringLiteral("btnOk")).left, 4200 * 100 / 6960.0, 1e-9);
}

struct PrefixCase
{
    const char* name;
    bool fixed;
};

class FixedPrefixTest : public ::testing::TestWithParam<PrefixCase>
{
};

TEST_P(FixedPrefixTest, OnlyExactUpperCasePrefixOptsOut)
{
    ProportionalLayout layout(1000, 1000);
    layout.addItem(box(QString::fromLatin1(GetParam().name), QStringLiteral("Label"), 100, 200, 300, 400));
    layout.addItem(line(QString::fromLatin1(GetParam().name) + QStringLiteral("Line"), 10, 20, 30, 40));
    ASSERT_TRUE(layout.layout(2000, 3000));
    ASSERT_TRUE(layout.layout(4000, 3000));

    const Item& control = layout.items()[0];
    const Item& rule = layout.items()[1];
    if (GetParam().fixed) {
        EXPECT_DOUBLE_EQ(control.left, 100);
        EXPECT_DOUBLE_EQ(control.top, 200);
        EXPECT_DOUBLE_EQ(control.width, 300);
        EXPECT_DOUBLE_EQ(control.height, 400);
        EXPECT_DOUBLE_EQ(rule.x2, 30);
        EXPECT_DOUBLE_EQ(rule.y1, 20);
    } else {
        EXPECT_DOUBLE_EQ(control.left, 400);
        EXPECT_DOUBLE_EQ(control.top, 600);
        EXPECT_DOUBLE_EQ(control.width, 1200);
        EXPECT_DOUBLE_EQ(control.height, 1200);
        EXPECT_DOUBLE_EQ(rule.x2, 120);
        EXPECT_DOUBLE_EQ(rule.y1, 60);
    }
}

INSTANTIATE_TEST_SUITE_P(NamePrefixes, FixedPrefixTest,
                         ::testing::Values(PrefixCase{"FIX_Logo", true}, PrefixCase{"FIX_", true},
                                           PrefixCase{"fix_Logo", false}, PrefixCase{"Fix_Logo", false},
                                           PrefixCase{"FIXLogo", false}, PrefixCase{"xFIX_Logo", false}));

TEST(ProportionalLayoutTest, TwiceTheWidthAndBackRestoresPositions)
{
    ProportionalLayout layout = designLayout();
    ASSERT_TRUE(layout.layout(10245, 6030));
    const std::vector<Item> start = layout.items();

    ASSERT_TRUE(layout.layout(20490, 6030));
    EXPECT_NEAR(layout.item(QStringLiteral("btnOk")).left, start[0].left * 2, 1e-6);
    ASSERT_TRUE(layout.layout(10245, 6030));

    for (std::size_t i = 0; i < start.size(); ++i) {
        SCOPED_TRACE(start[i].name.toStdString());
        const Item& now = layout.items()[i];
        EXPECT_NEAR(now.left, start[i].left, 1e-6);
        EXPECT_NEAR(now.top, start[i].top, 1e-6);
        EXPECT_NEAR(now.width, start[i].width, 1e-6);
        EXPECT_NEAR(now.height, start[i].height, 1e-6);
        EXPECT_NEAR(now.x2, start[i].x2, 1e-6);
    }
}

TEST(ProportionalLayoutTest, VersionLabelKeepsHundredTwipsToTheRightEdge)
{
    ProportionalLayout layout = designLayout();
    for (const auto& [width, height] : {std::pair{6960.0, 4755.0},
                                        {10245.0, 4755.0},
                                        {10245.0, 6030.0},
                                        {3000.0, 2000.0},
                                        {150.0, 150.0},
                                        {30000.0, 9000.0}}) {
        ASSERT_TRUE(layout.layout(width, height));
        const Item& version = layout.item(QStringLiteral("lblAppVersion"));
        EXPECT_NEAR(version.left + version.width, width - 100, 1e-6) << width << " x " << height;
    }
}

TEST(ProportionalLayoutTest, RecordedSizeRoundsToNearestWithTiesToEven)
{
    ProportionalLayout layout = designLayout();
    const std::pair<double, qint32> cases[] = {{100.5, 100}, {101.5, 102}, {6030.4, 6030}, {6030.6, 6031}};
    for (const auto& [size, recorded] : cases) {
        ASSERT_TRUE(layout.layout(size, size));
        EXPECT_EQ(layout.lastScaleWidth(), recorded) << size;
        EXPECT_EQ(layout.lastScaleHeight(), recorded) << size;
    }
}

TEST(ProportionalLayoutTest, SizeBeyondThirtyTwoBitsFailsWithoutMovingAnything)
{
    ProportionalLayout layout = designLayout();
    try {
        layout.layout(3e9, 4755);
        FAIL() << "no error";
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.kind(), platform::Error::Kind::OutOfRange);
    }
    EXPECT_EQ(layout.lastScaleWidth(), 6960);
    EXPECT_DOUBLE_EQ(layout.item(QStringLiteral("btnOk")).left, 4200);
}

} // namespace
} // namespace korvane
