// The drawing routine on a recording canvas: background, design frame, the
// device font and its cache, and the lines it hands to the surface.

#include "TestSupport.h"

namespace veer::test {
namespace {

using detail::DrawRequest;
using detail::Rect;

DrawRequest request(Rect bounds = {0, 0, 100, 200}, int dpi = 96)
{
    DrawRequest r;
    r.bounds = bounds;
    r.dpiX = r.dpiY = dpi;
    return r;
}

TEST(VeerDraw, OpaqueFillsEvenWithoutCaption)
{
    auto c = newControl();
    auto site = make<TestSite>();
    site->backColor = 0x123456;
    c->SetClientSite(site.get());
    RecordingCanvas canvas;
    c->put_BackStyle(1);
    EXPECT_EQ(c->draw(request(), canvas), S_OK);
    ASSERT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.fills[0].first, (Rect{0, 0, 100, 200}));
    EXPECT_EQ(canvas.fills[0].second, 0x123456u);
    EXPECT_TRUE(canvas.lines.empty());

    RecordingCanvas transparent;
    c->put_BackStyle(2); // not 1: transparent
    c->draw(request(), transparent);
    EXPECT_TRUE(transparent.fills.empty());
}

TEST(VeerDraw, WithoutSiteTheFillUsesButtonFace)
{
    auto c = newControl();
    c->put_BackStyle(1);
    RecordingCanvas canvas;
    c->draw(request(), canvas);
    ASSERT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.fills[0].second, 0x8000000Fu);
}

TEST(VeerDraw, NoFontDrawsBackgroundAndFrameThenFails)
{
    auto c = newControl();
    auto site = make<TestSite>();
    site->userMode = false;
    c->put_BackStyle(1);
    c->put_Caption(u"A");
    c->SetClientSite(site.get());
    c->put_Font(nullptr); // siting made one; take it away
    RecordingCanvas canvas;
    EXPECT_EQ(c->draw(request(), canvas), E_FAIL);
    EXPECT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.frames.size(), 1u);
    EXPECT_TRUE(canvas.lines.empty());

    DrawRequest icon = request();
    icon.aspect = 4;
    RecordingCanvas other;
    EXPECT_EQ(c->draw(icon, other), E_FAIL);
    EXPECT_TRUE(other.fills.empty());
}

TEST(VeerDraw, LinesGoWhereTheTableSays)
{
    auto c = newControl();
    auto font = newFont(u"MS Sans Serif", 82500, 700);
    c->putref_Font(font.get());
    c->put_Caption(u"one\r\ntwo");
    c->put_Angle(0);
    c->put_Alignment(align_Left);
    c->put_ForeColor(0x80000012);
    RecordingCanvas canvas;
    canvas.height = 13;
    ASSERT_EQ(c->draw(request({5, 6, 105, 206}), canvas), S_OK);
    ASSERT_EQ(canvas.lines.size(), 2u);
    EXPECT_EQ(canvas.lines[0].text, u"one");
    EXPECT_EQ(canvas.lines[0].at, (detail::Point{5, 206 - 48}));
    EXPECT_EQ(canvas.lines[1].at, (detail::Point{5, 206}));
    EXPECT_EQ(canvas.lines[1].flags, detail::TA_LEFT | detail::TA_BOTTOM);
    EXPECT_EQ(canvas.lines[1].color, 0x80000012u);
    EXPECT_EQ(canvas.lines[1].clip, (Rect{5, 6, 105, 206}));

    ASSERT_EQ(canvas.fonts.size(), 1u);
    const detail::LogFont& lf = canvas.fonts[0];
    EXPECT_EQ(lf.face, u"MS Sans Serif");
    EXPECT_EQ(lf.height, -11);
    EXPECT_EQ(lf.weight, 700);
    EXPECT_EQ(lf.escapement, 0);
    EXPECT_EQ(lf.outPrecision, 7);
    EXPECT_EQ(lf.quality, 2);

    // Half the resolution halves the steps: zoom 1:2.
    DrawRequest zoomed = request({5, 6, 105, 206});
    zoomed.zoom = detail::Zoom{1, 2, 1, 2};
    RecordingCanvas half;
    c->draw(zoomed, half);
    EXPECT_EQ(half.lines[0].at, (detail::Point{5, 206 - 24}));
    EXPECT_EQ(half.fonts.at(0).height, -5);
}

TEST(VeerDraw, FaceNamesAreCutTo31Characters)
{
    auto c = newControl();
    auto font = newFont(std::u16string(40, u'x'));
    c->putref_Font(font.get());
    c->put_Caption(u"A");
    c->put_Angle(135);
    RecordingCanvas canvas;
    c->draw(request(), canvas);
    EXPECT_EQ(canvas.fonts.at(0).face.size(), 31u);
    EXPECT_EQ(canvas.fonts.at(0).escapement, 1350);
}

TEST(VeerDraw, TheDeviceFontIsMadeAgainOnlyWhenNeeded)
{
    auto c = newControl();
    auto font = newFont();
    c->putref_Font(font.get());
    c->put_Caption(u"A");
    RecordingCanvas canvas;
    auto paints = [&](int times, int dpi = 96) {
        for (int i = 0; i < times; ++i)
            c->draw(request({0, 0, 100, 200}, dpi), canvas);
        return canvas.fonts.size();
    };
    EXPECT_EQ(paints(3), 1u);     // reused across paints
    EXPECT_EQ(paints(1, 192), 2u); // another resolution: another height
    EXPECT_EQ(paints(2, 192), 2u);
    c->put_Angle(45);
    EXPECT_EQ(paints(1, 192), 3u); // a new angle
    c->put_Angle(45);
    EXPECT_EQ(paints(1, 192), 3u); // the same angle is no change
    font->put_Size(120000);
    EXPECT_EQ(paints(1, 192), 4u); // a new size gives a new height
    font->put_Name(u"Verdana");
    EXPECT_EQ(paints(1, 192), 5u); // a new face shows at once
    EXPECT_EQ(canvas.fonts.back().face, u"Verdana");
    auto other = newFont();
    c->put_Font(other.get());
    EXPECT_EQ(paints(2, 192), 6u); // a replaced font
    EXPECT_EQ(c->cachedFontHeight(), -22);
}

TEST(VeerDraw, TextHeightMovesTheAnchorOfTurnedText)
{
    auto c = newControl();
    auto font = newFont();
    c->putref_Font(font.get());
    c->put_Caption(u"hodn\u011B");
    c->put_Angle(90);
    c->put_Alignment(align_CenterVertical);
    RecordingCanvas canvas;
    canvas.height = 13;
    c->draw(request({0, 0, 17, 40}), canvas);
    ASSERT_EQ(canvas.lines.size(), 1u);
    EXPECT_EQ(canvas.lines[0].at, (detail::Point{(17 - 13) / 2, 20}));
    EXPECT_EQ(canvas.lines[0].flags, detail::TA_CENTER);
}

} // namespace
} // namespace veer::test
