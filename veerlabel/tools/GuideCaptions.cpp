#include "GuideCaptions.h"

namespace veer::guide {

namespace {
constexpr OleColor kButtonText = 0x80000012;
constexpr std::int64_t kSize = 82500; // 8.25 pt
constexpr std::int16_t kCentralEuropean = 238;
} // namespace

const std::vector<GuideCaption>& guideCaptions()
{
    // Each stands upright (90 degrees); at 96 dpi they are 17 pixels wide and
    // 40, 180 and 40 pixels tall, room for the text in the widest usual sans
    // face (DejaVu Sans, 11 pixels).
    static const std::vector<GuideCaption> captions = {
        {"hodne.veer", u"hodn\u011B", false, 450, 1058},
        {"vhodnych-ploch.veer", u"Vhodn\u00FDch ploch k dispozici", true, 450, 4763},
        {"malo.veer", u"m\u00E1lo", false, 450, 1058},
    };
    return captions;
}

std::vector<std::uint8_t> guideStream(const GuideCaption& caption)
{
    ComPtr<IVeer> control;
    ComPtr<IFont> font;
    if (failed(createVeer(control.put())) ||
        failed(createStdFont(u"MS Sans Serif", kSize, caption.bold ? 700 : 400, kCentralEuropean, false, false,
                             false, font.put())))
        return {};
    auto persist = control.as<IPersistStreamInit>(IID_IPersistStreamInit);
    auto host = control.as<IVeerControl>(IID_IVeerControl);
    if (!persist || !host || failed(persist->InitNew()))
        return {};
    host->SetExtent(caption.cx, caption.cy);
    control->put_Caption(caption.text);
    control->put_Angle(90);
    control->put_Alignment(align_CenterVertical);
    control->put_Spacing(720);
    control->put_BackStyle(0);
    control->put_ForeColor(kButtonText);
    control->putref_Font(font.get());
    auto stream = MemoryStream::create();
    if (failed(persist->Save(stream.get(), true)))
        return {};
    return stream->bytes();
}

} // namespace veer::guide
