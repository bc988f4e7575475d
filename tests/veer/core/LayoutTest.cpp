// The geometry of a drawing: font height, line steps, line splitting and the
// placement table, at 96 dpi and under zoom.

#include "core/Layout.h"

#include <Veer12/Veer12.h>

#include <gtest/gtest.h>

#include <cmath>

namespace veer::detail {
namespace {

using namespace veer;
constexpr double kRad = 0.017453292519943295;

Placement place(int alignment, int angle, std::int64_t n, int H = 13, const Rect& b = {10, 20, 110, 220},
                std::int64_t step = 48)
{
    return placeLines(alignment, angle, std::sin(angle * kRad), std::cos(angle * kRad), b, n, H, step, step);
}

TEST(VeerLayout, MulDivRoundsToNearest)
{
    EXPECT_EQ(mulDiv(82500, 96, 720000), 11);   // 10.999...
    EXPECT_EQ(mulDiv(5, 1, 2), 3);             // halves away from zero
    EXPECT_EQ(mulDiv(-5, 1, 2), -3);
    EXPECT_EQ(mulDiv(7, 3, 0), -1);
}

TEST(VeerLayout, FontHeightFromPointsAndResolution)
{
    EXPECT_EQ(fontHeight(82500, 96, std::nullopt), -11);   // 8.25 pt
    EXPECT_EQ(fontHeight(240000, 96, std::nullopt), -32);  // 24 pt
    EXPECT_EQ(fontHeight(240000, 300, std::nullopt), -100);
    EXPECT_EQ(fontHeight(240000, 96, Zoom{1, 2, 1, 2}), -16);
    EXPECT_EQ(fontHeight(82500, 96, Zoom{1, 1, 1, 2}), -5); // truncated
    EXPECT_EQ(fontHeight(0, 96, std::nullopt), 0);
}

TEST(VeerLayout, SpacingStepsAt96DpiAndUnderZoom)
{
    EXPECT_EQ(lineSteps(720, 96, 96, std::nullopt), (Point{48, 48}));
    EXPECT_EQ(lineSteps(720, 96, 96, Zoom{1, 2, 1, 2}), (Point{24, 24}));
    EXPECT_EQ(lineSteps(720, 120, 96, Zoom{3, 2, 1, 1}), (Point{90, 48}));
    EXPECT_EQ(lineSteps(100, 96, 96, std::nullopt), (Point{6, 6})); // 6.67 truncated
}

TEST(VeerLayout, Quadrants)
{
    const std::pair<int, int> cases[] = {{0, 0},   {45, 0},  {90, 0},  {91, 1},  {179, 1},
                                         {180, 2}, {269, 2}, {270, 3}, {359, 3}};
    for (auto [angle, q] : cases)
        EXPECT_EQ(quadrant(angle), q) << angle;
}

TEST(VeerLayout, LineSplitting)
{
    EXPECT_EQ(splitLines(u"A\r\nB\r\n"), (std::vector<std::u16string_view>{u"A", u"B"}));
    EXPECT_EQ(splitLines(u"A\n\nB"), (std::vector<std::u16string_view>{u"A", u"", u"B"}));
    EXPECT_EQ(splitLines(u"A\r\nB\nC"), (std::vector<std::u16string_view>{u"A", u"B\nC"}));
    EXPECT_EQ(splitLines(u"A\rB"), (std::vector<std::u16string_view>{u"A\rB"}));
    EXPECT_TRUE(splitLines(u"").empty());
    EXPECT_EQ(splitLines(u"\n"), (std::vector<std::u16string_view>{u""}));
    EXPECT_EQ(splitLines(u"\n\n"), (std::vector<std::u16string_view>{u"", u""}));
    EXPECT_EQ(splitLines(u"hodn\u011B"), (std::vector<std::u16string_view>{u"hodn\u011B"}));
}

TEST(VeerLayout, LeftAtAngle0PutsTheBlockBottomLeft)
{
    const Placement p = place(align_Left, 0, 2);
    EXPECT_EQ(p.start, (Point{10, 220 - 48}));
    EXPECT_EQ(p.advance, (Point{0, 48}));
    EXPECT_EQ(p.flags, TA_LEFT | TA_BOTTOM);
}

TEST(VeerLayout, LeftAtAngle90AndAngle91)
{
    // The turned text's top edge lies on the left border.
    const Placement p90 = place(align_Left, 90, 1);
    EXPECT_EQ(p90.start, (Point{10 + 13, 220}));
    EXPECT_EQ(p90.flags, TA_LEFT | TA_BOTTOM);
    const Placement p91 = place(align_Left, 91, 3);
    EXPECT_EQ(p91.start, (Point{10 + 12, 20})); // trunc(|13 sin 91|) = 12, from the top
    EXPECT_EQ(p91.flags, TA_RIGHT | TA_BOTTOM);
}

TEST(VeerLayout, FlagsOfEveryAlignmentAndQuadrant)
{
    const unsigned expected[6][4] = {
        {8, 10, 2, 0}, {2, 0, 8, 10}, {10, 2, 0, 8}, {0, 8, 10, 2}, {6, 6, 6, 6}, {6, 6, 6, 6}};
    const int angles[4] = {30, 120, 200, 300};
    for (int a = 0; a < 6; ++a)
        for (int q = 0; q < 4; ++q)
            EXPECT_EQ(place(a, angles[q], 1).flags, expected[a][q]) << a << " " << q;
    EXPECT_EQ(place(7, 30, 1), place(align_Bottom, 30, 1)); // any other value places as Bottom
}

TEST(VeerLayout, StartPointsOfTheOtherAlignments)
{
    // Right, angle 0, 3 lines: from the top, at the right border.
    EXPECT_EQ(place(align_Right, 0, 3).start, (Point{110, 20}));
    EXPECT_EQ(place(align_Right, 120, 3).start, (Point{110 - 11, 220 - 96})); // |13 sin 120| = 11.3
    // Top and Bottom set lines side by side to the right.
    const Placement top = place(align_Top, 0, 2);
    EXPECT_EQ(top.start, (Point{110 - 48, 20 + 13}));
    EXPECT_EQ(top.advance, (Point{48, 0}));
    EXPECT_EQ(place(align_Bottom, 0, 2).start, (Point{10, 220 - 13}));
    EXPECT_EQ(place(align_Bottom, 120, 2).start, (Point{110 - 48, 220 - 6})); // |13 cos 120| = 6.5
    // The centred ones centre the block, with signed sine and cosine.
    EXPECT_EQ(place(align_CenterVertical, 90, 1).start, (Point{(120 - 13) / 2, 240 / 2}));
    EXPECT_EQ(place(align_CenterVertical, 0, 3).start, (Point{60, (240 - 13 - 96) / 2}));
    EXPECT_EQ(place(align_CenterHorizontal, 270, 2).start, (Point{(120 + 13 - 48) / 2, 120}));
    EXPECT_EQ(place(align_CenterHorizontal, 0, 1).start, (Point{60, (240 - 13) / 2}));
}

TEST(VeerLayout, HugeLineCountsDoNotOverflow)
{
    const Placement p = place(align_Left, 0, std::int64_t(1) << 31);
    EXPECT_EQ(p.start.y, 220 - ((std::int64_t(1) << 31) - 1) * 48);
}

} // namespace
} // namespace veer::detail
