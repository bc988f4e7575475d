#include "VeerControl.h"

#include "Bytes.h"
#include "StdFont.h"
#include "VariantIO.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

namespace veer::detail {

const PropertyMapEntry kPropertyMap[9] = {
    {"_cx", 0, VT_UI4, true, {}},
    {"_cy", 0, VT_UI4, true, {}},
    {"Caption", DISPID_CAPTION, VT_BSTR, false, CLSID_VeerPage},
    {"Angle", DISPID_ANGLE, VT_I2, false, CLSID_VeerPage},
    {"Alignment", DISPID_ALIGNMENT, VT_I4, false, CLSID_VeerPage},
    {"Spacing", DISPID_SPACING, VT_I2, false, CLSID_VeerPage},
    {"BackStyle", DISPID_BACKSTYLE, VT_I4, false, CLSID_VeerPage},
    {"ForeColor", DISPID_FORECOLOR, VT_UI4, false, CLSID_StockColorPage},
    {"Font", DISPID_FONT, VT_DISPATCH, false, CLSID_StockFontPage},
};

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr char16_t const* kAlignNames[6] = {u"Left", u"Right", u"Top", u"Bottom", u"Center Horizontal",
                                            u"Center Vertical"};
constexpr char16_t const* kBackStyleNames[2] = {u"Transparent", u"Opaque"};
// The face name of a device font holds at most 31 characters and a terminator.
constexpr std::size_t kFaceChars = 31;

} // namespace

// Hears the font object's own notices and passes them to the control.
class FontNotifySink final : public SimpleObject<IPropertyNotifySink, IID_IPropertyNotifySink> {
public:
    explicit FontNotifySink(VeerControl* owner) : owner_(owner) {}
    void detach() { owner_ = nullptr; }

    Status OnChanged(DispId id) override
    {
        if (owner_)
            owner_->fontChanged(id);
        return S_OK;
    }
    Status OnRequestEdit(DispId id) override { return owner_ ? owner_->fontRequestEdit(id) : S_OK; }

private:
    ~FontNotifySink() = default;
    VeerControl* owner_;
};

ComPtr<VeerControl> VeerControl::create()
{
    return ComPtr<VeerControl>::adopt(new VeerControl());
}

VeerControl* VeerControl::from(IUnknown* object)
{
    if (!object)
        return nullptr;
    void* p = nullptr;
    if (failed(object->QueryInterface(IID_VeerControlImpl, &p)) || !p)
        return nullptr;
    auto* control = static_cast<VeerControl*>(p);
    control->Release(); // the caller holds its own reference through object
    return control;
}

VeerControl::VeerControl()
{
    fontSink_ = ComPtr<FontNotifySink>::adopt(new FontNotifySink(this));
    updateAngleTrig();
}

VeerControl::~VeerControl()
{
    setFontObject(nullptr);
    fontSink_->detach();
}

Status VeerControl::QueryInterface(const Guid& iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IVeer)
        *out = static_cast<IVeer*>(this);
    else if (iid == IID_IVeerControl)
        *out = static_cast<IVeerControl*>(this);
    else if (iid == IID_IPersistStreamInit)
        *out = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IPersistPropertyBag)
        *out = static_cast<IPersistPropertyBag*>(this);
    else if (iid == IID_IPerPropertyBrowsing)
        *out = static_cast<IPerPropertyBrowsing*>(this);
    else if (iid == IID_ICategorizeProperties)
        *out = static_cast<ICategorizeProperties*>(this);
    else if (iid == IID_IProvideClassInfo2)
        *out = static_cast<IProvideClassInfo2*>(this);
    else if (iid == IID_ISpecifyPropertyPages)
        *out = static_cast<ISpecifyPropertyPages*>(this);
    else if (iid == IID_VeerControlImpl)
        *out = this;
    else if (iid == IID_IVeerQtView && uiHooks().createQtView) {
        // A separate object that holds its own reference on the control.
        *out = uiHooks().createQtView(this);
        return *out ? S_OK : E_NOINTERFACE;
    }
    if (!*out)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

std::uint32_t VeerControl::Release()
{
    std::uint32_t r = refs_.release();
    if (r == 0)
        delete this;
    return r;
}

// --- notifications ---------------------------------------------------------

bool VeerControl::requestEdit(DispId id)
{
    if (freeze_ > 0)
        return true;
    for (const auto& sink : sinks_.snapshot())
        if (sink->OnRequestEdit(id) != S_OK)
            return false;
    return true;
}

void VeerControl::fireChanged(DispId id)
{
    if (freeze_ > 0)
        return;
    for (const auto& sink : sinks_.snapshot())
        sink->OnChanged(id);
}

void VeerControl::commit(DispId id)
{
    dirty_ = true;
    fireChanged(id);
    if (site_)
        site_->InvalidateControl();
    for (const auto& sink : dataSinks_.snapshot())
        sink->OnDataChange();
}

void VeerControl::setFontObject(ComPtr<IFont> font)
{
    if (font_ && fontCookie_)
        font_->UnadviseNotify(fontCookie_);
    fontCookie_ = 0;
    font_ = std::move(font);
    if (font_ && failed(font_->AdviseNotify(fontSink_.get(), &fontCookie_)))
        fontCookie_ = 0;
}

void VeerControl::dropCachedFont()
{
    cachedFont_.reset();
    cachedFontKind_ = nullptr;
}

void VeerControl::updateAngleTrig()
{
    sine_ = std::sin(angle_ * kRadiansPerDegree);
    cosine_ = std::cos(angle_ * kRadiansPerDegree);
}

void VeerControl::fontChanged(DispId fontProperty)
{
    dirty_ = true;
    fireChanged(DISPID_FONT);
    // A new size shows in the needed height; any other change of the font
    // (face, weight, style) would otherwise keep drawing the old device font.
    if (fontProperty != DISPID_FONT_SIZE)
        dropCachedFont();
    if (site_)
        site_->InvalidateControl();
}

Status VeerControl::fontRequestEdit(DispId)
{
    fireChanged(DISPID_FONT);
    return S_OK;
}

// --- IVeer -----------------------------------------------------------------

Status VeerControl::put_BackStyle(std::int32_t style)
{
    if (!requestEdit(DISPID_BACKSTYLE))
        return S_FALSE;
    backStyle_ = style;
    commit(DISPID_BACKSTYLE);
    return S_OK;
}

Status VeerControl::get_BackStyle(std::int32_t* style)
{
    if (!style)
        return E_POINTER;
    *style = backStyle_;
    return S_OK;
}

Status VeerControl::putref_Font(IFont* font)
{
    if (!requestEdit(DISPID_FONT))
        return S_FALSE;
    try {
        setFontObject(ComPtr<IFont>(font));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    dropCachedFont();
    commit(DISPID_FONT);
    return S_OK;
}

Status VeerControl::put_Font(IFont* font)
{
    if (!requestEdit(DISPID_FONT))
        return S_FALSE;
    ComPtr<IFont> clone;
    if (font) {
        Status s = font->Clone(clone.put());
        if (failed(s))
            return s;
    }
    setFontObject(std::move(clone));
    dropCachedFont();
    commit(DISPID_FONT);
    return S_OK;
}

Status VeerControl::get_Font(IFont** font)
{
    if (!font)
        return E_POINTER;
    *font = font_.get();
    if (*font)
        (*font)->AddRef();
    return S_OK;
}

Status VeerControl::put_ForeColor(OleColor color)
{
    if (!requestEdit(DISPID_FORECOLOR))
        return S_FALSE;
    foreColor_ = color;
    commit(DISPID_FORECOLOR);
    return S_OK;
}

Status VeerControl::get_ForeColor(OleColor* color)
{
    if (!color)
        return E_POINTER;
    *color = foreColor_;
    return S_OK;
}

Status VeerControl::put_Caption(const std::optional<std::u16string>& caption)
{
    if (!requestEdit(DISPID_CAPTION))
        return S_FALSE;
    try {
        caption_ = caption;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    commit(DISPID_CAPTION);
    return S_OK;
}

Status VeerControl::get_Caption(std::optional<std::u16string>* caption)
{
    if (!caption)
        return E_POINTER;
    try {
        *caption = caption_;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

Status VeerControl::get_Angle(std::int16_t* angle)
{
    if (!angle)
        return E_POINTER;
    *angle = angle_;
    return S_OK;
}

Status VeerControl::put_Angle(std::int16_t angle)
{
    auto normal = static_cast<std::int16_t>(((angle % 360) + 360) % 360);
    if (normal == angle_)
        return S_OK;
    if (!requestEdit(DISPID_ANGLE))
        return S_FALSE;
    angle_ = normal;
    updateAngleTrig();
    dropCachedFont();
    commit(DISPID_ANGLE);
    return S_OK;
}

Status VeerControl::get_Alignment(Align* align)
{
    if (!align)
        return E_POINTER;
    *align = static_cast<Align>(alignment_);
    return S_OK;
}

Status VeerControl::put_Alignment(Align align)
{
    auto value = static_cast<std::int32_t>(align);
    if (value < align_Left || value > align_CenterVertical)
        return S_FALSE;
    if (value == alignment_)
        return S_OK;
    if (!requestEdit(DISPID_ALIGNMENT))
        return S_FALSE;
    alignment_ = value;
    commit(DISPID_ALIGNMENT);
    return S_OK;
}

Status VeerControl::get_Spacing(std::int16_t* spacing)
{
    if (!spacing)
        return E_POINTER;
    *spacing = spacing_;
    return S_OK;
}

Status VeerControl::put_Spacing(std::int16_t spacing)
{
    if (spacing == spacing_ || spacing <= 0)
        return S_OK;
    if (!requestEdit(DISPID_SPACING))
        return S_FALSE;
    spacing_ = spacing;
    commit(DISPID_SPACING);
    return S_OK;
}

Status VeerControl::AboutBox()
{
    return uiHooks().aboutBox ? uiHooks().aboutBox(this) : E_NOTIMPL;
}

Status VeerControl::GetProperty(DispId id, Variant* value)
{
    if (!value)
        return E_POINTER;
    try {
        switch (id) {
        case DISPID_CAPTION: *value = Variant::string(caption_); return S_OK;
        case DISPID_ANGLE: *value = Variant::i2(angle_); return S_OK;
        case DISPID_ALIGNMENT: *value = Variant::i4(alignment_); return S_OK;
        case DISPID_SPACING: *value = Variant::i2(spacing_); return S_OK;
        case DISPID_BACKSTYLE: *value = Variant::i4(backStyle_); return S_OK;
        case DISPID_FORECOLOR: *value = Variant::ui4(foreColor_); return S_OK;
        case DISPID_FONT: *value = Variant::dispatch(font_.get()); return S_OK;
        default: return E_INVALIDARG;
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

Status VeerControl::PutProperty(DispId id, const Variant& value)
{
    Status s;
    switch (id) {
    case DISPID_CAPTION: {
        std::optional<std::u16string> text;
        if (failed(s = toText(value, &text)))
            return s;
        return put_Caption(text);
    }
    case DISPID_ANGLE: case DISPID_SPACING: {
        std::int16_t n;
        if (failed(s = toI2(value, &n)))
            return s;
        return id == DISPID_ANGLE ? put_Angle(n) : put_Spacing(n);
    }
    case DISPID_ALIGNMENT: case DISPID_BACKSTYLE: {
        std::int32_t n;
        if (failed(s = toI4(value, &n)))
            return s;
        return id == DISPID_ALIGNMENT ? put_Alignment(static_cast<Align>(n)) : put_BackStyle(n);
    }
    case DISPID_FORECOLOR: {
        std::uint32_t n;
        if (failed(s = toUI4(value, &n)))
            return s;
        return put_ForeColor(n);
    }
    case DISPID_FONT: {
        ComPtr<IFont> font;
        if (failed(s = toFont(value, &font)))
            return s;
        return put_Font(font.get());
    }
    default:
        return E_INVALIDARG;
    }
}

Status VeerControl::PutRefProperty(DispId id, const Variant& value)
{
    if (id != DISPID_FONT)
        return E_INVALIDARG;
    ComPtr<IFont> font;
    Status s = toFont(value, &font);
    return failed(s) ? s : putref_Font(font.get());
}

// --- IVeerControl ----------------------------------------------------------

Status VeerControl::SetClientSite(IVeerSite* site)
{
    site_ = site;
    if (!site || sited_)
        return S_OK;
    sited_ = true;
    if (font_)
        return S_OK;
    ComPtr<IFont> ambient, font;
    if (succeeded(site->GetAmbientFont(ambient.put())) && ambient)
        ambient->Clone(font.put());
    if (!font) {
        FontDesc arial; // Arial 24 pt, weight 400, character set 0, plain
        try {
            font = StdFont::create(arial);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    setFontObject(std::move(font));
    OleColor color;
    if (succeeded(site->GetAmbientForeColor(&color)))
        foreColor_ = color;
    return S_OK;
}

Status VeerControl::GetClientSite(IVeerSite** site)
{
    if (!site)
        return E_POINTER;
    *site = site_.get();
    if (*site)
        (*site)->AddRef();
    return S_OK;
}

Status VeerControl::SetExtent(std::uint32_t cx, std::uint32_t cy)
{
    cx_ = cx;
    cy_ = cy;
    return S_OK;
}

Status VeerControl::GetExtent(std::uint32_t* cx, std::uint32_t* cy)
{
    if (!cx || !cy)
        return E_POINTER;
    *cx = cx_;
    *cy = cy_;
    return S_OK;
}

Status VeerControl::FreezeEvents(bool freeze)
{
    if (freeze)
        ++freeze_;
    else if (freeze_ > 0)
        --freeze_;
    return S_OK;
}

Status VeerControl::AdvisePropertyNotify(IPropertyNotifySink* sink, std::uint32_t* cookie)
{
    return sinks_.advise(sink, cookie);
}

Status VeerControl::UnadvisePropertyNotify(std::uint32_t cookie)
{
    return sinks_.unadvise(cookie);
}

Status VeerControl::AdviseDataChange(IDataChangeSink* sink, std::uint32_t* cookie)
{
    return dataSinks_.advise(sink, cookie);
}

Status VeerControl::UnadviseDataChange(std::uint32_t cookie)
{
    return dataSinks_.unadvise(cookie);
}

Status VeerControl::GetViewStatus(std::uint32_t* status)
{
    if (!status)
        return E_POINTER;
    *status = backStyle_ == 1 ? VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND : VIEWSTATUS_DVASPECTTRANSPARENT;
    return S_OK;
}

Status VeerControl::DoVerb(std::int32_t verb)
{
    switch (verb) {
    case VERB_PROPERTIES:
    case OLEIVERB_PROPERTIES:
        return uiHooks().propertyFrame ? uiHooks().propertyFrame(this) : E_NOTIMPL;
    case VERB_ABOUT:
        return AboutBox();
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_HIDE:
    case OLEIVERB_DISCARDUNDOSTATE:
        // The view is active whenever its container shows it and keeps no
        // undo state: nothing to do.
        return S_OK;
    default:
        // OLEIVERB_OPEN included: the control has no window of its own to open in.
        return E_NOTIMPL;
    }
}

// --- persistence -----------------------------------------------------------

Status VeerControl::GetClassID(Guid* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = CLSID_Veer;
    return S_OK;
}

Status VeerControl::IsDirty()
{
    return dirty_ ? S_OK : S_FALSE;
}

Status VeerControl::InitNew()
{
    if (initialised_)
        return E_UNEXPECTED;
    initialised_ = true;
    dirty_ = true;
    return S_OK;
}

Status VeerControl::setLoaded(DispId id, const Variant& value)
{
    if (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) {
        Status s = PutRefProperty(id, value);
        if (succeeded(s))
            return s;
    }
    return PutProperty(id, value);
}

Status VeerControl::Load(IStream* stream)
{
    if (!stream)
        return E_POINTER;
    if (initialised_)
        return E_UNEXPECTED;
    initialised_ = true;

    StreamReader in(stream);
    std::uint32_t version;
    if (!in.u32(&version) || version > kStreamVersion)
        return E_FAIL;
    for (const PropertyMapEntry& entry : kPropertyMap) {
        if (entry.raw) {
            if (!in.u32(entry.key[2] == 'x' ? &cx_ : &cy_))
                return E_FAIL;
            continue;
        }
        Variant value;
        Status s = readVariant(stream, &value);
        if (s == E_OUTOFMEMORY)
            return s;
        if (failed(s) || failed(setLoaded(entry.id, value)))
            return E_FAIL;
    }
    updateAngleTrig();
    return S_OK;
}

Status VeerControl::Save(IStream* stream, bool clearDirty)
{
    if (!stream)
        return E_POINTER;
    StreamWriter out(stream);
    Status s;
    if (failed(s = out.u32(kStreamVersion)) || failed(s = out.u32(cx_)) || failed(s = out.u32(cy_)))
        return s;
    for (const PropertyMapEntry& entry : kPropertyMap) {
        if (entry.raw)
            continue;
        Variant value;
        if (failed(s = GetProperty(entry.id, &value)) || failed(s = writeVariant(stream, value)))
            return s;
    }
    if (clearDirty)
        dirty_ = false;
    return S_OK;
}

Status VeerControl::GetSizeMax(std::uint64_t* size)
{
    if (!size)
        return E_POINTER;
    CountingStream counter;
    Status s = Save(&counter, false);
    if (failed(s))
        return s;
    *size = counter.total;
    return S_OK;
}

Status VeerControl::Load(IPropertyBag* bag)
{
    if (!bag)
        return E_POINTER;
    if (initialised_)
        return E_UNEXPECTED;
    initialised_ = true;

    for (const PropertyMapEntry& entry : kPropertyMap) {
        Variant value;
        Status s = bag->Read(entry.key, &value);
        if (s == E_INVALIDARG)
            continue; // not in the bag: the current value stands
        if (failed(s))
            return E_FAIL;
        if (entry.raw) {
            if (failed(toUI4(value, entry.key[2] == 'x' ? &cx_ : &cy_)))
                return E_FAIL;
            continue;
        }
        if (failed(setLoaded(entry.id, value)))
            return E_FAIL;
    }
    updateAngleTrig();
    dirty_ = false;
    return S_OK;
}

Status VeerControl::Save(IPropertyBag* bag, bool clearDirty, bool)
{
    if (!bag)
        return E_POINTER;
    for (const PropertyMapEntry& entry : kPropertyMap) {
        Variant value;
        Status s = S_OK;
        if (entry.raw)
            value = Variant::ui4(entry.key[2] == 'x' ? cx_ : cy_);
        else
            s = GetProperty(entry.id, &value);
        if (failed(s) || failed(s = bag->Write(entry.key, value)))
            return s;
    }
    if (clearDirty)
        dirty_ = false;
    return S_OK;
}

// --- property browsing -----------------------------------------------------

Status VeerControl::GetDisplayString(DispId id, std::u16string* text)
{
    if (!text)
        return E_POINTER;
    try {
        switch (id) {
        case DISPID_ALIGNMENT:
            *text = kAlignNames[alignment_];
            return S_OK;
        case DISPID_BACKSTYLE:
            if (backStyle_ == 0 || backStyle_ == 1) {
                *text = kBackStyleNames[backStyle_];
                return S_OK;
            }
            break;
        case DISPID_FONT:
            if (!font_)
                return E_FAIL;
            return font_->get_Name(text);
        case DISPID_FORECOLOR:
            return S_FALSE;
        default:
            break;
        }
        Variant value;
        std::optional<std::u16string> converted;
        Status s = GetProperty(id, &value);
        if (failed(s))
            return s;
        if (failed(s = toText(value, &converted)))
            return s;
        *text = converted.value_or(std::u16string());
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

Status VeerControl::MapPropertyToPage(DispId id, Guid* page)
{
    if (!page)
        return E_POINTER;
    for (const PropertyMapEntry& entry : kPropertyMap)
        if (!entry.raw && entry.id == id) {
            *page = entry.page;
            return S_OK;
        }
    return E_INVALIDARG;
}

Status VeerControl::GetPredefinedStrings(DispId id, std::vector<std::u16string>* strings,
                                         std::vector<std::uint32_t>* cookies)
{
    if (!strings || !cookies)
        return E_POINTER;
    try {
        strings->clear();
        cookies->clear();
        if (id == DISPID_BACKSTYLE)
            for (std::uint32_t i = 0; i < 2; ++i) {
                strings->push_back(kBackStyleNames[i]);
                cookies->push_back(i);
            }
        else if (id == DISPID_ALIGNMENT)
            for (std::uint32_t i = 0; i < 6; ++i) {
                strings->push_back(kAlignNames[i]);
                cookies->push_back(i);
            }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

Status VeerControl::GetPredefinedValue(DispId id, std::uint32_t cookie, Variant* value)
{
    if (!value)
        return E_POINTER;
    if (id != DISPID_BACKSTYLE && id != DISPID_ALIGNMENT)
        return E_NOTIMPL;
    *value = Variant::i4(static_cast<std::int32_t>(cookie));
    return S_OK;
}

Status VeerControl::MapPropertyToCategory(DispId id, std::int32_t* category)
{
    if (!category)
        return E_POINTER;
    if (id == DISPID_CAPTION)
        *category = PROPCAT_Text;
    else if (id == DISPID_FONT)
        *category = PROPCAT_Font;
    else if (id >= -799)
        *category = PROPCAT_Appearance;
    else
        return E_FAIL;
    return S_OK;
}

Status VeerControl::GetCategoryName(std::int32_t, std::uint32_t, std::u16string*)
{
    return E_FAIL;
}

Status VeerControl::GetGUID(std::uint32_t kind, Guid* guid)
{
    if (!guid)
        return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
        return E_INVALIDARG;
    *guid = DIID__IVeerEvents;
    return S_OK;
}

Status VeerControl::GetPages(std::vector<Guid>* pages)
{
    if (!pages)
        return E_POINTER;
    try {
        // The pages of the property map, each once, in map order.
        pages->clear();
        for (const PropertyMapEntry& entry : kPropertyMap)
            if (!entry.raw && std::find(pages->begin(), pages->end(), entry.page) == pages->end())
                pages->push_back(entry.page);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

// --- drawing ---------------------------------------------------------------

Status VeerControl::draw(const DrawRequest& request, Canvas& canvas)
{
    if (request.aspect != DVASPECT_CONTENT)
        return E_FAIL;
    const Rect& b = request.bounds;

    if (backStyle_ == 1) {
        OleColor back = kFallbackBackColor;
        if (!site_ || failed(site_->GetAmbientBackColor(&back)))
            back = kFallbackBackColor;
        canvas.fill(b, back);
    }
    bool userMode = true;
    if (site_ && failed(site_->GetAmbientUserMode(&userMode)))
        userMode = true;
    if (!userMode)
        canvas.frame(b);

    if (!caption_)
        return S_OK;
    if (!font_)
        return E_FAIL;

    std::int64_t size = 0;
    if (failed(font_->get_Size(&size)))
        return E_FAIL;
    const std::int32_t height = fontHeight(size, request.dpiY, request.zoom);
    if (height != cachedFontHeight_) {
        dropCachedFont();
        cachedFontHeight_ = height;
    }
    if (cachedFont_ && cachedFontKind_ != canvas.fontKind())
        dropCachedFont();
    if (!cachedFont_) {
        LogFont lf;
        std::int16_t weight = 0, charset = 0;
        bool italic = false, underline = false, strike = false;
        font_->get_Name(&lf.face);
        font_->get_Weight(&weight);
        font_->get_Charset(&charset);
        font_->get_Italic(&italic);
        font_->get_Underline(&underline);
        font_->get_Strikethrough(&strike);
        if (lf.face.size() > kFaceChars)
            lf.face.resize(kFaceChars);
        lf.height = height;
        lf.weight = weight;
        lf.charset = static_cast<std::uint8_t>(charset);
        lf.italic = italic;
        lf.underline = underline;
        lf.strikeOut = strike;
        lf.escapement = lf.orientation = angle_ * 10;
        cachedFont_ = canvas.makeFont(lf);
        cachedFontKind_ = cachedFont_ ? canvas.fontKind() : nullptr;
    }
    const int H = cachedFont_ ? canvas.textHeight(*cachedFont_) : 0;

    const Point steps = lineSteps(spacing_, request.dpiX, request.dpiY, request.zoom);
    const Point p1 = canvas.toLogical(steps);
    const Point p0 = canvas.toLogical({0, 0});
    const std::int64_t stepX = std::llabs(p1.x - p0.x);
    const std::int64_t stepY = std::llabs(p1.y - p0.y);

    std::vector<std::u16string_view> lines;
    try {
        lines = splitLines(*caption_);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    const auto n = static_cast<std::int64_t>(lines.size());
    const Placement place = placeLines(alignment_, angle_, sine_, cosine_, b, n, H, stepX, stepY);
    for (std::int64_t i = 0; i < n; ++i) {
        Point at{place.start.x + i * place.advance.x, place.start.y + i * place.advance.y};
        canvas.drawLine(cachedFont_.get(), at, place.flags, foreColor_, lines[static_cast<std::size_t>(i)], b);
    }
    return S_OK;
}

} // namespace veer::detail

namespace veer {

Status createVeer(IVeer** control)
{
    if (!control)
        return E_POINTER;
    try {
        *control = detail::VeerControl::create().detach();
        return S_OK;
    } catch (const std::bad_alloc&) {
        *control = nullptr;
        return E_OUTOFMEMORY;
    }
}

} // namespace veer
