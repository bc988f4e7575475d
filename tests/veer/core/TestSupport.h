#pragma once
// Helpers shared by the core tests: a recording notification sink, a site
// with settable ambient properties, and a canvas that records what is drawn.

#include "core/Canvas.h"
#include "core/StdFont.h"
#include "core/VeerControl.h"

#include <Veer12/Veer12.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veer::test {

// Reference counting for test objects; the control may outlive the test's
// own reference, so sinks and sites are made with make<>().
template <class Interface>
struct StackObject : Interface {
    virtual ~StackObject() = default;
    Status QueryInterface(const Guid& iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == ownIid) {
            *out = static_cast<Interface*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return ++refs; }
    std::uint32_t Release() override
    {
        std::uint32_t r = --refs;
        if (r == 0)
            delete this;
        return r;
    }
    Guid ownIid;
    std::uint32_t refs = 1;
};

template <class T>
ComPtr<T> make()
{
    return ComPtr<T>::adopt(new T());
}

struct RecordingSink : StackObject<IPropertyNotifySink> {
    RecordingSink() { ownIid = IID_IPropertyNotifySink; }
    Status OnChanged(DispId id) override
    {
        log.push_back("changed " + std::to_string(id));
        return S_OK;
    }
    Status OnRequestEdit(DispId id) override
    {
        log.push_back("request " + std::to_string(id));
        return refuse ? S_FALSE : S_OK;
    }
    std::vector<std::string> log;
    bool refuse = false;
};

struct TestSite : StackObject<IVeerSite> {
    TestSite() { ownIid = IID_IVeerSite; }
    Status GetAmbientFont(IFont** font) override
    {
        if (!ambientFont)
            return E_NOTIMPL;
        ++fontRequests;
        *font = ambientFont.get();
        (*font)->AddRef();
        return S_OK;
    }
    Status GetAmbientForeColor(OleColor* c) override
    {
        if (!foreColor)
            return E_NOTIMPL;
        *c = *foreColor;
        return S_OK;
    }
    Status GetAmbientBackColor(OleColor* c) override
    {
        *c = backColor;
        return S_OK;
    }
    Status GetAmbientUserMode(bool* user) override
    {
        *user = userMode;
        return S_OK;
    }
    Status InvalidateControl() override
    {
        ++invalidations;
        return S_OK;
    }
    ComPtr<IFont> ambientFont;
    std::optional<OleColor> foreColor;
    OleColor backColor = 0x00C0C0C0;
    bool userMode = true;
    int invalidations = 0;
    int fontRequests = 0;
};

struct RecordingCanvas : detail::Canvas {
    struct Font : detail::DeviceFont {
        explicit Font(detail::LogFont l) : lf(std::move(l)) {}
        detail::LogFont lf;
    };
    struct Line {
        detail::Point at;
        unsigned flags;
        OleColor color;
        std::u16string text;
        detail::Rect clip;
    };

    const void* fontKind() const override { return &kind; }
    void fill(const detail::Rect& r, OleColor c) override { fills.emplace_back(r, c); }
    void frame(const detail::Rect& r) override { frames.push_back(r); }
    std::unique_ptr<detail::DeviceFont> makeFont(const detail::LogFont& lf) override
    {
        fonts.push_back(lf);
        return std::make_unique<Font>(lf);
    }
    int textHeight(const detail::DeviceFont&) override { return height; }
    void drawLine(const detail::DeviceFont*, detail::Point at, unsigned flags, OleColor color,
                  std::u16string_view text, const detail::Rect& clip) override
    {
        lines.push_back({at, flags, color, std::u16string(text), clip});
    }

    static inline const char kind = 0;
    int height = 13;
    std::vector<std::pair<detail::Rect, OleColor>> fills;
    std::vector<detail::Rect> frames;
    std::vector<detail::LogFont> fonts;
    std::vector<Line> lines;
};

inline ComPtr<detail::VeerControl> newControl()
{
    return detail::VeerControl::create();
}

inline ComPtr<IFont> newFont(const std::u16string& name = u"MS Sans Serif", std::int64_t size = 82500,
                             std::int16_t weight = 400)
{
    detail::FontDesc d;
    d.name = name;
    d.size = size;
    d.weight = weight;
    return detail::StdFont::create(d);
}

inline std::vector<std::uint8_t> saveBytes(detail::VeerControl* c)
{
    auto stream = MemoryStream::create();
    EXPECT_EQ(c->Save(stream.get(), false), S_OK);
    return stream->bytes();
}

inline Status loadBytes(detail::VeerControl* c, std::vector<std::uint8_t> bytes)
{
    auto stream = MemoryStream::create(std::move(bytes));
    return c->Load(stream.get());
}

} // namespace veer::test
