#include "PageModels.h"

#include "StdFont.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace veer::detail {

std::vector<ComPtr<IVeer>> controlsOf(std::uint32_t count, IUnknown* const* objects)
{
    std::vector<ComPtr<IVeer>> controls;
    for (std::uint32_t i = 0; objects && i < count; ++i) {
        ComPtr<IVeer> control;
        if (objects[i] && succeeded(objects[i]->QueryInterface(IID_IVeer, reinterpret_cast<void**>(control.put()))) &&
            control)
            controls.push_back(std::move(control));
    }
    return controls;
}

// --- VeerPage ----------------------------------------------------------------

const std::u16string VeerPageModel::kAlignmentNames[6] = {u"Left",   u"Right",           u"Top",
                                                          u"Bottom", u"Center Horizontal", u"Center Vertical"};

std::u16string VeerPageModel::editTextFromCaption(const std::optional<std::u16string>& caption)
{
    std::u16string text;
    if (!caption)
        return text;
    text.reserve(caption->size());
    for (std::size_t i = 0; i < caption->size(); ++i) {
        if ((*caption)[i] == u'\r' && i + 1 < caption->size() && (*caption)[i + 1] == u'\n')
            continue; // CR LF shows as one line break
        text += (*caption)[i];
    }
    return text;
}

std::optional<std::u16string> VeerPageModel::captionFromEditText(const std::u16string& text)
{
    if (text.empty())
        return std::nullopt;
    std::u16string caption;
    caption.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            caption += u'\r';
        caption += text[i];
    }
    return caption;
}

void VeerPageModel::setObjects(std::vector<ComPtr<IVeer>> controls)
{
    controls_ = std::move(controls);
    caption_.clear();
    angle_ = 0;
    alignment_ = -1;
    spacing_ = kSpacingMin;
    opaque_ = false;
    if (!controls_.empty()) {
        IVeer* first = controls_.front().get();
        std::optional<std::u16string> caption;
        std::int16_t angle = 0, spacing = 0;
        Align align = align_Left;
        std::int32_t backStyle = 0;
        if (succeeded(first->get_Caption(&caption)))
            caption_ = editTextFromCaption(caption);
        if (succeeded(first->get_Angle(&angle)))
            angle_ = std::clamp<int>(angle, kAngleMin, kAngleMax);
        if (succeeded(first->get_Alignment(&align)))
            alignment_ = align >= align_Left && align <= align_CenterVertical ? static_cast<int>(align) : -1;
        if (succeeded(first->get_Spacing(&spacing)))
            spacing_ = std::clamp<int>(spacing, kSpacingMin, kSpacingMax);
        if (succeeded(first->get_BackStyle(&backStyle)))
            opaque_ = backStyle == 1;
    }
    flags_ = 0;
    dirty_ = false;
}

void VeerPageModel::touched(unsigned flag)
{
    flags_ |= flag;
    dirty_ = true;
    if (onEdit)
        onEdit();
}

void VeerPageModel::editCaption(const std::u16string& text)
{
    caption_ = text;
    touched(CaptionChanged);
}

void VeerPageModel::editAngle(int angle)
{
    angle_ = std::clamp(angle, kAngleMin, kAngleMax);
    touched(AngleChanged);
}

void VeerPageModel::selectAlignment(int index)
{
    alignment_ = index >= 0 && index < 6 ? index : -1;
    touched(AlignmentChanged);
}

void VeerPageModel::editSpacing(int spacing)
{
    spacing_ = std::clamp(spacing, kSpacingMin, kSpacingMax);
    touched(SpacingChanged);
}

void VeerPageModel::clickOpaque(bool checked)
{
    opaque_ = checked;
    touched(BackStyleChanged);
}

void VeerPageModel::apply()
{
    const std::optional<std::u16string> caption = captionFromEditText(caption_);
    for (const ComPtr<IVeer>& control : controls_) {
        if (flags_ & CaptionChanged)
            control->put_Caption(caption);
        if (flags_ & AngleChanged)
            control->put_Angle(static_cast<std::int16_t>(angle_));
        if (flags_ & SpacingChanged)
            control->put_Spacing(static_cast<std::int16_t>(spacing_));
        if (flags_ & AlignmentChanged)
            control->put_Alignment(static_cast<Align>(alignment_));
        if (flags_ & BackStyleChanged)
            control->put_BackStyle(opaque_ ? 1 : 0);
    }
    flags_ = 0;
    dirty_ = false;
}

// --- the standard colour page --------------------------------------------

const std::vector<NamedColor>& ColorPageModel::standardColors()
{
    // 0x00BBGGRR
    static const std::vector<NamedColor> colors = {
        {u"Black", 0x000000},     {u"Dark Red", 0x000080},   {u"Dark Green", 0x008000},
        {u"Dark Yellow", 0x008080}, {u"Dark Blue", 0x800000}, {u"Dark Magenta", 0x800080},
        {u"Dark Cyan", 0x808000}, {u"Light Gray", 0xC0C0C0}, {u"Gray", 0x808080},
        {u"Red", 0x0000FF},       {u"Green", 0x00FF00},      {u"Yellow", 0x00FFFF},
        {u"Blue", 0xFF0000},      {u"Magenta", 0xFF00FF},    {u"Cyan", 0xFFFF00},
        {u"White", 0xFFFFFF},
    };
    return colors;
}

const std::vector<NamedColor>& ColorPageModel::systemColors()
{
    static const std::vector<NamedColor> colors = {
        {u"Scroll Bars", 0x80000000},
        {u"Desktop", 0x80000001},
        {u"Active Title Bar", 0x80000002},
        {u"Inactive Title Bar", 0x80000003},
        {u"Menu Bar", 0x80000004},
        {u"Window Background", 0x80000005},
        {u"Window Frame", 0x80000006},
        {u"Menu Text", 0x80000007},
        {u"Window Text", 0x80000008},
        {u"Active Title Bar Text", 0x80000009},
        {u"Active Border", 0x8000000A},
        {u"Inactive Border", 0x8000000B},
        {u"Application Workspace", 0x8000000C},
        {u"Highlight", 0x8000000D},
        {u"Highlight Text", 0x8000000E},
        {u"Button Face", 0x8000000F},
        {u"Button Shadow", 0x80000010},
        {u"Disabled Text", 0x80000011},
        {u"Button Text", 0x80000012},
        {u"Inactive Title Bar Text", 0x80000013},
        {u"Button Highlight", 0x80000014},
        {u"Button Dark Shadow", 0x80000015},
        {u"Button Light Shadow", 0x80000016},
        {u"ToolTip Text", 0x80000017},
        {u"ToolTip", 0x80000018},
    };
    return colors;
}

void ColorPageModel::setObjects(std::vector<ComPtr<IVeer>> controls)
{
    controls_ = std::move(controls);
    color_ = 0x80000008;
    if (!controls_.empty()) {
        OleColor color;
        if (succeeded(controls_.front()->get_ForeColor(&color)))
            color_ = color;
    }
    dirty_ = false;
}

void ColorPageModel::choose(OleColor color)
{
    color_ = color;
    dirty_ = true;
    if (onEdit)
        onEdit();
}

void ColorPageModel::apply()
{
    if (dirty_)
        for (const ComPtr<IVeer>& control : controls_)
            control->put_ForeColor(color_);
    dirty_ = false;
}

// --- the standard font page ------------------------------------------------

void FontPageModel::setObjects(std::vector<ComPtr<IVeer>> controls)
{
    controls_ = std::move(controls);
    choice_ = Choice();
    ComPtr<IFont> font;
    if (!controls_.empty() && succeeded(controls_.front()->get_Font(font.put())) && font) {
        font->get_Name(&choice_.name);
        font->get_Size(&choice_.size);
        font->get_Bold(&choice_.bold);
        font->get_Italic(&choice_.italic);
        font->get_Underline(&choice_.underline);
        font->get_Strikethrough(&choice_.strikethrough);
    }
    flags_ = 0;
}

void FontPageModel::touched(unsigned flag)
{
    flags_ |= flag;
    if (onEdit)
        onEdit();
}

void FontPageModel::editName(const std::u16string& name)
{
    choice_.name = name;
    touched(NameChanged);
}

void FontPageModel::editSize(std::int64_t size)
{
    if (size <= 0)
        return;
    choice_.size = size;
    touched(SizeChanged);
}

bool FontPageModel::editSizeText(const std::u16string& points)
{
    // Digits with at most one "." (never the locale's comma) and up to four decimals.
    std::int64_t whole = 0, fraction = 0;
    int decimals = 0;
    bool dot = false, digits = false;
    for (char16_t c : points) {
        if (c == u' ' && !digits && !dot)
            continue;
        if (c == u'.' && !dot) {
            dot = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return false;
        digits = true;
        if (dot) {
            if (++decimals > 4)
                return false;
            fraction = fraction * 10 + (c - u'0');
        } else {
            whole = whole * 10 + (c - u'0');
            if (whole > 1638)
                return false; // a font size is a 16-bit count of points
        }
    }
    if (!digits)
        return false;
    while (decimals++ < 4)
        fraction *= 10;
    const std::int64_t size = whole * 10000 + fraction;
    if (size <= 0)
        return false;
    editSize(size);
    return true;
}

void FontPageModel::editBold(bool on)
{
    choice_.bold = on;
    touched(BoldChanged);
}

void FontPageModel::editItalic(bool on)
{
    choice_.italic = on;
    touched(ItalicChanged);
}

void FontPageModel::editUnderline(bool on)
{
    choice_.underline = on;
    touched(UnderlineChanged);
}

void FontPageModel::editStrikethrough(bool on)
{
    choice_.strikethrough = on;
    touched(StrikeChanged);
}

void FontPageModel::apply()
{
    if (!flags_)
        return;
    for (const ComPtr<IVeer>& control : controls_) {
        ComPtr<IFont> font;
        if (succeeded(control->get_Font(font.put())) && font) {
            if (flags_ & NameChanged)
                font->put_Name(choice_.name);
            if (flags_ & SizeChanged)
                font->put_Size(choice_.size);
            if (flags_ & BoldChanged)
                font->put_Bold(choice_.bold);
            if (flags_ & ItalicChanged)
                font->put_Italic(choice_.italic);
            if (flags_ & UnderlineChanged)
                font->put_Underline(choice_.underline);
            if (flags_ & StrikeChanged)
                font->put_Strikethrough(choice_.strikethrough);
            continue;
        }
        FontDesc desc;
        desc.name = choice_.name;
        desc.size = choice_.size;
        desc.weight = choice_.bold ? 700 : 400;
        desc.italic = choice_.italic;
        desc.underline = choice_.underline;
        desc.strikethrough = choice_.strikethrough;
        ComPtr<IFont> made = StdFont::create(desc);
        control->putref_Font(made.get());
    }
    flags_ = 0;
}

std::u16string FontPageModel::sizeText(std::int64_t size)
{
    std::u16string text;
    const std::int64_t whole = size / 10000;
    std::int64_t fraction = size % 10000;
    for (char c : std::to_string(whole))
        text += static_cast<char16_t>(c);
    if (fraction) {
        text += u'.';
        int digits = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        std::string f = std::to_string(fraction);
        f.insert(0, static_cast<std::size_t>(digits) - f.size(), '0');
        for (char c : f)
            text += static_cast<char16_t>(c);
    }
    return text;
}

} // namespace veer::detail
