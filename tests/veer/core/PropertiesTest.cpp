// The control's properties: defaults, the setters' rules and status codes,
// notifications, the font object's semantics, siting and property browsing.

#include "TestSupport.h"

#include <cmath>

namespace veer::test {
namespace {

TEST(VeerProperties, NewControlHasTheDefaults)
{
    auto c = newControl();
    std::int16_t angle = 0, spacing = 0;
    Align align = align_Left;
    std::int32_t back = -1;
    OleColor fore = 0;
    std::optional<std::u16string> caption = u"x";
    ComPtr<IFont> font;
    c->get_Angle(&angle);
    c->get_Alignment(&align);
    c->get_Spacing(&spacing);
    c->get_BackStyle(&back);
    c->get_ForeColor(&fore);
    c->get_Caption(&caption);
    c->get_Font(font.put());
    EXPECT_EQ(angle, 60);
    EXPECT_EQ(align, align_Bottom);
    EXPECT_EQ(spacing, 720);
    EXPECT_EQ(back, 0);
    EXPECT_EQ(fore, 0x80000008u);
    EXPECT_FALSE(caption.has_value());
    EXPECT_FALSE(font);
    EXPECT_NEAR(c->angleSine(), std::sqrt(3.0) / 2, 1e-15);
    EXPECT_NEAR(c->angleCosine(), 0.5, 1e-15);
    EXPECT_EQ(c->IsDirty(), S_FALSE);
    EXPECT_EQ(c->get_Angle(nullptr), E_POINTER);
}

TEST(VeerProperties, AngleIsKeptWithin0To359)
{
    const std::pair<std::int16_t, std::int16_t> cases[] = {
        {-90, 270}, {360, 0}, {-1, 359}, {-360, 0}, {400, 40}, {-32768, 352}, {32767, 7}};
    for (auto [given, kept] : cases) {
        auto c = newControl();
        EXPECT_EQ(c->put_Angle(given), S_OK) << given;
        std::int16_t angle;
        c->get_Angle(&angle);
        EXPECT_EQ(angle, kept) << given;
        EXPECT_NEAR(c->angleSine(), std::sin(kept * 0.017453292519943295), 1e-15) << given;
    }
}

TEST(VeerProperties, UnchangedValuesFireNothing)
{
    auto c = newControl();
    auto sink = make<RecordingSink>();
    std::uint32_t cookie;
    ASSERT_EQ(c->AdvisePropertyNotify(sink.get(), &cookie), S_OK);
    EXPECT_EQ(c->put_Angle(60), S_OK);
    EXPECT_EQ(c->put_Angle(420), S_OK); // 420 is 60 again
    EXPECT_EQ(c->put_Alignment(align_Bottom), S_OK);
    EXPECT_EQ(c->put_Spacing(720), S_OK);
    EXPECT_EQ(c->put_Spacing(0), S_OK);
    EXPECT_EQ(c->put_Spacing(-5), S_OK);
    EXPECT_TRUE(sink->log.empty());
    EXPECT_EQ(c->IsDirty(), S_FALSE);
    std::int16_t spacing;
    c->get_Spacing(&spacing);
    EXPECT_EQ(spacing, 720);
}

TEST(VeerProperties, AlignmentOutOfRangeIsRefused)
{
    auto c = newControl();
    EXPECT_EQ(c->put_Alignment(static_cast<Align>(6)), S_FALSE);
    EXPECT_EQ(c->put_Alignment(static_cast<Align>(-1)), S_FALSE);
    Align align;
    c->get_Alignment(&align);
    EXPECT_EQ(align, align_Bottom);
    EXPECT_EQ(c->put_Alignment(align_CenterVertical), S_OK);
    c->get_Alignment(&align);
    EXPECT_EQ(align, align_CenterVertical);
}

TEST(VeerProperties, AChangeAsksFirstThenCommits)
{
    auto c = newControl();
    auto sink = make<RecordingSink>();
    auto site = make<TestSite>();
    std::uint32_t cookie;
    c->AdvisePropertyNotify(sink.get(), &cookie);
    c->SetClientSite(site.get());
    site->invalidations = 0;
    EXPECT_EQ(c->put_Angle(90), S_OK);
    EXPECT_EQ(sink->log, (std::vector<std::string>{"request 1", "changed 1"}));
    EXPECT_EQ(c->IsDirty(), S_OK);
    EXPECT_EQ(site->invalidations, 1);
    // Caption, BackStyle and ForeColor commit even when the value is the same.
    sink->log.clear();
    c->put_BackStyle(0);
    c->put_ForeColor(0x80000008);
    c->put_Caption(std::nullopt);
    EXPECT_EQ(sink->log.size(), 6u);
}

TEST(VeerProperties, ARefusedEditChangesNothing)
{
    auto c = newControl();
    auto sink = make<RecordingSink>();
    sink->refuse = true;
    std::uint32_t cookie;
    c->AdvisePropertyNotify(sink.get(), &cookie);
    auto font = newFont();
    EXPECT_EQ(c->put_Caption(u"x"), S_FALSE);
    EXPECT_EQ(c->put_BackStyle(1), S_FALSE);
    EXPECT_EQ(c->put_ForeColor(0xFF), S_FALSE);
    EXPECT_EQ(c->put_Angle(10), S_FALSE);
    EXPECT_EQ(c->put_Alignment(align_Left), S_FALSE);
    EXPECT_EQ(c->put_Spacing(100), S_FALSE);
    EXPECT_EQ(c->put_Font(font.get()), S_FALSE);
    EXPECT_EQ(c->putref_Font(font.get()), S_FALSE);
    for (const auto& entry : sink->log)
        EXPECT_EQ(entry.rfind("request", 0), 0u) << entry;
    std::int16_t angle;
    c->get_Angle(&angle);
    EXPECT_EQ(angle, 60);
    EXPECT_NEAR(c->angleCosine(), 0.5, 1e-15);
    EXPECT_EQ(c->IsDirty(), S_FALSE);

    // Once the sink is gone the same edit goes through.
    c->UnadvisePropertyNotify(cookie);
    EXPECT_EQ(c->put_Angle(10), S_OK);
}

TEST(VeerProperties, FrozenEventsNeitherAskNorTell)
{
    auto c = newControl();
    auto sink = make<RecordingSink>();
    sink->refuse = true;
    std::uint32_t cookie;
    c->AdvisePropertyNotify(sink.get(), &cookie);
    c->FreezeEvents(true);
    EXPECT_EQ(c->put_Angle(10), S_OK);
    EXPECT_TRUE(sink->log.empty());
    EXPECT_EQ(c->IsDirty(), S_OK);
    c->FreezeEvents(false);
    EXPECT_EQ(c->put_Angle(20), S_FALSE);
}

TEST(VeerProperties, PutClonesTheFontAndPutRefSharesIt)
{
    auto c = newControl();
    auto given = newFont(u"Arial");
    ASSERT_EQ(c->put_Font(given.get()), S_OK);
    given->put_Name(u"Courier");
    ComPtr<IFont> held;
    c->get_Font(held.put());
    std::u16string name;
    held->get_Name(&name);
    EXPECT_EQ(name, u"Arial");
    EXPECT_NE(held.get(), given.get());

    ASSERT_EQ(c->putref_Font(given.get()), S_OK);
    c->get_Font(held.put());
    EXPECT_EQ(held.get(), given.get());
    given->put_Name(u"Times");
    held->get_Name(&name);
    EXPECT_EQ(name, u"Times");

    EXPECT_EQ(c->put_Font(nullptr), S_OK);
    c->get_Font(held.put());
    EXPECT_FALSE(held);
}

TEST(VeerProperties, TheFontsOwnChangesReachTheControlsSinks)
{
    auto c = newControl();
    auto shared = newFont();
    c->putref_Font(shared.get());
    auto sink = make<RecordingSink>();
    std::uint32_t cookie;
    c->AdvisePropertyNotify(sink.get(), &cookie);
    c->Save(MemoryStream::create().get(), true);

    shared->put_Size(100000);
    EXPECT_EQ(sink->log, (std::vector<std::string>{"changed -512", "changed -512"}));
    EXPECT_EQ(c->IsDirty(), S_OK);

    // A replaced font is no longer heard.
    auto other = newFont();
    c->putref_Font(other.get());
    sink->log.clear();
    shared->put_Bold(true);
    EXPECT_TRUE(sink->log.empty());
    other->put_Bold(true);
    EXPECT_FALSE(sink->log.empty());
}

TEST(VeerProperties, SitingTakesTheAmbientFontAndColourOnce)
{
    auto c = newControl();
    auto site = make<TestSite>();
    site->ambientFont = newFont(u"Tahoma", 90000);
    site->foreColor = 0x80000012;
    c->SetClientSite(site.get());
    ComPtr<IFont> font;
    c->get_Font(font.put());
    ASSERT_TRUE(font);
    EXPECT_NE(font.get(), site->ambientFont.get()); // a clone
    std::u16string name;
    font->get_Name(&name);
    EXPECT_EQ(name, u"Tahoma");
    OleColor fore;
    c->get_ForeColor(&fore);
    EXPECT_EQ(fore, 0x80000012u);

    // Sited again: nothing is taken any more.
    site->foreColor = 0xFF;
    c->SetClientSite(nullptr);
    c->SetClientSite(site.get());
    c->get_ForeColor(&fore);
    EXPECT_EQ(fore, 0x80000012u);
    EXPECT_EQ(site->fontRequests, 1);
}

TEST(VeerProperties, WithoutAnAmbientFontSitingMakesArial24)
{
    auto c = newControl();
    auto site = make<TestSite>();
    c->SetClientSite(site.get());
    ComPtr<IFont> font;
    c->get_Font(font.put());
    ASSERT_TRUE(font);
    std::u16string name;
    std::int64_t size;
    std::int16_t weight, charset;
    bool italic = true;
    font->get_Name(&name);
    font->get_Size(&size);
    font->get_Weight(&weight);
    font->get_Charset(&charset);
    font->get_Italic(&italic);
    EXPECT_EQ(name, u"Arial");
    EXPECT_EQ(size, 240000);
    EXPECT_EQ(weight, 400);
    EXPECT_EQ(charset, 0);
    EXPECT_FALSE(italic);
    OleColor fore;
    c->get_ForeColor(&fore);
    EXPECT_EQ(fore, 0x80000008u);
}

TEST(VeerProperties, LateBoundSetsConvertLikeADispatchCall)
{
    auto c = newControl();
    EXPECT_EQ(c->PutProperty(DISPID_ANGLE, Variant::string(u" 45 ")), S_OK);
    EXPECT_EQ(c->PutProperty(DISPID_SPACING, Variant::i4(70000)), E_INVALIDARG);
    EXPECT_EQ(c->PutProperty(DISPID_CAPTION, Variant::i4(-12)), S_OK);
    EXPECT_EQ(c->PutProperty(DISPID_FORECOLOR, Variant::i4(-2147483630)), S_OK); // 0x80000012 as signed
    EXPECT_EQ(c->PutProperty(DISPID_FONT, Variant::i4(1)), E_INVALIDARG);
    EXPECT_EQ(c->PutRefProperty(DISPID_CAPTION, Variant::string(u"x")), E_INVALIDARG);
    EXPECT_EQ(c->PutProperty(99, Variant::i4(1)), E_INVALIDARG);
    Variant v;
    c->GetProperty(DISPID_ANGLE, &v);
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.integer, 45);
    c->GetProperty(DISPID_CAPTION, &v);
    EXPECT_EQ(v.text, u"-12");
    c->GetProperty(DISPID_FORECOLOR, &v);
    EXPECT_EQ(v.integer, 0x80000012);
}

TEST(VeerProperties, BrowsingStringsCategoriesAndPages)
{
    auto c = newControl();
    std::u16string text;
    c->put_Alignment(align_CenterHorizontal);
    EXPECT_EQ(c->GetDisplayString(DISPID_ALIGNMENT, &text), S_OK);
    EXPECT_EQ(text, u"Center Horizontal");
    c->put_BackStyle(1);
    c->GetDisplayString(DISPID_BACKSTYLE, &text);
    EXPECT_EQ(text, u"Opaque");
    c->put_BackStyle(2);
    c->GetDisplayString(DISPID_BACKSTYLE, &text);
    EXPECT_EQ(text, u"2");
    c->GetDisplayString(DISPID_ANGLE, &text);
    EXPECT_EQ(text, u"60");
    EXPECT_EQ(c->GetDisplayString(DISPID_FORECOLOR, &text), S_FALSE);
    EXPECT_EQ(c->GetDisplayString(DISPID_FONT, &text), E_FAIL); // no font yet
    auto font = newFont(u"Verdana");
    c->putref_Font(font.get());
    c->GetDisplayString(DISPID_FONT, &text);
    EXPECT_EQ(text, u"Verdana");

    std::vector<std::u16string> strings;
    std::vector<std::uint32_t> cookies;
    c->GetPredefinedStrings(DISPID_ALIGNMENT, &strings, &cookies);
    ASSERT_EQ(strings.size(), 6u);
    EXPECT_EQ(strings[5], u"Center Vertical");
    EXPECT_EQ(cookies[5], 5u);
    c->GetPredefinedStrings(DISPID_BACKSTYLE, &strings, &cookies);
    EXPECT_EQ(strings, (std::vector<std::u16string>{u"Transparent", u"Opaque"}));
    EXPECT_EQ(c->GetPredefinedStrings(DISPID_ANGLE, &strings, &cookies), S_OK);
    EXPECT_TRUE(strings.empty());
    Variant v;
    EXPECT_EQ(c->GetPredefinedValue(DISPID_ALIGNMENT, 4, &v), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.integer, 4);
    EXPECT_EQ(c->GetPredefinedValue(DISPID_CAPTION, 0, &v), E_NOTIMPL);

    std::int32_t cat;
    c->MapPropertyToCategory(DISPID_CAPTION, &cat);
    EXPECT_EQ(cat, PROPCAT_Text);
    c->MapPropertyToCategory(DISPID_FONT, &cat);
    EXPECT_EQ(cat, PROPCAT_Font);
    c->MapPropertyToCategory(-799, &cat);
    EXPECT_EQ(cat, PROPCAT_Appearance);
    EXPECT_EQ(c->MapPropertyToCategory(-800, &cat), E_FAIL);
    EXPECT_EQ(c->GetCategoryName(PROPCAT_Text, 1033, &text), E_FAIL);

    Guid page;
    c->MapPropertyToPage(DISPID_SPACING, &page);
    EXPECT_EQ(page, CLSID_VeerPage);
    c->MapPropertyToPage(DISPID_FORECOLOR, &page);
    EXPECT_EQ(page, CLSID_StockColorPage);
    c->MapPropertyToPage(DISPID_FONT, &page);
    EXPECT_EQ(page, CLSID_StockFontPage);

    Guid source;
    c->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source);
    EXPECT_EQ(guidToString(source), "{AC21760E-5B12-11D4-A41F-94EBAB2B3626}");

    std::uint32_t status;
    c->put_BackStyle(1);
    c->GetViewStatus(&status);
    EXPECT_EQ(status, VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND);
    c->put_BackStyle(0);
    c->GetViewStatus(&status);
    EXPECT_EQ(status, VIEWSTATUS_DVASPECTTRANSPARENT);
}

TEST(VeerProperties, InterfacesShareOneIdentityAndCountLiveObjects)
{
    const long before = detail::liveObjects();
    {
        auto c = newControl();
        ComPtr<IVeer> veer(static_cast<IVeer*>(c.get()));
        auto persist = veer.as<IPersistStreamInit>(IID_IPersistStreamInit);
        ASSERT_TRUE(persist);
        auto back = persist.as<IUnknown>(IID_IUnknown);
        EXPECT_EQ(back.get(), static_cast<IUnknown*>(static_cast<IVeer*>(c.get())));
        EXPECT_FALSE(veer.as<IUnknown>(IID_IClassFactory));
        EXPECT_GT(detail::liveObjects(), before);
    }
    EXPECT_EQ(detail::liveObjects(), before);
}

} // namespace
} // namespace veer::test
