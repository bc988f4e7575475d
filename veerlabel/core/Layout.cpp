#include "Layout.h"

#include <cmath>
#include <limits>

namespace veer::detail {

std::int32_t mulDiv(std::int64_t a, std::int64_t b, std::int64_t c)
{
    if (c == 0)
        return -1;
    // |a|, |b| stay below 2^31 here, so the product fits.
    __int128 p = static_cast<__int128>(a) * b;
    bool negative = (p < 0) != (c < 0);
    __int128 ap = p < 0 ? -p : p;
    __int128 ac = c < 0 ? -static_cast<__int128>(c) : c;
    __int128 q = (ap + ac / 2) / ac;
    if (q > std::numeric_limits<std::int32_t>::max())
        return -1;
    return static_cast<std::int32_t>(negative ? -q : q);
}

std::int32_t fontHeight(std::int64_t size, int dpiY, const std::optional<Zoom>& zoom)
{
    auto hi = static_cast<std::int32_t>(static_cast<std::uint64_t>(size) >> 32);
    auto lo = static_cast<std::uint32_t>(static_cast<std::uint64_t>(size));
    std::int64_t h = -(std::int64_t(mulDiv(hi, dpiY, 72)) + mulDiv(lo, dpiY, 720000));
    if (zoom && zoom->denY != 0)
        h = h * zoom->numY / zoom->denY;
    if (h < std::numeric_limits<std::int32_t>::min() || h > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(h);
}

Point lineSteps(int spacing, int dpiX, int dpiY, const std::optional<Zoom>& zoom)
{
    std::int64_t sx = std::int64_t(dpiX) * spacing / 1440;
    std::int64_t sy = std::int64_t(dpiY) * spacing / 1440;
    if (zoom) {
        if (zoom->denX != 0)
            sx = sx * zoom->numX / zoom->denX;
        if (zoom->denY != 0)
            sy = sy * zoom->numY / zoom->denY;
    }
    return {sx, sy};
}

int quadrant(int angle)
{
    return angle == 90 ? 0 : angle / 90;
}

std::vector<std::u16string_view> splitLines(std::u16string_view caption)
{
    std::u16string_view sep = caption.find(u"\r\n") != std::u16string_view::npos ? u"\r\n" : u"\n";
    std::vector<std::u16string_view> lines;
    std::size_t from = 0;
    while (from < caption.size()) {
        std::size_t at = caption.find(sep, from);
        if (at == std::u16string_view::npos) {
            lines.push_back(caption.substr(from));
            break;
        }
        lines.push_back(caption.substr(from, at - from));
        from = at + sep.size();
    }
    return lines;
}

Placement placeLines(int alignment, int angle, double sine, double cosine, const Rect& b, std::int64_t n,
                     int textHeight, std::int64_t stepX, std::int64_t stepY)
{
    const int q = quadrant(angle);
    const bool odd = q % 2 == 1;
    const std::int64_t H = textHeight;
    const std::int64_t hs = static_cast<std::int64_t>(std::trunc(H * sine));
    const std::int64_t hc = static_cast<std::int64_t>(std::trunc(H * cosine));
    const std::int64_t ahs = hs < 0 ? -hs : hs;
    const std::int64_t ahc = hc < 0 ? -hc : hc;
    const std::int64_t L = b.left, T = b.top, R = b.right, B = b.bottom;
    auto pick = [q](unsigned f0, unsigned f1, unsigned f2, unsigned f3) {
        const unsigned f[4] = {f0, f1, f2, f3};
        return f[q & 3];
    };

    Placement p;
    switch (alignment) {
    case 0: // Left
        p.start = {L + ahs, odd ? T : B - (n - 1) * stepY};
        p.advance = {0, stepY};
        p.flags = pick(8, 10, 2, 0);
        break;
    case 1: // Right
        p.start = {R - ahs, odd ? B - (n - 1) * stepY : T};
        p.advance = {0, stepY};
        p.flags = pick(2, 0, 8, 10);
        break;
    case 2: // Top
        p.start = {odd ? L : R - (n - 1) * stepX, T + ahc};
        p.advance = {stepX, 0};
        p.flags = pick(10, 2, 0, 8);
        break;
    case 4: // Center Horizontal
        p.start = {(R + L - hs - (n - 1) * stepX) / 2, (B + T - hc) / 2};
        p.advance = {stepX, 0};
        p.flags = TA_CENTER;
        break;
    case 5: // Center Vertical
        p.start = {(R + L - hs) / 2, (B + T - hc - (n - 1) * stepY) / 2};
        p.advance = {0, stepY};
        p.flags = TA_CENTER;
        break;
    default: // Bottom
        p.start = {odd ? R - (n - 1) * stepX : L, B - ahc};
        p.advance = {stepX, 0};
        p.flags = pick(0, 8, 10, 2);
        break;
    }
    return p;
}

} // namespace veer::detail
