// The stored form: byte for byte, loading with its checks, the property bag,
// and streams from outside that are damaged or hostile.

#include "TestSupport.h"

#include "core/Bytes.h"

#include <cmath>
#include <map>

namespace veer::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The example control: caption "hodně", angle 90, centred vertically,
// spacing 720, transparent, button-text colour, extent 450 x 873.
ComPtr<detail::VeerControl> exampleControl(IFont* font)
{
    auto c = newControl();
    c->InitNew();
    c->SetExtent(450, 873);
    c->put_Caption(u"hodn\u011B");
    c->put_Angle(90);
    c->put_Alignment(align_CenterVertical);
    c->put_ForeColor(0x80000012);
    c->putref_Font(font);
    return c;
}

const Bytes kExampleHead = {
    0x00, 0x03, 0x00, 0x00, 0xC2, 0x01, 0x00, 0x00, 0x69, 0x03, 0x00, 0x00, // version, _cx, _cy
    0x08, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x68, 0x00, 0x6F, 0x00, 0x64, 0x00, 0x6E, 0x00, 0x1B, 0x01, 0x00, 0x00,
    0x02, 0x00, 0x5A, 0x00,                   // Angle
    0x03, 0x00, 0x05, 0x00, 0x00, 0x00,       // Alignment
    0x02, 0x00, 0xD0, 0x02,                   // Spacing
    0x03, 0x00, 0x00, 0x00, 0x00, 0x00,       // BackStyle
    0x13, 0x00, 0x12, 0x00, 0x00, 0x80,       // ForeColor
    0x09, 0x00,                               // the font follows
};

const Bytes kSansSerifBold = {
    0x03, 0x52, 0xE3, 0x0B, 0x91, 0x8F, 0xCE, 0x11, 0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51, // class
    0x01, 0xEE, 0x00, 0x02, 0xBC, 0x02, 0x44, 0x42, 0x01, 0x00, // version, charset 238, italic, 700, 8.25 pt
    0x0D, 'M', 'S', ' ', 'S', 'a', 'n', 's', ' ', 'S', 'e', 'r', 'i', 'f',
};

Bytes concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(VeerPersistence, TheExampleIsStoredByteForByte)
{
    auto font = newFont(u"MS Sans Serif", 82500, 700);
    font->put_Charset(238);
    font->put_Italic(true);
    auto c = exampleControl(font.get());
    const Bytes expected = concat(kExampleHead, kSansSerifBold);
    EXPECT_EQ(saveBytes(c.get()), expected);
    std::uint64_t size = 0;
    c->GetSizeMax(&size);
    EXPECT_EQ(size, expected.size());

    // Loaded into a new control and saved again: the same bytes.
    auto d = newControl();
    ASSERT_EQ(loadBytes(d.get(), expected), S_OK);
    EXPECT_EQ(saveBytes(d.get()), expected);
    std::optional<std::u16string> caption;
    d->get_Caption(&caption);
    EXPECT_EQ(caption, u"hodn\u011B");
    EXPECT_NEAR(d->angleSine(), 1.0, 1e-15);
    ComPtr<IFont> loaded;
    d->get_Font(loaded.put());
    bool bold = false, italic = false;
    loaded->get_Bold(&bold);
    loaded->get_Italic(&italic);
    EXPECT_TRUE(bold);
    EXPECT_TRUE(italic);
}

TEST(VeerPersistence, AbsentCaptionAndAbsentFont)
{
    auto c = newControl();
    c->InitNew();
    Bytes bytes = saveBytes(c.get());
    // Caption: type 8 and a count of 0, nothing more.
    EXPECT_EQ(Bytes(bytes.begin() + 12, bytes.begin() + 18), (Bytes{0x08, 0x00, 0, 0, 0, 0}));
    // No font: type 9 and a null class identifier.
    EXPECT_EQ(Bytes(bytes.end() - 18, bytes.end()), concat({0x09, 0x00}, Bytes(16, 0)));

    auto d = newControl();
    d->put_Caption(u"to be replaced");
    ASSERT_EQ(loadBytes(d.get(), bytes), S_OK);
    std::optional<std::u16string> caption = u"x";
    d->get_Caption(&caption);
    EXPECT_FALSE(caption.has_value());
    ComPtr<IFont> font;
    d->get_Font(font.put());
    EXPECT_FALSE(font);

    // An empty caption is not an absent one.
    auto e = newControl();
    e->put_Caption(u"");
    bytes = saveBytes(e.get());
    EXPECT_EQ(Bytes(bytes.begin() + 12, bytes.begin() + 20), (Bytes{0x08, 0x00, 2, 0, 0, 0, 0, 0}));
}

TEST(VeerPersistence, LoadChecksVersionAndInitialisation)
{
    auto font = newFont();
    Bytes good = saveBytes(exampleControl(font.get()).get());

    Bytes newer = good;
    newer[0] = 0x01; // 0x301
    EXPECT_EQ(loadBytes(newControl().get(), newer), E_FAIL);

    Bytes older = good;
    older[1] = 0x02; // 0x200 is still read
    EXPECT_EQ(loadBytes(newControl().get(), older), S_OK);

    auto c = newControl();
    EXPECT_EQ(loadBytes(c.get(), good), S_OK);
    EXPECT_EQ(loadBytes(c.get(), good), E_UNEXPECTED);
    EXPECT_EQ(c->InitNew(), E_UNEXPECTED);

    auto d = newControl();
    EXPECT_EQ(d->InitNew(), S_OK);
    EXPECT_EQ(d->IsDirty(), S_OK);
    EXPECT_EQ(loadBytes(d.get(), good), E_UNEXPECTED);
    EXPECT_EQ(d->Load(static_cast<IStream*>(nullptr)), E_POINTER);
}

TEST(VeerPersistence, StoredValuesPassTheSetters)
{
    auto font = newFont();
    Bytes bytes = saveBytes(exampleControl(font.get()).get());
    // Angle 400, Alignment 9, Spacing -5.
    bytes[32] = 0x90;
    bytes[33] = 0x01;
    bytes[36] = 9;
    bytes[42] = 0xFB;
    bytes[43] = 0xFF;
    auto c = newControl();
    ASSERT_EQ(loadBytes(c.get(), bytes), S_OK);
    std::int16_t angle, spacing;
    Align align;
    c->get_Angle(&angle);
    c->get_Alignment(&align);
    c->get_Spacing(&spacing);
    EXPECT_EQ(angle, 40);
    EXPECT_EQ(align, align_Bottom);
    EXPECT_EQ(spacing, 720);
    EXPECT_NEAR(c->angleCosine(), std::cos(40 * 0.017453292519943295), 1e-15);
}

TEST(VeerPersistence, OtherVariantTypesAreConverted)
{
    // Angle stored as a string, Alignment as a 1-byte integer, Spacing as a
    // double, Caption as a 32-bit integer.
    Bytes bytes = {0x00, 0x03, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0};
    bytes = concat(bytes, {0x03, 0x00, 0x2A, 0, 0, 0});                         // Caption 42
    bytes = concat(bytes, {0x08, 0x00, 6, 0, 0, 0, '4', 0, '5', 0, 0, 0});      // Angle "45"
    bytes = concat(bytes, {0x11, 0x00, 0x01});                                  // Alignment 1
    bytes = concat(bytes, {0x05, 0x00, 0, 0, 0, 0, 0, 0, 0x59, 0x40});          // Spacing 100.0
    bytes = concat(bytes, {0x0B, 0x00, 0xFF, 0xFF});                            // BackStyle true (-1)
    bytes = concat(bytes, {0x03, 0x00, 0xFF, 0x00, 0x00, 0x00});                // ForeColor red
    bytes = concat(bytes, concat({0x0D, 0x00}, Bytes(16, 0)));                  // no font
    auto c = newControl();
    ASSERT_EQ(loadBytes(c.get(), bytes), S_OK);
    std::optional<std::u16string> caption;
    std::int16_t angle, spacing;
    Align align;
    std::int32_t back;
    std::uint32_t cx, cy;
    c->get_Caption(&caption);
    c->get_Angle(&angle);
    c->get_Alignment(&align);
    c->get_Spacing(&spacing);
    c->get_BackStyle(&back);
    c->GetExtent(&cx, &cy);
    EXPECT_EQ(caption, u"42");
    EXPECT_EQ(angle, 45);
    EXPECT_EQ(align, align_Right);
    EXPECT_EQ(spacing, 100);
    EXPECT_EQ(back, -1);
    EXPECT_EQ(cx, 1u);
    EXPECT_EQ(cy, 2u);
}

// A stream from outside that ends early, lies about a length, holds an
// unknown type or an object that cannot be loaded ends the load with E_FAIL.
TEST(VeerPersistence, DamagedStreamsFailCleanly)
{
    auto font = newFont();
    const Bytes good = saveBytes(exampleControl(font.get()).get());
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(loadBytes(newControl().get(), Bytes(good.begin(), good.begin() + n)), E_FAIL) << n;

    auto withCaption = [&](const Bytes& caption) {
        Bytes b(good.begin(), good.begin() + 12);
        return concat(b, caption);
    };
    // A count far beyond the stream: no allocation of that size, just E_FAIL.
    EXPECT_EQ(loadBytes(newControl().get(), withCaption({0x08, 0x00, 0xF0, 0xFF, 0xFF, 0xFF, 'a', 0})), E_FAIL);
    // Counts that cannot hold UTF-16 text and its terminator.
    EXPECT_EQ(loadBytes(newControl().get(), withCaption({0x08, 0x00, 1, 0, 0, 0, 0})), E_FAIL);
    EXPECT_EQ(loadBytes(newControl().get(), withCaption({0x08, 0x00, 3, 0, 0, 0, 'a', 0, 0})), E_FAIL);
    // Unknown variant types, and the empty and null types.
    for (std::uint16_t type : {0, 1, 12, 14, 20, 21, 36, 0x2008, 0xFFFF})
        EXPECT_EQ(loadBytes(newControl().get(), withCaption({std::uint8_t(type), std::uint8_t(type >> 8), 0, 0, 0,
                                                             0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})),
                  E_FAIL)
            << type;
    // A value that does not fit its property.
    Bytes bigAngle = good;
    bigAngle[30] = 0x03; // Angle as a 32-bit integer: the rest shifts, the load must still fail safely
    EXPECT_EQ(loadBytes(newControl().get(), bigAngle), E_FAIL);

    const std::size_t fontAt = good.size() - kSansSerifBold.size() + 0; // start of the class identifier
    Bytes unknownClass = good;
    unknownClass[fontAt] ^= 0xFF;
    EXPECT_EQ(loadBytes(newControl().get(), unknownClass), E_FAIL);
    Bytes badFontVersion = good;
    badFontVersion[fontAt + 16] = 0x02;
    EXPECT_EQ(loadBytes(newControl().get(), badFontVersion), E_FAIL);
    Bytes longName = good;
    longName[fontAt + 16 + 10] = 0xFF; // a name longer than what follows
    EXPECT_EQ(loadBytes(newControl().get(), longName), E_FAIL);
    // The font property given something that is not an object.
    Bytes notAnObject(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(fontAt) - 2);
    notAnObject = concat(notAnObject, {0x02, 0x00, 0x01, 0x00});
    EXPECT_EQ(loadBytes(newControl().get(), notAnObject), E_FAIL);
}

TEST(VeerPersistence, SaveClearsTheDirtyFlagOnlyWhenAsked)
{
    auto c = newControl();
    c->InitNew();
    auto stream = MemoryStream::create();
    c->Save(stream.get(), false);
    EXPECT_EQ(c->IsDirty(), S_OK);
    c->Save(stream.get(), true);
    EXPECT_EQ(c->IsDirty(), S_FALSE);
    c->put_Spacing(100);
    EXPECT_EQ(c->IsDirty(), S_OK);
}

// A property bag in memory.
struct MapBag : StackObject<IPropertyBag> {
    MapBag() { ownIid = IID_IPropertyBag; }
    Status Read(std::string_view name, Variant* value) override
    {
        auto it = values.find(std::string(name));
        if (it == values.end())
            return E_INVALIDARG;
        *value = it->second;
        return S_OK;
    }
    Status Write(std::string_view name, const Variant& value) override
    {
        order.emplace_back(name);
        values[std::string(name)] = value;
        return S_OK;
    }
    std::map<std::string, Variant> values;
    std::vector<std::string> order;
};

TEST(VeerPersistence, PropertyBagUsesTheSameKeys)
{
    auto font = newFont(u"Verdana");
    auto c = exampleControl(font.get());
    MapBag bag;
    ASSERT_EQ(c->Save(&bag, true, true), S_OK);
    EXPECT_EQ(bag.order, (std::vector<std::string>{"_cx", "_cy", "Caption", "Angle", "Alignment", "Spacing",
                                                    "BackStyle", "ForeColor", "Font"}));
    EXPECT_EQ(bag.values["Angle"].vt, VT_I2);
    EXPECT_EQ(bag.values["ForeColor"].vt, VT_UI4);
    EXPECT_EQ(bag.values["Font"].vt, VT_DISPATCH);

    auto d = newControl();
    d->put_Angle(5); // dirty before the load
    ASSERT_EQ(d->Load(&bag), S_OK);
    EXPECT_EQ(d->IsDirty(), S_FALSE);
    EXPECT_EQ(saveBytes(d.get()), saveBytes(c.get()));
    EXPECT_EQ(d->Load(&bag), E_UNEXPECTED);

    // Keys the bag lacks leave the value; a value that cannot be set fails.
    MapBag partial;
    partial.values["Spacing"] = Variant::i2(240);
    auto e = newControl();
    ASSERT_EQ(e->Load(&partial), S_OK);
    std::int16_t spacing, angle;
    e->get_Spacing(&spacing);
    e->get_Angle(&angle);
    EXPECT_EQ(spacing, 240);
    EXPECT_EQ(angle, 60);
    MapBag bad;
    bad.values["Caption"] = Variant::dispatch(nullptr);
    EXPECT_EQ(newControl()->Load(&bad), E_FAIL);
}

TEST(VeerPersistence, FaceNamesUseTheEightBitCodePage)
{
    EXPECT_EQ(detail::toCodePage(u"Caf\u00E9 \u20AC \u0160 \u4E00"), std::string("Caf\xE9 \x80 \x8A ?"));
    EXPECT_EQ(detail::fromCodePage("Caf\xE9 \x80 \x8A \x81"), u"Caf\u00E9 \u20AC \u0160 \u0081");
}

} // namespace
} // namespace veer::test
