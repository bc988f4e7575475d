// Prints the properties of a stored Veer property stream as JSON.
//
//   veer12-dump STREAM

#include <Veer12/Veer12.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::u16string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD; // a lone half of a pair
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace veer;
    if (argc != 2) {
        std::fprintf(stderr, "usage: veer12-dump STREAM\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "veer12-dump: cannot open %s\n", argv[1]);
        return 1;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    ComPtr<IVeer> control;
    if (failed(createVeer(control.put()))) {
        std::fprintf(stderr, "veer12-dump: cannot create a control\n");
        return 1;
    }
    auto persist = control.as<IPersistStreamInit>(IID_IPersistStreamInit);
    auto host = control.as<IVeerControl>(IID_IVeerControl);
    Status s = persist->Load(MemoryStream::create(std::move(bytes)).get());
    if (failed(s)) {
        std::fprintf(stderr, "veer12-dump: %s is not a Veer property stream (%s)\n", argv[1],
                     statusName(s).c_str());
        return 1;
    }

    std::uint32_t cx = 0, cy = 0;
    std::optional<std::u16string> caption;
    std::int16_t angle = 0, spacing = 0;
    Align alignment = align_Bottom;
    std::int32_t backStyle = 0;
    OleColor foreColor = 0;
    ComPtr<IFont> font;
    host->GetExtent(&cx, &cy);
    control->get_Caption(&caption);
    control->get_Angle(&angle);
    control->get_Alignment(&alignment);
    control->get_Spacing(&spacing);
    control->get_BackStyle(&backStyle);
    control->get_ForeColor(&foreColor);
    control->get_Font(font.put());

    nlohmann::ordered_json j;
    j["_cx"] = cx;
    j["_cy"] = cy;
    j["Caption"] = caption ? nlohmann::ordered_json(utf8(*caption)) : nlohmann::ordered_json(nullptr);
    j["Angle"] = angle;
    j["Alignment"] = static_cast<int>(alignment);
    j["Spacing"] = spacing;
    j["BackStyle"] = backStyle;
    j["ForeColor"] = foreColor;
    if (font) {
        std::u16string name;
        std::int64_t size = 0;
        std::int16_t weight = 0, charset = 0;
        bool bold = false, italic = false, underline = false, strike = false;
        font->get_Name(&name);
        font->get_Size(&size);
        font->get_Weight(&weight);
        font->get_Charset(&charset);
        font->get_Bold(&bold);
        font->get_Italic(&italic);
        font->get_Underline(&underline);
        font->get_Strikethrough(&strike);
        nlohmann::ordered_json f;
        f["Name"] = utf8(name);
        f["Size"] = static_cast<double>(size) / 10000.0;
        f["Weight"] = weight;
        f["Bold"] = bold;
        f["Italic"] = italic;
        f["Underline"] = underline;
        f["Strikethrough"] = strike;
        f["Charset"] = charset;
        j["Font"] = f;
    } else {
        j["Font"] = nullptr;
    }
    std::cout << j.dump(2) << '\n';
    return 0;
}
