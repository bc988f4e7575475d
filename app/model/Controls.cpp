#include "Controls.h"

#include "Form.h"
#include "NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <typeinfo>

namespace infil::model {

Control::Control(Form& form, std::string name, int index)
    : form_(form), name_(std::move(name)), index_(index)
{
}

std::string Control::key() const
{
    return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::setEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    notify();
}

void Control::setVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    notify();
}

void Control::setToolTip(std::string toolTip)
{
    if (toolTip_ == toolTip)
        return;
    toolTip_ = std::move(toolTip);
    notify();
}

bool Control::effectivelyEnabled() const
{
    for (const Control* c = this; c; c = c->parent())
        if (!c->enabled())
            return false;
    return form_.isOpen() && form_.enabled();
}

bool Control::effectivelyVisible() const
{
    for (const Control* c = this; c; c = c->parent())
        if (!c->visible())
            return false;
    return form_.isOpen();
}

void Control::adoptState(const Control& other)
{
    if (typeid(*this) != typeid(other) || name_ != other.name_ || index_ != other.index_)
        throw std::logic_error("cannot take over the state of " + other.key() + " into " + key());
    copyState(other);
    notify();
}

void Control::copyState(const Control& other)
{
    enabled_ = other.enabled_;
    visible_ = other.visible_;
    toolTip_ = other.toolTip_;
}

void CaptionedControl::copyState(const Control& other)
{
    Control::copyState(other);
    caption_ = static_cast<const CaptionedControl&>(other).caption_;
}

void TextBox::copyState(const Control& other)
{
    Control::copyState(other);
    const auto& box = static_cast<const TextBox&>(other);
    text_ = box.text_;
    readOnly_ = box.readOnly_;
    multiLine_ = box.multiLine_;
    background_ = box.background_;
}

void OptionButton::copyState(const Control& other)
{
    CaptionedControl::copyState(other);
    value_ = static_cast<const OptionButton&>(other).value_;
}

void CheckBox::copyState(const Control& other)
{
    CaptionedControl::copyState(other);
    checked_ = static_cast<const CheckBox&>(other).checked_;
}

void ComboBox::copyState(const Control& other)
{
    Control::copyState(other);
    const auto& list = static_cast<const ComboBox&>(other);
    items_ = list.items_;
    listIndex_ = list.listIndex_;
}

void Control::notify()
{
    for (const auto& observer : observers_)
        observer();
}

void CaptionedControl::setCaption(std::string caption)
{
    caption_ = std::move(caption);
    notify();
}

void TextBox::setText(const std::string& text)
{
    if (text == text_)
        return;
    text_ = text;
    notify();
    if (onChange)
        onChange();
}

void TextBox::mirror(const std::string& text)
{
    if (text == text_)
        return;
    text_ = text;
    notify();
}

void TextBox::setReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    notify();
}

void TextBox::setBackground(Background background)
{
    if (background_ == background)
        return;
    background_ = background;
    notify();
}

int OptionGroup::selectedIndex() const
{
    for (const OptionButton* option : options_)
        if (option->value())
            return option->index();
    return -1;
}

OptionButton::OptionButton(Form& form, std::string name, int index, OptionGroup& group)
    : CaptionedControl(form, std::move(name), index), group_(group)
{
    group_.add(*this);
}

void OptionButton::setValue(bool on)
{
    if (on == value_)
        return;
    if (on) {
        for (OptionButton* other : group_.options()) {
            if (other != this && other->value_) {
                other->value_ = false;
                other->notify();
            }
        }
    }
    value_ = on;
    notify();
    if (on && onClick)
        onClick();
}

void CheckBox::setChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    notify();
    if (onClick)
        onClick();
}

std::string ComboBox::text() const
{
    return listIndex_ >= 0 ? items_[static_cast<std::size_t>(listIndex_)] : std::string();
}

void ComboBox::clear()
{
    items_.clear();
    marks_.clear();
    listIndex_ = -1;
    notify();
}

void ComboBox::addItem(std::string item)
{
    items_.push_back(std::move(item));
    marks_.emplace_back();
    notify();
}

void ComboBox::setListIndex(int index)
{
    if (index < -1 || index >= static_cast<int>(items_.size()))
        return;
    listIndex_ = index;
    notify();
    if (index >= 0 && onClick)
        onClick();
}

bool ComboBox::selectText(const std::string& text)
{
    const auto it = std::find(items_.begin(), items_.end(), text);
    if (it == items_.end())
        return false;
    setListIndex(static_cast<int>(it - items_.begin()));
    return true;
}

const std::string& ComboBox::itemMark(int index) const
{
    static const std::string none;
    return index >= 0 && index < static_cast<int>(marks_.size()) ? marks_[static_cast<std::size_t>(index)] : none;
}

void ComboBox::setItemMark(int index, std::string mark)
{
    if (index < 0 || index >= static_cast<int>(marks_.size()) || marks_[static_cast<std::size_t>(index)] == mark)
        return;
    marks_[static_cast<std::size_t>(index)] = std::move(mark);
    notify();
}

UpDown::UpDown(Form& form, std::string name, int index, TextBox& buddy, int min, int max)
    : Control(form, std::move(name), index), buddy_(buddy), min_(min), max_(max)
{
}

bool UpDown::key(int keyCode)
{
    constexpr int kUp = 38;
    constexpr int kDown = 40;
    if (keyCode == kUp)
        up();
    else if (keyCode == kDown)
        down();
    return keyCode == kUp || keyCode == kDown;
}

bool UpDown::allows(const std::string& text) const
{
    // Counts round as whole numbers do (ties to even).
    const num::Typed typed = num::classify(text);
    const double count = std::nearbyint(typed.value);
    return typed.kind == num::Typed::Kind::Number && count >= min_ && count <= max_;
}

std::string UpDown::settled(const std::string& text, const std::string& fallback) const
{
    const num::Typed typed = num::classify(text);
    std::string count = fallback;
    if (typed.kind == num::Typed::Kind::Number && !std::isnan(typed.value))
        count = std::to_string(static_cast<int>(std::clamp(std::nearbyint(typed.value), double(min_), double(max_))));
    return count == text ? std::string() : count;
}

void UpDown::step(int delta)
{
    const double current = num::valueOf(buddy_.text());
    const int value = std::isfinite(current) ? static_cast<int>(std::lround(std::clamp(current, -1e6, 1e6)))
                                             : min_;
    const int next = std::clamp(value + delta, min_, max_);
    buddy_.setText(std::to_string(next));
}

} // namespace infil::model
