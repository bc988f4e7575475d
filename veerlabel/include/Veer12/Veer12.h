#pragma once
// Veer12: the rotated multi-line label control.
//
// This header is all a host needs. It declares the control's interfaces as
// abstract classes with reference counting and status codes, so that a program
// may load libVeer12.so at run time and talk to its objects through these
// tables of virtual functions alone, without linking against the library.
// Nothing here needs Qt; the widget side is in <Veer12/VeerWidget.h>.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QWidget;

namespace veer {

// ---------------------------------------------------------------------------
// Status codes. Negative values are failures; S_FALSE is a success that says
// "refused without error" (a setter left its value unchanged).
enum Status : std::int32_t {
    S_OK = 0,
    S_FALSE = 1,
    E_NOTIMPL = static_cast<std::int32_t>(0x80004001u),
    E_NOINTERFACE = static_cast<std::int32_t>(0x80004002u),
    E_POINTER = static_cast<std::int32_t>(0x80004003u),
    E_FAIL = static_cast<std::int32_t>(0x80004005u),
    E_UNEXPECTED = static_cast<std::int32_t>(0x8000FFFFu),
    E_OUTOFMEMORY = static_cast<std::int32_t>(0x8007000Eu),
    E_INVALIDARG = static_cast<std::int32_t>(0x80070057u),
    CLASS_E_NOAGGREGATION = static_cast<std::int32_t>(0x80040110u),
    CLASS_E_CLASSNOTAVAILABLE = static_cast<std::int32_t>(0x80040111u),
    // Registration could not write the type library's or the classes' entries.
    SELFREG_E_TYPELIB = static_cast<std::int32_t>(0x80040200u),
    SELFREG_E_CLASS = static_cast<std::int32_t>(0x80040201u),
};

constexpr bool succeeded(Status s) { return s >= 0; }
constexpr bool failed(Status s) { return s < 0; }

// The name of a status code ("E_FAIL"), or its value in hex when unnamed
// (in the library, like every function declared here that has no body).
std::string statusName(Status s);

// ---------------------------------------------------------------------------
// Identifiers.
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};

    friend constexpr bool operator==(const Guid& a, const Guid& b)
    {
        if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3)
            return false;
        for (int i = 0; i < 8; ++i)
            if (a.data4[i] != b.data4[i])
                return false;
        return true;
    }
    constexpr bool isNull() const { return *this == Guid{}; }
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::string guidToString(const Guid& g);

// The identifier written as above (either case, braces required); nothing
// when the text is not one. Inline: hosts read identifiers from the
// registration store without linking the library.
inline std::optional<Guid> parseGuid(std::string_view text)
{
    // {8-4-4-4-12}
    if (text.size() != 38 || text.front() != '{' || text.back() != '}')
        return std::nullopt;
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::uint8_t bytes[16] = {};
    int n = 0; // hex digits read
    for (std::size_t i = 1; i < 37; ++i) {
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (text[i] != '-')
                return std::nullopt;
            continue;
        }
        const int digit = hex(text[i]);
        if (digit < 0)
            return std::nullopt;
        bytes[n / 2] = static_cast<std::uint8_t>(bytes[n / 2] << 4 | digit);
        ++n;
    }
    if (n != 32)
        return std::nullopt;
    Guid g;
    g.data1 = std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
    g.data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    g.data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i)
        g.data4[i] = bytes[8 + i];
    return g;
}

// Control and page classes.
inline constexpr Guid CLSID_Veer{0xAC21760D, 0x5B12, 0x11D4, {0xA4, 0x1F, 0x94, 0xEB, 0xAB, 0x2B, 0x36, 0x26}};
inline constexpr Guid CLSID_VeerPage{0xAC21760F, 0x5B12, 0x11D4, {0xA4, 0x1F, 0x94, 0xEB, 0xAB, 0x2B, 0x36, 0x26}};
inline constexpr Guid LIBID_VEER12Lib{0xAC217600, 0x5B12, 0x11D4, {0xA4, 0x1F, 0x94, 0xEB, 0xAB, 0x2B, 0x36, 0x26}};
inline constexpr Guid DIID__IVeerEvents{0xAC21760E, 0x5B12, 0x11D4, {0xA4, 0x1F, 0x94, 0xEB, 0xAB, 0x2B, 0x36, 0x26}};
// The standard font object and the standard colour and font pages.
inline constexpr Guid CLSID_StdFont{0x0BE35203, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr Guid CLSID_StockColorPage{0x7EBDAAE1, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};
inline constexpr Guid CLSID_StockFontPage{0x7EBDAAE0, 0x8120, 0x11CF, {0x89, 0x9F, 0x00, 0xAA, 0x00, 0x68, 0x8B, 0x10}};

// Interfaces.
inline constexpr Guid IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr Guid IID_IClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr Guid IID_IStream{0x0000000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr Guid IID_IPropertyNotifySink{0x9BFBBC02, 0xEFF1, 0x101A, {0x84, 0xED, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr Guid IID_IFont{0xBEF6E002, 0xA874, 0x101A, {0x8B, 0xBA, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};
inline constexpr Guid IID_IPersistStreamInit{0x7FD52380, 0x4E07, 0x101B, {0xAE, 0x2D, 0x08, 0x00, 0x2B, 0x2E, 0xC7, 0x13}};
inline constexpr Guid IID_IPersistPropertyBag{0x37D84F60, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr Guid IID_IPropertyBag{0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr Guid IID_IPerPropertyBrowsing{0x376BD3AA, 0x3845, 0x101B, {0x84, 0xED, 0x08, 0x00, 0x2B, 0x2E, 0xC7, 0x13}};
inline constexpr Guid IID_ICategorizeProperties{0x4D07FC10, 0xF931, 0x11CE, {0xB0, 0x01, 0x00, 0xAA, 0x00, 0x68, 0x84, 0xE5}};
inline constexpr Guid IID_IProvideClassInfo2{0xA6BC3AC0, 0xDBAA, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
inline constexpr Guid IID_IPropertyPage{0xB196B28D, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr Guid IID_IPropertyPageSite{0xB196B28C, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr Guid IID_ISpecifyPropertyPages{0xB196B28B, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr Guid IID_IVeer{0xAC21760C, 0x5B12, 0x11D4, {0xA4, 0x1F, 0x94, 0xEB, 0xAB, 0x2B, 0x36, 0x26}};
// Interfaces of this library's own hosting protocol.
inline constexpr Guid IID_IVeerSite{0x03F96FC0, 0x0190, 0x4276, {0xAE, 0x88, 0xF2, 0xDE, 0xB6, 0x89, 0x1B, 0x85}};
inline constexpr Guid IID_IVeerControl{0x7F6FA2FD, 0x5F93, 0x4F40, {0x89, 0xBF, 0xA0, 0xD8, 0x8B, 0x29, 0x13, 0x3B}};
inline constexpr Guid IID_IDataChangeSink{0xFA72AFB6, 0xBAB8, 0x422A, {0xB2, 0x38, 0xA0, 0x20, 0x65, 0x1E, 0x48, 0x24}};
inline constexpr Guid IID_IVeerQtView{0x518D9EEA, 0x062E, 0x4349, {0x88, 0x46, 0xF0, 0x1B, 0x08, 0x84, 0x8B, 0x36}};

// ---------------------------------------------------------------------------
// Dispatch ids of the control's properties and of the font's properties.
using DispId = std::int32_t;
inline constexpr DispId DISPID_BACKSTYLE = -502;
inline constexpr DispId DISPID_FONT = -512;
inline constexpr DispId DISPID_FORECOLOR = -513;
inline constexpr DispId DISPID_CAPTION = -518;
inline constexpr DispId DISPID_ABOUTBOX = -552;
inline constexpr DispId DISPID_ANGLE = 1;
inline constexpr DispId DISPID_ALIGNMENT = 2;
inline constexpr DispId DISPID_SPACING = 3;

inline constexpr DispId DISPID_FONT_NAME = 0;
inline constexpr DispId DISPID_FONT_SIZE = 2;
inline constexpr DispId DISPID_FONT_BOLD = 3;
inline constexpr DispId DISPID_FONT_ITALIC = 4;
inline constexpr DispId DISPID_FONT_UNDER = 5;
inline constexpr DispId DISPID_FONT_STRIKE = 6;
inline constexpr DispId DISPID_FONT_WEIGHT = 7;
inline constexpr DispId DISPID_FONT_CHARSET = 8;

// Where the text block sits in the control's rectangle.
enum Align : std::int32_t {
    align_Left = 0,
    align_Right = 1,
    align_Top = 2,
    align_Bottom = 3,
    align_CenterHorizontal = 4,
    align_CenterVertical = 5,
};

// A colour as containers pass it: 0x00BBGGRR, or 0x80000000 | n for the
// system colour n (8 window text, 15 button face, 18 button text, ...).
using OleColor = std::uint32_t;

// Property categories a property browser groups by.
inline constexpr std::int32_t PROPCAT_Font = -3;
inline constexpr std::int32_t PROPCAT_Appearance = -5;
inline constexpr std::int32_t PROPCAT_Text = -9;

// View status bits.
inline constexpr std::uint32_t VIEWSTATUS_OPAQUE = 1;
inline constexpr std::uint32_t VIEWSTATUS_SOLIDBKGND = 2;
inline constexpr std::uint32_t VIEWSTATUS_DVASPECTOPAQUE = 4;
inline constexpr std::uint32_t VIEWSTATUS_DVASPECTTRANSPARENT = 8;

// Verbs a container asks the control to carry out (DoVerb).
inline constexpr std::int32_t VERB_PROPERTIES = 0; // the property pages
inline constexpr std::int32_t VERB_ABOUT = 1;      // the About box
inline constexpr std::int32_t OLEIVERB_SHOW = -1;
inline constexpr std::int32_t OLEIVERB_OPEN = -2;
inline constexpr std::int32_t OLEIVERB_HIDE = -3;
inline constexpr std::int32_t OLEIVERB_UIACTIVATE = -4;
inline constexpr std::int32_t OLEIVERB_INPLACEACTIVATE = -5;
inline constexpr std::int32_t OLEIVERB_DISCARDUNDOSTATE = -6;
inline constexpr std::int32_t OLEIVERB_PROPERTIES = -7;

// Kind of GUID asked from class info.
inline constexpr std::uint32_t GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

// ---------------------------------------------------------------------------
// Reference-counted objects.
struct IUnknown {
    virtual Status QueryInterface(const Guid& iid, void** out) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

// Owning pointer to an interface: adds a reference on copy, releases on reset.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ~ComPtr() { reset(); }
    ComPtr& operator=(const ComPtr& o)
    {
        ComPtr(o).swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& o) noexcept
    {
        ComPtr(std::move(o)).swap(*this);
        return *this;
    }
    // Takes over a reference the caller already owns.
    static ComPtr adopt(T* p)
    {
        ComPtr r;
        r.p_ = p;
        return r;
    }
    void reset()
    {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }
    // Hands the reference to the caller.
    T* detach() { return std::exchange(p_, nullptr); }
    // For out-parameters: releases the current object first.
    T** put()
    {
        reset();
        return &p_;
    }
    void swap(ComPtr& o) noexcept { std::swap(p_, o.p_); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }

    // Asks the object for another interface.
    template <class U>
    ComPtr<U> as(const Guid& iid) const
    {
        ComPtr<U> r;
        if (p_)
            p_->QueryInterface(iid, reinterpret_cast<void**>(r.put()));
        return r;
    }

private:
    T* p_ = nullptr;
};

// ---------------------------------------------------------------------------
// A sequential byte stream.
struct IStream : IUnknown {
    // Reads up to count bytes; *done (optional) gets how many arrived. Reading
    // at the end returns S_OK with *done 0.
    virtual Status Read(void* buffer, std::uint32_t count, std::uint32_t* done) = 0;
    virtual Status Write(const void* buffer, std::uint32_t count, std::uint32_t* done) = 0;

protected:
    ~IStream() = default;
};

// A stream over bytes held in memory; usable without linking the library.
class MemoryStream final : public IStream {
public:
    static ComPtr<MemoryStream> create(std::vector<std::uint8_t> bytes = {})
    {
        return ComPtr<MemoryStream>::adopt(new MemoryStream(std::move(bytes)));
    }
    static ComPtr<MemoryStream> create(const void* data, std::size_t size)
    {
        auto p = static_cast<const std::uint8_t*>(data);
        return create(std::vector<std::uint8_t>(p, p + size));
    }

    Status QueryInterface(const Guid& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IStream) {
            *out = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return ++refs_; }
    std::uint32_t Release() override
    {
        std::uint32_t r = --refs_;
        if (r == 0)
            delete this;
        return r;
    }
    Status Read(void* buffer, std::uint32_t count, std::uint32_t* done) override
    {
        if (!buffer && count)
            return E_POINTER;
        std::size_t n = std::min<std::size_t>(count, bytes_.size() - pos_);
        if (n)
            std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        if (done)
            *done = static_cast<std::uint32_t>(n);
        return S_OK;
    }
    Status Write(const void* buffer, std::uint32_t count, std::uint32_t* done) override
    {
        if (!buffer && count)
            return E_POINTER;
        auto p = static_cast<const std::uint8_t*>(buffer);
        if (pos_ + count > bytes_.size())
            bytes_.resize(pos_ + count);
        if (count)
            std::memcpy(bytes_.data() + pos_, p, count);
        pos_ += count;
        if (done)
            *done = count;
        return S_OK;
    }

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::size_t position() const { return pos_; }
    void rewind() { pos_ = 0; }

private:
    explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    ~MemoryStream() = default;

    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    std::atomic<std::uint32_t> refs_{1};
};

// ---------------------------------------------------------------------------
// Property change notifications (the control's and the font's).
struct IPropertyNotifySink : IUnknown {
    virtual Status OnChanged(DispId id) = 0;
    // S_OK allows the edit; anything else refuses it.
    virtual Status OnRequestEdit(DispId id) = 0;

protected:
    ~IPropertyNotifySink() = default;
};

// Told when the control's presentation data changed.
struct IDataChangeSink : IUnknown {
    virtual void OnDataChange() = 0;

protected:
    ~IDataChangeSink() = default;
};

// ---------------------------------------------------------------------------
// The standard font object. Size is in ten-thousandths of a point.
struct IFont : IUnknown {
    virtual Status get_Name(std::u16string* name) = 0;
    virtual Status put_Name(const std::u16string& name) = 0;
    virtual Status get_Size(std::int64_t* size) = 0;
    virtual Status put_Size(std::int64_t size) = 0;
    virtual Status get_Bold(bool* bold) = 0;
    virtual Status put_Bold(bool bold) = 0;
    virtual Status get_Italic(bool* italic) = 0;
    virtual Status put_Italic(bool italic) = 0;
    virtual Status get_Underline(bool* underline) = 0;
    virtual Status put_Underline(bool underline) = 0;
    virtual Status get_Strikethrough(bool* strike) = 0;
    virtual Status put_Strikethrough(bool strike) = 0;
    virtual Status get_Weight(std::int16_t* weight) = 0;
    virtual Status put_Weight(std::int16_t weight) = 0;
    virtual Status get_Charset(std::int16_t* charset) = 0;
    virtual Status put_Charset(std::int16_t charset) = 0;
    virtual Status Clone(IFont** out) = 0;
    virtual Status AdviseNotify(IPropertyNotifySink* sink, std::uint32_t* cookie) = 0;
    virtual Status UnadviseNotify(std::uint32_t cookie) = 0;
    // The font's own persistent form (without its class identifier).
    virtual Status Load(IStream* stream) = 0;
    virtual Status Save(IStream* stream) = 0;

protected:
    ~IFont() = default;
};

// ---------------------------------------------------------------------------
// A value of one of the variant types the persisted form knows.
enum VarType : std::uint16_t {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_UNKNOWN = 13,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_INT = 22,
    VT_UINT = 23,
};

struct Variant {
    VarType vt = VT_EMPTY;
    // The value of every number type, as read: I1/I2/I4/INT/BOOL/ERROR sign-
    // extended, UI1/UI2/UI4/UINT zero-extended, CY the 64-bit currency value.
    std::int64_t integer = 0;
    double real = 0; // R4, R8, DATE
    std::optional<std::u16string> text; // BSTR; absent stays absent
    ComPtr<IUnknown> object; // DISPATCH, UNKNOWN; may be null

    static Variant i2(std::int16_t v) { return number(VT_I2, v); }
    static Variant i4(std::int32_t v) { return number(VT_I4, v); }
    static Variant ui4(std::uint32_t v) { return number(VT_UI4, v); }
    static Variant boolean(bool v) { return number(VT_BOOL, v ? -1 : 0); }
    static Variant string(std::optional<std::u16string> s)
    {
        Variant r;
        r.vt = VT_BSTR;
        r.text = std::move(s);
        return r;
    }
    static Variant dispatch(IUnknown* o)
    {
        Variant r;
        r.vt = VT_DISPATCH;
        r.object = o;
        return r;
    }
    static Variant number(VarType t, std::int64_t v)
    {
        Variant r;
        r.vt = t;
        r.integer = v;
        return r;
    }
};

// Where property-bag persistence reads and writes named values.
struct IPropertyBag : IUnknown {
    // A name the bag does not hold gives E_INVALIDARG.
    virtual Status Read(std::string_view name, Variant* value) = 0;
    virtual Status Write(std::string_view name, const Variant& value) = 0;

protected:
    ~IPropertyBag() = default;
};

// ---------------------------------------------------------------------------
// The control's programming interface.
struct IVeer : IUnknown {
    virtual Status put_BackStyle(std::int32_t style) = 0;
    virtual Status get_BackStyle(std::int32_t* style) = 0;
    virtual Status putref_Font(IFont* font) = 0; // keeps the object itself
    virtual Status put_Font(IFont* font) = 0; // keeps a clone
    virtual Status get_Font(IFont** font) = 0;
    virtual Status put_ForeColor(OleColor color) = 0;
    virtual Status get_ForeColor(OleColor* color) = 0;
    virtual Status put_Caption(const std::optional<std::u16string>& caption) = 0;
    virtual Status get_Caption(std::optional<std::u16string>* caption) = 0;
    virtual Status get_Angle(std::int16_t* angle) = 0;
    virtual Status put_Angle(std::int16_t angle) = 0;
    virtual Status get_Alignment(Align* align) = 0;
    virtual Status put_Alignment(Align align) = 0;
    virtual Status get_Spacing(std::int16_t* spacing) = 0;
    virtual Status put_Spacing(std::int16_t spacing) = 0;
    virtual Status AboutBox() = 0;

    // Late-bound access by dispatch id: the value is converted to the
    // property's type as a dispatch call would, then handed to the setter.
    virtual Status GetProperty(DispId id, Variant* value) = 0;
    virtual Status PutProperty(DispId id, const Variant& value) = 0;
    virtual Status PutRefProperty(DispId id, const Variant& value) = 0;

    // AngleSine and AngleCosine.
    virtual double angleSine() = 0;
    virtual double angleCosine() = 0;

protected:
    ~IVeer() = default;
};

// The container's side of a control: ambient properties and redraw requests.
struct IVeerSite : IUnknown {
    virtual Status GetAmbientFont(IFont** font) = 0;
    virtual Status GetAmbientForeColor(OleColor* color) = 0;
    virtual Status GetAmbientBackColor(OleColor* color) = 0;
    // False while the container is being designed.
    virtual Status GetAmbientUserMode(bool* userMode) = 0;
    virtual Status InvalidateControl() = 0;

protected:
    ~IVeerSite() = default;
};

// What a container uses to host the control.
struct IVeerControl : IUnknown {
    virtual Status SetClientSite(IVeerSite* site) = 0;
    virtual Status GetClientSite(IVeerSite** site) = 0;
    // Extent in HIMETRIC (0.01 mm).
    virtual Status SetExtent(std::uint32_t cx, std::uint32_t cy) = 0;
    virtual Status GetExtent(std::uint32_t* cx, std::uint32_t* cy) = 0;
    virtual Status FreezeEvents(bool freeze) = 0;
    virtual Status AdvisePropertyNotify(IPropertyNotifySink* sink, std::uint32_t* cookie) = 0;
    virtual Status UnadvisePropertyNotify(std::uint32_t cookie) = 0;
    virtual Status AdviseDataChange(IDataChangeSink* sink, std::uint32_t* cookie) = 0;
    virtual Status UnadviseDataChange(std::uint32_t cookie) = 0;
    virtual Status GetViewStatus(std::uint32_t* status) = 0;
    // 0 property pages, 1 About box.
    virtual Status DoVerb(std::int32_t verb) = 0;

protected:
    ~IVeerControl() = default;
};

// Persistence to a stream.
struct IPersistStreamInit : IUnknown {
    virtual Status GetClassID(Guid* clsid) = 0;
    virtual Status IsDirty() = 0; // S_OK when dirty, S_FALSE when not
    virtual Status Load(IStream* stream) = 0;
    virtual Status Save(IStream* stream, bool clearDirty) = 0;
    virtual Status GetSizeMax(std::uint64_t* size) = 0;
    virtual Status InitNew() = 0;

protected:
    ~IPersistStreamInit() = default;
};

// Persistence to named values.
struct IPersistPropertyBag : IUnknown {
    virtual Status GetClassID(Guid* clsid) = 0;
    virtual Status InitNew() = 0;
    virtual Status Load(IPropertyBag* bag) = 0;
    virtual Status Save(IPropertyBag* bag, bool clearDirty, bool saveAll) = 0;

protected:
    ~IPersistPropertyBag() = default;
};

// What a property browser asks.
struct IPerPropertyBrowsing : IUnknown {
    virtual Status GetDisplayString(DispId id, std::u16string* text) = 0;
    virtual Status MapPropertyToPage(DispId id, Guid* page) = 0;
    virtual Status GetPredefinedStrings(DispId id, std::vector<std::u16string>* strings,
                                        std::vector<std::uint32_t>* cookies) = 0;
    virtual Status GetPredefinedValue(DispId id, std::uint32_t cookie, Variant* value) = 0;

protected:
    ~IPerPropertyBrowsing() = default;
};

struct ICategorizeProperties : IUnknown {
    virtual Status MapPropertyToCategory(DispId id, std::int32_t* category) = 0;
    virtual Status GetCategoryName(std::int32_t category, std::uint32_t locale, std::u16string* name) = 0;

protected:
    ~ICategorizeProperties() = default;
};

struct IProvideClassInfo2 : IUnknown {
    virtual Status GetGUID(std::uint32_t kind, Guid* guid) = 0;

protected:
    ~IProvideClassInfo2() = default;
};

// The property pages that edit the control's properties, in the order a
// property frame shows them.
struct ISpecifyPropertyPages : IUnknown {
    virtual Status GetPages(std::vector<Guid>* pages) = 0;

protected:
    ~ISpecifyPropertyPages() = default;
};

// ---------------------------------------------------------------------------
// Property pages, and the frame (site) that shows them.

// What a page tells its frame. The size is in dialog units of the dialog
// font (horizontal: a quarter of the average character width; vertical: an
// eighth of the character height).
struct PageInfo {
    std::u16string title;
    std::u16string docString;
    std::u16string helpFile;
    std::uint32_t helpContext = 0;
    int width = 0;
    int height = 0;
};

// Page status the frame hears of.
inline constexpr std::uint32_t PROPPAGESTATUS_DIRTY = 0x01;
inline constexpr std::uint32_t PROPPAGESTATUS_VALIDATE = 0x02;
inline constexpr std::uint32_t PROPPAGESTATUS_CLEAN = 0x04;

struct IPropertyPageSite : IUnknown {
    virtual Status OnStatusChange(std::uint32_t flags) = 0;

protected:
    ~IPropertyPageSite() = default;
};

struct IPropertyPage : IUnknown {
    virtual Status SetPageSite(IPropertyPageSite* site) = 0;
    // Builds the page's widget as a child of parent; *view (optional) gets it.
    virtual Status Activate(QWidget* parent, QWidget** view) = 0;
    // Destroys the page's widget.
    virtual Status Deactivate() = 0;
    virtual Status GetPageInfo(PageInfo* info) = 0;
    // The objects to edit (the first one's values are shown); none releases them.
    virtual Status SetObjects(std::uint32_t count, IUnknown* const* objects) = 0;
    // S_OK when the page has changes not yet applied, else S_FALSE.
    virtual Status IsPageDirty() = 0;
    virtual Status Apply() = 0;
    // Opens the page's help file from the given folder; E_FAIL when it is not there.
    virtual Status Help(const std::u16string& helpFolder) = 0;

protected:
    ~IPropertyPage() = default;
};

// ---------------------------------------------------------------------------
// Class factories and the library's exported entry points.
struct IClassFactory : IUnknown {
    // outer must be null: the objects cannot be aggregated.
    virtual Status CreateInstance(IUnknown* outer, const Guid& iid, void** out) = 0;
    // A lock keeps the library loaded while no object lives.
    virtual Status LockServer(bool lock) = 0;

protected:
    ~IClassFactory() = default;
};

// The names and types a host looks up with dlsym() after dlopen().
inline constexpr const char* kDllGetClassObject = "DllGetClassObject";
inline constexpr const char* kDllCanUnloadNow = "DllCanUnloadNow";
inline constexpr const char* kDllRegisterServer = "DllRegisterServer";
inline constexpr const char* kDllUnregisterServer = "DllUnregisterServer";
using DllGetClassObjectFn = Status (*)(const Guid& clsid, const Guid& iid, void** out);
using DllCanUnloadNowFn = Status (*)();
using DllRegisterServerFn = Status (*)();
using DllUnregisterServerFn = Status (*)();

// Factories for programs that link the library (hosts that load it at run
// time go through its class factory instead).
Status createVeer(IVeer** control);
// A standard font object; size in ten-thousandths of a point.
Status createStdFont(const std::u16string& name, std::int64_t size, std::int16_t weight,
                     std::int16_t charset, bool italic, bool underline, bool strikethrough, IFont** font);

// A Qt view of the control: a widget, child of the given parent, that sites
// the control, follows the parent's font and colours, and paints it. The
// parent owns the widget; the widget holds a reference on the control.
struct IVeerQtView : IUnknown {
    virtual Status CreateView(QWidget* parent, QWidget** view) = 0;

protected:
    ~IVeerQtView() = default;
};

} // namespace veer

// The library's exported entry points (C names, found by dlsym()).
extern "C" {
// The class factory of Veer or VeerPage; CLASS_E_CLASSNOTAVAILABLE otherwise.
veer::Status DllGetClassObject(const veer::Guid& clsid, const veer::Guid& iid, void** out);
// S_OK when no object and no lock of the library is alive, else S_FALSE.
veer::Status DllCanUnloadNow();
// Writes (removes) both classes' entries and the type library's in the
// per-user registration store.
veer::Status DllRegisterServer();
veer::Status DllUnregisterServer();
}
