// What the property pages show and what their Apply writes, without windows.

#include "TestSupport.h"

#include "core/PageModels.h"

namespace veer::test {
namespace {

using detail::FontPageModel;
using detail::VeerPageModel;

struct Watched {
    ComPtr<detail::VeerControl> control = newControl();
    ComPtr<RecordingSink> sink = make<RecordingSink>();
    Watched()
    {
        std::uint32_t cookie = 0;
        control->AdvisePropertyNotify(sink.get(), &cookie);
    }
    // The change notices only.
    std::vector<std::string> changes() const
    {
        std::vector<std::string> out;
        for (const auto& entry : sink->log)
            if (entry.rfind("changed", 0) == 0)
                out.push_back(entry);
        return out;
    }
};

std::vector<ComPtr<IVeer>> controls(std::initializer_list<Watched*> list)
{
    std::vector<ComPtr<IVeer>> out;
    for (Watched* w : list)
        out.emplace_back(static_cast<IVeer*>(w->control.get()));
    return out;
}

TEST(VeerPageModel, ShowsTheFirstControlsValues)
{
    Watched a, b;
    a.control->put_Caption(u"one\r\ntwo");
    a.control->put_Angle(-90);
    a.control->put_Alignment(align_CenterVertical);
    a.control->put_Spacing(60); // below what the spinner offers
    a.control->put_BackStyle(1);
    b.control->put_Caption(u"other");

    VeerPageModel page;
    page.setObjects(controls({&a, &b}));
    EXPECT_EQ(page.captionText(), u"one\ntwo");
    EXPECT_EQ(page.angle(), 270);
    EXPECT_EQ(page.alignment(), align_CenterVertical);
    EXPECT_EQ(page.spacing(), 120);
    EXPECT_TRUE(page.opaque());
    EXPECT_EQ(page.changeFlags(), 0u);
    EXPECT_FALSE(page.dirty());

    b.control->put_Spacing(9000);
    page.setObjects(controls({&b}));
    EXPECT_EQ(page.spacing(), 5760);
    EXPECT_EQ(page.captionText(), u"other");
    EXPECT_FALSE(page.opaque());
}

TEST(VeerPageModel, ApplyWithoutTouchingChangesNothing)
{
    Watched a;
    a.control->put_Spacing(60); // shown as 120, but not touched
    const auto before = saveBytes(a.control.get());
    a.sink->log.clear();
    VeerPageModel page;
    page.setObjects(controls({&a}));
    page.apply();
    EXPECT_TRUE(a.sink->log.empty());
    EXPECT_EQ(saveBytes(a.control.get()), before);
}

TEST(VeerPageModel, EachEditSetsItsFlagAndTellsTheSite)
{
    VeerPageModel page;
    int told = 0;
    page.onEdit = [&] { ++told; };
    page.editCaption(u"x");
    EXPECT_EQ(page.changeFlags(), 0x01u);
    page.editAngle(10);
    page.selectAlignment(2);
    page.editSpacing(240);
    page.clickOpaque(true);
    EXPECT_EQ(page.changeFlags(), 0x1Fu);
    EXPECT_TRUE(page.dirty());
    EXPECT_EQ(told, 5);
    page.apply(); // no controls: only the page becomes clean
    EXPECT_EQ(page.changeFlags(), 0u);
    EXPECT_FALSE(page.dirty());
}

TEST(VeerPageModel, ApplyWritesOnlyTheTouchedFieldsToEveryControlInOrder)
{
    Watched a, b;
    a.control->put_Caption(u"first");
    b.control->put_Caption(u"second");
    b.control->put_Angle(10);
    VeerPageModel page;
    page.setObjects(controls({&a, &b}));
    a.sink->log.clear();
    b.sink->log.clear();

    page.clickOpaque(true);
    page.selectAlignment(align_Top);
    page.editAngle(135);
    page.editCaption(u"new\ncaption");
    page.apply();

    // Caption, angle, (spacing,) alignment, back style; spacing was not touched.
    const std::vector<std::string> expected = {"changed -518", "changed 1", "changed 2", "changed -502"};
    EXPECT_EQ(a.changes(), expected);
    EXPECT_EQ(b.changes(), expected);
    for (Watched* w : {&a, &b}) {
        std::optional<std::u16string> caption;
        std::int16_t angle = 0, spacing = 0;
        Align align = align_Left;
        std::int32_t back = 0;
        w->control->get_Caption(&caption);
        w->control->get_Angle(&angle);
        w->control->get_Spacing(&spacing);
        w->control->get_Alignment(&align);
        w->control->get_BackStyle(&back);
        EXPECT_EQ(caption, u"new\r\ncaption"); // lines end as the control's lines do
        EXPECT_EQ(angle, 135);
        EXPECT_EQ(spacing, 720);
        EXPECT_EQ(align, align_Top);
        EXPECT_EQ(back, 1);
    }
    EXPECT_EQ(page.changeFlags(), 0u);
}

TEST(VeerPageModel, RefusalsAreIgnored)
{
    Watched refusing, taking;
    refusing.sink->refuse = true;
    VeerPageModel page;
    page.setObjects(controls({&refusing, &taking}));
    page.selectAlignment(-1); // no selection: every control refuses it
    page.editSpacing(1440);
    page.editCaption(u"");
    taking.control->put_Caption(u"had one");
    page.apply();

    std::int16_t spacing = 0;
    refusing.control->get_Spacing(&spacing);
    EXPECT_EQ(spacing, 720);
    taking.control->get_Spacing(&spacing);
    EXPECT_EQ(spacing, 1440);
    Align align = align_Left;
    taking.control->get_Alignment(&align);
    EXPECT_EQ(align, align_Bottom);
    std::optional<std::u16string> caption = u"x";
    taking.control->get_Caption(&caption);
    EXPECT_FALSE(caption.has_value()); // an empty caption is written as absent
    EXPECT_FALSE(page.dirty());
}

TEST(VeerPageModel, CaptionLinesBetweenControlAndEdit)
{
    EXPECT_EQ(VeerPageModel::editTextFromCaption(std::nullopt), u"");
    EXPECT_EQ(VeerPageModel::editTextFromCaption(u"a\r\nb\nc"), u"a\nb\nc");
    EXPECT_EQ(VeerPageModel::captionFromEditText(u""), std::nullopt);
    EXPECT_EQ(VeerPageModel::captionFromEditText(u"a\nb\r\nc\n"), u"a\r\nb\r\nc\r\n");
}

TEST(FontPageModel, ChangesOnlyTheTouchedPropertiesInsideEachFont)
{
    Watched a, b;
    auto shared = newFont(u"MS Sans Serif", 82500, 700);
    a.control->putref_Font(shared.get());
    auto own = newFont(u"Arial", 120000);
    b.control->putref_Font(own.get());
    Watched bare; // no font at all

    FontPageModel page;
    page.setObjects(controls({&a, &b, &bare}));
    EXPECT_EQ(page.choice().name, u"MS Sans Serif");
    EXPECT_EQ(page.choice().size, 82500);
    EXPECT_TRUE(page.choice().bold);

    EXPECT_TRUE(page.editSizeText(u"10.5"));
    page.editItalic(true);
    page.apply();
    auto font = [](Watched& w) {
        ComPtr<IFont> f;
        w.control->get_Font(f.put());
        return f;
    };
    std::u16string name;
    std::int64_t size = 0;
    bool bold = false, italic = false;
    ASSERT_EQ(font(b).get(), own.get()); // changed in place, not replaced
    own->get_Name(&name);
    own->get_Size(&size);
    own->get_Bold(&bold);
    own->get_Italic(&italic);
    EXPECT_EQ(name, u"Arial");
    EXPECT_EQ(size, 105000);
    EXPECT_FALSE(bold);
    EXPECT_TRUE(italic);
    shared->get_Size(&size);
    EXPECT_EQ(size, 105000);
    ASSERT_FALSE(b.changes().empty()); // the control heard of it through its font
    for (const auto& change : b.changes())
        EXPECT_EQ(change, "changed -512");

    // The control without a font gets the whole choice.
    ComPtr<IFont> made = font(bare);
    ASSERT_TRUE(made);
    made->get_Name(&name);
    made->get_Bold(&bold);
    EXPECT_EQ(name, u"MS Sans Serif");
    EXPECT_TRUE(bold);
}

TEST(FontPageModel, SizesAreReadWithADecimalPoint)
{
    FontPageModel page;
    EXPECT_TRUE(page.editSizeText(u"8.25"));
    EXPECT_EQ(page.choice().size, 82500);
    for (const char16_t* bad : {u"8,25", u"", u"0", u"-3", u"1.23456", u"12pt", u"99999"})
        EXPECT_FALSE(page.editSizeText(bad)) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
    EXPECT_EQ(page.choice().size, 82500);
    EXPECT_EQ(FontPageModel::sizeText(82500), u"8.25");
    EXPECT_EQ(FontPageModel::sizeText(240000), u"24");
    EXPECT_EQ(FontPageModel::sizeText(10050), u"1.005");
}

TEST(ColorPageModel, WritesForeColorOnlyWhenAColourWasChosen)
{
    Watched a, b;
    a.control->put_ForeColor(0x80000012);
    detail::ColorPageModel page;
    page.setObjects(controls({&a, &b}));
    EXPECT_EQ(page.color(), 0x80000012u);
    a.sink->log.clear();
    page.apply();
    EXPECT_TRUE(a.sink->log.empty());
    page.choose(0x800000);
    page.apply();
    OleColor color = 0;
    b.control->get_ForeColor(&color);
    EXPECT_EQ(color, 0x800000u);
    EXPECT_FALSE(page.dirty());
}

} // namespace
} // namespace veer::test
