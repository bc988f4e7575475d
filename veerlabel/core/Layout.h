#pragma once
// The geometry of a drawing, as pure functions: font height, line steps,
// splitting the caption into lines, and where the lines go.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace veer::detail {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct Point {
    std::int64_t x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// Zoom numerators and denominators, x and y.
struct Zoom {
    int numX = 1, denX = 1, numY = 1, denY = 1;
};

// Text-alignment flags of the text output.
inline constexpr unsigned TA_LEFT = 0;
inline constexpr unsigned TA_RIGHT = 2;
inline constexpr unsigned TA_CENTER = 6;
inline constexpr unsigned TA_TOP = 0;
inline constexpr unsigned TA_BOTTOM = 8;

// a * b / c rounded to the nearest integer (halves away from zero); -1 when
// c is 0 or the result does not fit in 32 bits.
std::int32_t mulDiv(std::int64_t a, std::int64_t b, std::int64_t c);

// Logical height of the device font (negative: character height) for a font
// size in ten-thousandths of a point.
std::int32_t fontHeight(std::int64_t size, int dpiY, const std::optional<Zoom>& zoom);

// Device distance between lines, x and y, for a spacing in twips.
Point lineSteps(int spacing, int dpiX, int dpiY, const std::optional<Zoom>& zoom);

// 0..90 -> 0, 91..179 -> 1, 180..269 -> 2, 270..359 -> 3.
int quadrant(int angle);

// The caption's lines, as views into it. The separator is CR LF when the
// caption holds one anywhere, else LF; an empty last piece is not a line.
std::vector<std::u16string_view> splitLines(std::u16string_view caption);

struct Placement {
    Point start;   // where the first line is anchored
    Point advance; // added per line
    unsigned flags = 0;
    bool operator==(const Placement&) const = default;
};

// Anchor, advance and alignment flags of n lines of text height H in bounds,
// for an angle with its sine and cosine and an alignment (values outside 0..5
// place as Bottom).
Placement placeLines(int alignment, int angle, double sine, double cosine, const Rect& bounds, std::int64_t n,
                     int textHeight, std::int64_t stepX, std::int64_t stepY);

} // namespace veer::detail
