#pragma once
// The standard font object: name, size, style, weight and character set, its
// own change notices to connected sinks, cloning and its persistent form.

#include "Module.h"

#include <Veer12/Veer12.h>

#include <string>

namespace veer::detail {

struct FontDesc {
    std::u16string name = u"Arial";
    std::int64_t size = 240000; // ten-thousandths of a point
    std::int16_t weight = 400;
    std::int16_t charset = 0;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
};

class StdFont final : public SimpleObject<IFont, IID_IFont> {
public:
    static ComPtr<IFont> create(const FontDesc& desc = {});

    Status get_Name(std::u16string* name) override;
    Status put_Name(const std::u16string& name) override;
    Status get_Size(std::int64_t* size) override;
    Status put_Size(std::int64_t size) override;
    Status get_Bold(bool* bold) override;
    Status put_Bold(bool bold) override;
    Status get_Italic(bool* italic) override;
    Status put_Italic(bool italic) override;
    Status get_Underline(bool* underline) override;
    Status put_Underline(bool underline) override;
    Status get_Strikethrough(bool* strike) override;
    Status put_Strikethrough(bool strike) override;
    Status get_Weight(std::int16_t* weight) override;
    Status put_Weight(std::int16_t weight) override;
    Status get_Charset(std::int16_t* charset) override;
    Status put_Charset(std::int16_t charset) override;
    Status Clone(IFont** out) override;
    Status AdviseNotify(IPropertyNotifySink* sink, std::uint32_t* cookie) override;
    Status UnadviseNotify(std::uint32_t cookie) override;
    Status Load(IStream* stream) override;
    Status Save(IStream* stream) override;

    const FontDesc& desc() const { return d_; }

private:
    explicit StdFont(const FontDesc& d) : d_(d) {}
    ~StdFont() = default;

    // Asks the sinks, applies, tells them; S_FALSE when a sink refuses.
    template <class F>
    Status change(DispId id, F apply);

    FontDesc d_;
    std::uint32_t nextCookie_ = 1;
    SinkList<IPropertyNotifySink> sinks_{nextCookie_};
};

// Weights at or above this count as bold.
inline constexpr std::int16_t kBoldWeight = 600;

// An object preceded by its class identifier; a null object is a null
// identifier. Only the standard font is known.
Status saveObject(IStream* stream, IUnknown* object);
// A null identifier gives S_OK and no object; an unknown class or a bad
// object stream fails.
Status loadObject(IStream* stream, ComPtr<IUnknown>* object);

} // namespace veer::detail
