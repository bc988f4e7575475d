#include "Cp1250.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <unordered_map>

namespace infil::report {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct Table {
    std::array<char32_t, 128> high{};              // byte 0x80 + i -> code point
    std::unordered_map<char32_t, unsigned char> back; // code point -> byte
};

// Asks iconv for each upper byte. Without the converter (a stripped C library)
// every upper byte stays unassigned, and encoding falls back to character
// references, which every browser understands.
Table buildTable()
{
    Table t;
    t.high.fill(kReplacement);
    iconv_t cd = iconv_open("UTF-32LE", "WINDOWS-1250");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return t;
    for (int i = 0; i < 128; ++i) {
        char in = static_cast<char>(0x80 + i);
        unsigned char out[8] = {};
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = 1;
        std::size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            sizeof out - outLeft != 4)
            continue;
        const char32_t cp = static_cast<char32_t>(out[0]) | static_cast<char32_t>(out[1]) << 8 |
                            static_cast<char32_t>(out[2]) << 16 |
                            static_cast<char32_t>(out[3]) << 24;
        t.high[static_cast<std::size_t>(i)] = cp;
        t.back.emplace(cp, static_cast<unsigned char>(0x80 + i));
    }
    iconv_close(cd);
    return t;
}

const Table& table()
{
    static const Table t = buildTable();
    return t;
}

// Decodes one UTF-8 sequence at `i` and advances past it; anything malformed,
// overlong or a surrogate gives U+FFFD and skips a single byte.
char32_t nextCodePoint(std::string_view s, std::size_t& i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, min = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + static_cast<std::size_t>(extra) >= s.size()) { // sequence cut short
        ++i;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char b = byte(i + static_cast<std::size_t>(k));
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = cp << 6 | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | cp >> 6));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | cp >> 12));
        out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | cp >> 18));
        out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

std::string ToWindows1250(std::string_view utf8)
{
    const Table& t = table();
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char32_t cp = nextCodePoint(utf8, i);
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        const auto it = t.back.find(cp);
        if (it != t.back.end())
            out.push_back(static_cast<char>(it->second));
        else
            out += "&#" + std::to_string(static_cast<std::uint32_t>(cp)) + ";";
    }
    return out;
}

std::string FromWindows1250(std::string_view bytes)
{
    const Table& t = table();
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out.push_back(c);
        else
            appendUtf8(out, t.high[b - 0x80u]);
    }
    return out;
}

} // namespace infil::report
