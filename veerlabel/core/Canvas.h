#pragma once
// What the control's drawing needs from a drawing surface. The Qt part of the
// library paints with QPainter; tests record the calls.

#include "Layout.h"

#include <Veer12/Veer12.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace veer::detail {

inline constexpr std::uint32_t DVASPECT_CONTENT = 1;

// A drawing request of the container.
struct DrawRequest {
    std::uint32_t aspect = DVASPECT_CONTENT;
    Rect bounds;
    int dpiX = 96; // of the target (measuring) device
    int dpiY = 96;
    std::optional<Zoom> zoom;
};

// The description a device font is made from.
struct LogFont {
    std::u16string face; // at most 31 characters
    std::int32_t height = 0;
    std::int32_t escapement = 0; // tenths of a degree, counter-clockwise
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charset = 0;
    std::uint8_t outPrecision = 7; // TrueType only
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 2; // proof
    std::uint8_t pitchAndFamily = 0;
};

class DeviceFont {
public:
    virtual ~DeviceFont() = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;
    // Identifies the kind of device font this canvas makes and accepts.
    virtual const void* fontKind() const = 0;
    virtual void fill(const Rect& r, OleColor color) = 0;
    // Outline with the surface's current pen, no fill.
    virtual void frame(const Rect& r) = 0;
    // Null when no font can be made.
    virtual std::unique_ptr<DeviceFont> makeFont(const LogFont& lf) = 0;
    // Height of the font's text cell on the target device.
    virtual int textHeight(const DeviceFont& font) = 0;
    virtual Point toLogical(Point device) { return device; }
    // One line anchored at a point with the alignment flags, clipped; a null
    // font draws in the surface's current font.
    virtual void drawLine(const DeviceFont* font, Point at, unsigned flags, OleColor color,
                          std::u16string_view text, const Rect& clip) = 0;
};

} // namespace veer::detail
