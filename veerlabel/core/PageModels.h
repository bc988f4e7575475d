#pragma once
// What the property pages decide, without their windows: the values a page
// shows, which fields the user touched, and what Apply writes to the edited
// controls. The Qt pages build the fields and forward the user's edits here.

#include <Veer12/Veer12.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace veer::detail {

// The edited objects that are controls of this kind, in the given order.
std::vector<ComPtr<IVeer>> controlsOf(std::uint32_t count, IUnknown* const* objects);

// The page VeerPage: caption, angle, alignment, spacing and back style.
class VeerPageModel {
public:
    // PageChangeFlags: the fields touched since the last apply.
    enum Change : unsigned {
        CaptionChanged = 0x01,
        AngleChanged = 0x02,
        AlignmentChanged = 0x04,
        SpacingChanged = 0x08,
        BackStyleChanged = 0x10,
    };
    static constexpr int kAngleMin = 0;
    static constexpr int kAngleMax = 359; // the angle spinner wraps around
    static constexpr int kSpacingMin = 120;
    static constexpr int kSpacingMax = 5760;
    static const std::u16string kAlignmentNames[6]; // list index = tagALIGN value

    // Shows the first control's values (a spinner keeps its value in range,
    // so a spacing outside 120..5760 shows at the nearer end) and clears the
    // change flags. The page keeps a reference on every control.
    void setObjects(std::vector<ComPtr<IVeer>> controls);
    const std::vector<ComPtr<IVeer>>& objects() const { return controls_; }

    const std::u16string& captionText() const { return caption_; }
    int angle() const { return angle_; }
    int alignment() const { return alignment_; } // -1 when none is selected
    int spacing() const { return spacing_; }
    bool opaque() const { return opaque_; }

    // The user's edits: each sets its flag, marks the page dirty and calls onEdit.
    void editCaption(const std::u16string& text);
    void editAngle(int angle);
    void selectAlignment(int index);
    void editSpacing(int spacing);
    void clickOpaque(bool checked);

    unsigned changeFlags() const { return flags_; }
    bool dirty() const { return dirty_; }

    // Writes the touched fields to every control, in the order caption, angle,
    // spacing, alignment, back style. A value a control refuses stays as it
    // was there; refusals are not reported. Then the page is clean.
    void apply();

    std::function<void()> onEdit;

    // The caption as the multi-line edit shows it (lines end in LF; empty when
    // absent), and back (lines end in CR LF; absent when empty).
    static std::u16string editTextFromCaption(const std::optional<std::u16string>& caption);
    static std::optional<std::u16string> captionFromEditText(const std::u16string& text);

private:
    void touched(unsigned flag);

    std::vector<ComPtr<IVeer>> controls_;
    std::u16string caption_;
    int angle_ = 0;
    int alignment_ = -1;
    int spacing_ = kSpacingMin;
    bool opaque_ = false;
    unsigned flags_ = 0;
    bool dirty_ = false;
};

// The standard colour page, for ForeColor.
struct NamedColor {
    const char16_t* name;
    OleColor color;
};

class ColorPageModel {
public:
    // The standard colours and the platform's system colours by name.
    static const std::vector<NamedColor>& standardColors();
    static const std::vector<NamedColor>& systemColors();

    void setObjects(std::vector<ComPtr<IVeer>> controls);
    OleColor color() const { return color_; }
    void choose(OleColor color);
    bool dirty() const { return dirty_; }
    // Puts ForeColor on every control when the user chose a colour.
    void apply();

    std::function<void()> onEdit;

private:
    std::vector<ComPtr<IVeer>> controls_;
    OleColor color_ = 0x80000008;
    bool dirty_ = false;
};

// The standard font page, for Font.
class FontPageModel {
public:
    enum Change : unsigned {
        NameChanged = 0x01,
        SizeChanged = 0x02,
        BoldChanged = 0x04,
        ItalicChanged = 0x08,
        UnderlineChanged = 0x10,
        StrikeChanged = 0x20,
    };
    struct Choice {
        std::u16string name = u"Arial";
        std::int64_t size = 240000; // ten-thousandths of a point
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikethrough = false;
    };

    // Shows the first control's font (the default font when it has none).
    void setObjects(std::vector<ComPtr<IVeer>> controls);
    const Choice& choice() const { return choice_; }

    void editName(const std::u16string& name);
    void editSize(std::int64_t size); // refused (false) when not above 0
    bool editSizeText(const std::u16string& points); // "8.25"; false when not a size
    void editBold(bool on);
    void editItalic(bool on);
    void editUnderline(bool on);
    void editStrikethrough(bool on);

    unsigned changeFlags() const { return flags_; }
    bool dirty() const { return flags_ != 0; }

    // Changes the touched properties inside each control's font object (the
    // control hears of it and redraws); a control without a font gets a new
    // one made from the whole choice.
    void apply();

    std::function<void()> onEdit;

    // Points as text, with "." and no more decimals than needed.
    static std::u16string sizeText(std::int64_t size);

private:
    void touched(unsigned flag);

    std::vector<ComPtr<IVeer>> controls_;
    Choice choice_;
    unsigned flags_ = 0;
};

} // namespace veer::detail
