#pragma once
// The control Veer: its state, setters with their checks and notifications,
// siting, persistence to streams and property bags, property browsing, and
// the drawing routine, which paints on any Canvas.

#include "Canvas.h"
#include "Module.h"

#include <Veer12/Veer12.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veer::detail {

// Asked through QueryInterface by code inside the library to reach the
// object behind an interface; never handed to the outside.
inline constexpr Guid IID_VeerControlImpl{0x7C5B4F12, 0xFD15, 0x48D5, {0x9D, 0x91, 0xB6, 0xEF, 0x5E, 0x66, 0x08, 0x47}};

inline constexpr std::int16_t kDefaultAngle = 60;
inline constexpr std::int32_t kDefaultAlignment = align_Bottom;
inline constexpr std::int16_t kDefaultSpacing = 720;
inline constexpr OleColor kDefaultForeColor = 0x80000008; // window text
inline constexpr OleColor kFallbackBackColor = 0x8000000F; // button face
inline constexpr std::uint32_t kStreamVersion = 0x300;
inline constexpr std::uint32_t kDefaultExtent = 5080; // two inches

// The persisted properties, in stored order.
struct PropertyMapEntry {
    const char* key;
    DispId id;
    VarType type;
    bool raw; // the extent, stored as a bare value
    Guid page;
};
extern const PropertyMapEntry kPropertyMap[9];

class FontNotifySink;

class VeerControl final : public IVeer,
                          public IVeerControl,
                          public IPersistStreamInit,
                          public IPersistPropertyBag,
                          public IPerPropertyBrowsing,
                          public ICategorizeProperties,
                          public IProvideClassInfo2,
                          public ISpecifyPropertyPages,
                          private LiveObject {
public:
    static ComPtr<VeerControl> create();
    // The object behind an interface of a control of this library, or null.
    static VeerControl* from(IUnknown* object);

    // IUnknown
    Status QueryInterface(const Guid& iid, void** out) override;
    std::uint32_t AddRef() override { return refs_.addRef(); }
    std::uint32_t Release() override;

    // IVeer
    Status put_BackStyle(std::int32_t style) override;
    Status get_BackStyle(std::int32_t* style) override;
    Status putref_Font(IFont* font) override;
    Status put_Font(IFont* font) override;
    Status get_Font(IFont** font) override;
    Status put_ForeColor(OleColor color) override;
    Status get_ForeColor(OleColor* color) override;
    Status put_Caption(const std::optional<std::u16string>& caption) override;
    Status get_Caption(std::optional<std::u16string>* caption) override;
    Status get_Angle(std::int16_t* angle) override;
    Status put_Angle(std::int16_t angle) override;
    Status get_Alignment(Align* align) override;
    Status put_Alignment(Align align) override;
    Status get_Spacing(std::int16_t* spacing) override;
    Status put_Spacing(std::int16_t spacing) override;
    Status AboutBox() override;
    Status GetProperty(DispId id, Variant* value) override;
    Status PutProperty(DispId id, const Variant& value) override;
    Status PutRefProperty(DispId id, const Variant& value) override;
    double angleSine() override { return sine_; }
    double angleCosine() override { return cosine_; }

    // IVeerControl
    Status SetClientSite(IVeerSite* site) override;
    Status GetClientSite(IVeerSite** site) override;
    Status SetExtent(std::uint32_t cx, std::uint32_t cy) override;
    Status GetExtent(std::uint32_t* cx, std::uint32_t* cy) override;
    Status FreezeEvents(bool freeze) override;
    Status AdvisePropertyNotify(IPropertyNotifySink* sink, std::uint32_t* cookie) override;
    Status UnadvisePropertyNotify(std::uint32_t cookie) override;
    Status AdviseDataChange(IDataChangeSink* sink, std::uint32_t* cookie) override;
    Status UnadviseDataChange(std::uint32_t cookie) override;
    Status GetViewStatus(std::uint32_t* status) override;
    Status DoVerb(std::int32_t verb) override;

    // IPersistStreamInit and IPersistPropertyBag
    Status GetClassID(Guid* clsid) override;
    Status IsDirty() override;
    Status Load(IStream* stream) override;
    Status Save(IStream* stream, bool clearDirty) override;
    Status GetSizeMax(std::uint64_t* size) override;
    Status InitNew() override;
    Status Load(IPropertyBag* bag) override;
    Status Save(IPropertyBag* bag, bool clearDirty, bool saveAll) override;

    // IPerPropertyBrowsing
    Status GetDisplayString(DispId id, std::u16string* text) override;
    Status MapPropertyToPage(DispId id, Guid* page) override;
    Status GetPredefinedStrings(DispId id, std::vector<std::u16string>* strings,
                                std::vector<std::uint32_t>* cookies) override;
    Status GetPredefinedValue(DispId id, std::uint32_t cookie, Variant* value) override;

    // ICategorizeProperties
    Status MapPropertyToCategory(DispId id, std::int32_t* category) override;
    Status GetCategoryName(std::int32_t category, std::uint32_t locale, std::u16string* name) override;

    // IProvideClassInfo2
    Status GetGUID(std::uint32_t kind, Guid* guid) override;

    // ISpecifyPropertyPages
    Status GetPages(std::vector<Guid>* pages) override;

    // Paints the control; E_FAIL for another aspect or without a font.
    Status draw(const DrawRequest& request, Canvas& canvas);

    bool initialised() const { return initialised_; }
    int cachedFontHeight() const { return cachedFontHeight_; }
    bool hasCachedFont() const { return cachedFont_ != nullptr; }

private:
    friend class FontNotifySink;

    VeerControl();
    ~VeerControl();

    bool requestEdit(DispId id);
    void fireChanged(DispId id);
    void commit(DispId id);
    void setFontObject(ComPtr<IFont> font);
    void dropCachedFont();
    void updateAngleTrig();
    void fontChanged(DispId fontProperty);
    Status fontRequestEdit(DispId fontProperty);
    Status setLoaded(DispId id, const Variant& value);

    RefCount refs_;
    std::optional<std::u16string> caption_;
    std::int16_t angle_ = kDefaultAngle;
    std::int32_t alignment_ = kDefaultAlignment;
    std::int16_t spacing_ = kDefaultSpacing;
    std::int32_t backStyle_ = 0;
    OleColor foreColor_ = kDefaultForeColor;
    ComPtr<IFont> font_;
    std::uint32_t fontCookie_ = 0;
    ComPtr<FontNotifySink> fontSink_;
    std::uint32_t cx_ = kDefaultExtent;
    std::uint32_t cy_ = kDefaultExtent;
    double sine_ = 0;
    double cosine_ = 0;

    std::unique_ptr<DeviceFont> cachedFont_;
    const void* cachedFontKind_ = nullptr;
    std::int32_t cachedFontHeight_ = 0;

    bool dirty_ = false;
    bool initialised_ = false;
    int freeze_ = 0;
    ComPtr<IVeerSite> site_;
    bool sited_ = false;

    // One counter for both lists: a cookie names one connection of the control.
    std::uint32_t nextCookie_ = 1;
    SinkList<IPropertyNotifySink> sinks_{nextCookie_};
    SinkList<IDataChangeSink> dataSinks_{nextCookie_};
};

} // namespace veer::detail
