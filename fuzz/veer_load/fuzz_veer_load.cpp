// Feeds arbitrary bytes to the control's stream loader. A load may fail, but
// must never read past the stream, allocate what a count claims, or crash.
// Whatever loads must save, load again and save the same bytes, and draw.

#include "core/VeerControl.h"

#include <Veer12/Veer12.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

using namespace veer;

namespace {

// A canvas that only measures: the drawing path runs without a display.
struct NullCanvas : detail::Canvas {
    const void* fontKind() const override { return this; }
    void fill(const detail::Rect&, OleColor) override {}
    void frame(const detail::Rect&) override {}
    std::unique_ptr<detail::DeviceFont> makeFont(const detail::LogFont&) override
    {
        return std::make_unique<detail::DeviceFont>();
    }
    int textHeight(const detail::DeviceFont&) override { return 13; }
    void drawLine(const detail::DeviceFont*, detail::Point, unsigned, OleColor, std::u16string_view text,
                  const detail::Rect&) override
    {
        volatile std::size_t n = text.size();
        (void)n;
    }
};

std::vector<std::uint8_t> save(detail::VeerControl* c)
{
    auto out = MemoryStream::create();
    if (failed(c->Save(out.get(), false)))
        std::abort();
    return out->bytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto control = detail::VeerControl::create();
    auto in = MemoryStream::create(data, size);
    if (failed(control->Load(in.get())))
        return 0;

    const auto first = save(control.get());
    auto again = detail::VeerControl::create();
    if (failed(again->Load(MemoryStream::create(first).get())) || save(again.get()) != first)
        std::abort();

    NullCanvas canvas;
    detail::DrawRequest request;
    request.bounds = {0, 0, 100, 100};
    control->draw(request, canvas);
    return 0;
}
