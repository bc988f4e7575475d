#include "StdFont.h"

#include "Bytes.h"

#include <new>

namespace veer::detail {

namespace {

constexpr std::uint8_t kFontVersion = 0x01;
constexpr std::uint8_t kItalic = 0x02;
constexpr std::uint8_t kUnderline = 0x04;
constexpr std::uint8_t kStrike = 0x08;

} // namespace

ComPtr<IFont> StdFont::create(const FontDesc& desc)
{
    return ComPtr<IFont>::adopt(new StdFont(desc));
}

template <class F>
Status StdFont::change(DispId id, F apply)
{
    for (const auto& sink : sinks_.snapshot())
        if (sink->OnRequestEdit(id) != S_OK)
            return S_FALSE;
    apply();
    for (const auto& sink : sinks_.snapshot())
        sink->OnChanged(id);
    return S_OK;
}

Status StdFont::get_Name(std::u16string* name)
{
    if (!name)
        return E_POINTER;
    *name = d_.name;
    return S_OK;
}

Status StdFont::put_Name(const std::u16string& name)
{
    try {
        std::u16string copy = name;
        return change(DISPID_FONT_NAME, [&] { d_.name = std::move(copy); });
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

Status StdFont::get_Size(std::int64_t* size)
{
    if (!size)
        return E_POINTER;
    *size = d_.size;
    return S_OK;
}

Status StdFont::put_Size(std::int64_t size)
{
    if (size < 0)
        return E_INVALIDARG;
    return change(DISPID_FONT_SIZE, [&] { d_.size = size; });
}

Status StdFont::get_Bold(bool* bold)
{
    if (!bold)
        return E_POINTER;
    *bold = d_.weight >= kBoldWeight;
    return S_OK;
}

Status StdFont::put_Bold(bool bold)
{
    return change(DISPID_FONT_BOLD, [&] { d_.weight = bold ? 700 : 400; });
}

Status StdFont::get_Italic(bool* italic)
{
    if (!italic)
        return E_POINTER;
    *italic = d_.italic;
    return S_OK;
}

Status StdFont::put_Italic(bool italic)
{
    return change(DISPID_FONT_ITALIC, [&] { d_.italic = italic; });
}

Status StdFont::get_Underline(bool* underline)
{
    if (!underline)
        return E_POINTER;
    *underline = d_.underline;
    return S_OK;
}

Status StdFont::put_Underline(bool underline)
{
    return change(DISPID_FONT_UNDER, [&] { d_.underline = underline; });
}

Status StdFont::get_Strikethrough(bool* strike)
{
    if (!strike)
        return E_POINTER;
    *strike = d_.strikethrough;
    return S_OK;
}

Status StdFont::put_Strikethrough(bool strike)
{
    return change(DISPID_FONT_STRIKE, [&] { d_.strikethrough = strike; });
}

Status StdFont::get_Weight(std::int16_t* weight)
{
    if (!weight)
        return E_POINTER;
    *weight = d_.weight;
    return S_OK;
}

Status StdFont::put_Weight(std::int16_t weight)
{
    return change(DISPID_FONT_WEIGHT, [&] { d_.weight = weight; });
}

Status StdFont::get_Charset(std::int16_t* charset)
{
    if (!charset)
        return E_POINTER;
    *charset = d_.charset;
    return S_OK;
}

Status StdFont::put_Charset(std::int16_t charset)
{
    return change(DISPID_FONT_CHARSET, [&] { d_.charset = charset; });
}

Status StdFont::Clone(IFont** out)
{
    if (!out)
        return E_POINTER;
    try {
        *out = create(d_).detach();
        return S_OK;
    } catch (const std::bad_alloc&) {
        *out = nullptr;
        return E_OUTOFMEMORY;
    }
}

Status StdFont::AdviseNotify(IPropertyNotifySink* sink, std::uint32_t* cookie)
{
    return sinks_.advise(sink, cookie);
}

Status StdFont::UnadviseNotify(std::uint32_t cookie)
{
    return sinks_.unadvise(cookie);
}

Status StdFont::Load(IStream* stream)
{
    if (!stream)
        return E_POINTER;
    StreamReader in(stream);
    std::uint8_t version, attributes, length;
    std::uint16_t charset, weight;
    std::uint32_t size;
    if (!in.u8(&version) || version != kFontVersion)
        return E_FAIL;
    if (!in.u16(&charset) || !in.u8(&attributes) || !in.u16(&weight) || !in.u32(&size) || !in.u8(&length))
        return E_FAIL;
    char name[255];
    if (!in.bytes(name, length))
        return E_FAIL;
    try {
        d_.name = fromCodePage(std::string_view(name, length));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    d_.charset = static_cast<std::int16_t>(charset);
    d_.weight = static_cast<std::int16_t>(weight);
    d_.size = size;
    d_.italic = attributes & kItalic;
    d_.underline = attributes & kUnderline;
    d_.strikethrough = attributes & kStrike;
    return S_OK;
}

Status StdFont::Save(IStream* stream)
{
    if (!stream)
        return E_POINTER;
    std::string name;
    try {
        name = toCodePage(d_.name);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (name.size() > 255)
        name.resize(255);
    std::uint8_t attributes = (d_.italic ? kItalic : 0) | (d_.underline ? kUnderline : 0) |
                              (d_.strikethrough ? kStrike : 0);
    StreamWriter out(stream);
    Status s;
    if (failed(s = out.u8(kFontVersion)) || failed(s = out.u16(static_cast<std::uint16_t>(d_.charset))) ||
        failed(s = out.u8(attributes)) || failed(s = out.u16(static_cast<std::uint16_t>(d_.weight))) ||
        failed(s = out.u32(static_cast<std::uint32_t>(d_.size))) ||
        failed(s = out.u8(static_cast<std::uint8_t>(name.size()))))
        return s;
    return out.bytes(name.data(), static_cast<std::uint32_t>(name.size()));
}

Status saveObject(IStream* stream, IUnknown* object)
{
    StreamWriter out(stream);
    if (!object)
        return out.guid(Guid{});
    ComPtr<IFont> font = ComPtr<IUnknown>(object).as<IFont>(IID_IFont);
    if (!font)
        return E_NOINTERFACE;
    Status s = out.guid(CLSID_StdFont);
    return failed(s) ? s : font->Save(stream);
}

Status loadObject(IStream* stream, ComPtr<IUnknown>* object)
{
    object->reset();
    StreamReader in(stream);
    Guid clsid;
    if (!in.guid(&clsid))
        return E_FAIL;
    if (clsid.isNull())
        return S_OK;
    if (!(clsid == CLSID_StdFont))
        return CLASS_E_CLASSNOTAVAILABLE;
    try {
        ComPtr<IFont> font = StdFont::create();
        Status s = font->Load(stream);
        if (failed(s))
            return s;
        *object = ComPtr<IUnknown>(font.get());
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace veer::detail

namespace veer {

Status createStdFont(const std::u16string& name, std::int64_t size, std::int16_t weight, std::int16_t charset,
                     bool italic, bool underline, bool strikethrough, IFont** font)
{
    if (!font)
        return E_POINTER;
    *font = nullptr;
    if (size < 0)
        return E_INVALIDARG;
    try {
        detail::FontDesc d{name, size, weight, charset, italic, underline, strikethrough};
        *font = detail::StdFont::create(d).detach();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace veer
