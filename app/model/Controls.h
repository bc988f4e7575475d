#pragma once
// The controls of the windows as plain objects: text boxes, buttons, option
// buttons, check boxes, lists, up-down controls, labels and containers. A form
// model owns them and wires their handlers; a Qt view mirrors them; the batch
// mode drives them. Nothing here knows Qt.
//
// Setting a control's state from code behaves as in the original windows, since
// the design relies on it: a different text runs the box's change handler before
// setText returns; switching an option on runs its click handler; a check box
// that changes runs its click handler; choosing a list entry runs the list's
// click handler (also when the entry was already chosen).

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace infil::model {

class Form;

class Control {
public:
    Control(Form& form, std::string name, int index);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    int index() const { return index_; } // -1: not part of a control array
    // "txtSoucBezp(2)", or the bare name outside a control array.
    std::string key() const;
    Form& form() const { return form_; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    // What the control is for, shown when the pointer rests on it.
    const std::string& toolTip() const { return toolTip_; }
    void setToolTip(std::string toolTip);

    // The container the control sits in (a pane, a panel, a frame).
    Control* parent() const { return parent_; }
    void setParent(Control* parent) { parent_ = parent; }
    // Whether the user can reach the control: it, its containers and its window
    // are enabled (visible) and, for a dialog, the window is open.
    bool effectivelyEnabled() const;
    bool effectivelyVisible() const;

    // Views register here to mirror the control; called after every change.
    using Observer = std::function<void()>;
    void observe(Observer observer) { observers_.push_back(std::move(observer)); }

    // Takes over the state of the same control in another copy of its window
    // (a project is opened into a fresh copy, then taken over whole). No
    // handler runs; views are told.
    void adoptState(const Control& other);

protected:
    void notify();
    // What adoptState copies; each kind adds its own state.
    virtual void copyState(const Control& other);

private:
    Form& form_;
    std::string name_;
    int index_;
    bool enabled_ = true;
    bool visible_ = true;
    std::string toolTip_;
    Control* parent_ = nullptr;
    std::vector<Observer> observers_;
};

// A pane, panel, frame or picture that holds other controls.
class Container : public Control {
public:
    using Control::Control;
};

// A control showing a caption, with a click handler: a label, a button, an
// option button, a check box. Each kind decides when the handler runs.
class CaptionedControl : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    // The letter that, with Alt, reaches the control from the keyboard; it is
    // underlined in the caption, whose text stays as it is. 0: none.
    char mnemonic() const { return mnemonic_; }
    void setMnemonic(char letter) { mnemonic_ = letter; }
    std::function<void()> onClick;

protected:
    void copyState(const Control& other) override;

private:
    std::string caption_;
    char mnemonic_ = 0;
};

class Label : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    // Links are labels that react to a click.
    void click()
    {
        if (onClick)
            onClick();
    }
};

class TextBox : public Control {
public:
    enum class Background { Window, ButtonFace };

    using Control::Control;

    const std::string& text() const { return text_; }
    // Replaces the text, as typing or code does; a different text runs onChange
    // before this returns.
    void setText(const std::string& text);
    // Shows a text without running onChange: for a box that shows a field
    // another box has just set.
    void mirror(const std::string& text);

    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);
    Background background() const { return background_; }
    void setBackground(Background background);
    bool multiLine() const { return multiLine_; }
    void setMultiLine(bool multiLine) { multiLine_ = multiLine; }

    std::function<void()> onChange;
    std::function<void()> onGotFocus;
    std::function<void()> onLostFocus;
    // A key pressed in the box (Windows key codes); true when the box used it,
    // so that the key goes no further (Esc closing its window, say).
    std::function<bool(int keyCode)> onKeyDown;

    void gotFocus()
    {
        if (onGotFocus)
            onGotFocus();
    }
    void lostFocus()
    {
        if (onLostFocus)
            onLostFocus();
    }
    bool keyDown(int keyCode) { return onKeyDown && onKeyDown(keyCode); }

protected:
    void copyState(const Control& other) override;

private:
    std::string text_;
    bool readOnly_ = false;
    bool multiLine_ = false;
    Background background_ = Background::Window;
};

class Button : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    void click()
    {
        if (onClick)
            onClick();
    }
};

class OptionButton;

// Option buttons of one group switch each other off.
class OptionGroup {
public:
    void add(OptionButton& option) { options_.push_back(&option); }
    const std::vector<OptionButton*>& options() const { return options_; }
    // The index of the option that is on, -1 when none is.
    int selectedIndex() const;

private:
    std::vector<OptionButton*> options_;
};

class OptionButton : public CaptionedControl {
public:
    OptionButton(Form& form, std::string name, int index, OptionGroup& group);

    bool value() const { return value_; }
    // On: switches the rest of the group off and runs onClick; nothing happens
    // when it is already on. Off: no handler runs.
    void setValue(bool on);
    // The user's click: the same as switching it on.
    void click() { setValue(true); }

protected:
    void copyState(const Control& other) override;

private:
    OptionGroup& group_;
    bool value_ = false;
};

class CheckBox : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    bool checked() const { return checked_; }
    // A change runs onClick, whether the user or the program made it.
    void setChecked(bool checked);
    void click() { setChecked(!checked_); }

protected:
    void copyState(const Control& other) override;

private:
    bool checked_ = false;
};

class ComboBox : public Control {
public:
    using Control::Control;

    const std::vector<std::string>& items() const { return items_; }
    int listIndex() const { return listIndex_; } // -1: nothing chosen
    std::string text() const;

    void clear();
    void addItem(std::string item);
    // Chooses an entry (running onClick, also for the entry already chosen);
    // -1 clears the choice without a handler.
    void setListIndex(int index);
    // Chooses the entry with this text; false (and nothing runs) if there is none.
    bool selectText(const std::string& text);

    // A note shown beside an entry (the stations that have data); empty: none.
    // The entry's text, and so what choosing it does, stays the same.
    const std::string& itemMark(int index) const;
    void setItemMark(int index, std::string mark);

    std::function<void()> onClick;
    std::function<void()> onGotFocus;
    void gotFocus()
    {
        if (onGotFocus)
            onGotFocus();
    }

protected:
    void copyState(const Control& other) override;

private:
    std::vector<std::string> items_;
    std::vector<std::string> marks_;
    int listIndex_ = -1;
};

// An up-down control stepping the number in its buddy box within its limits.
// The buddy may also be typed into: the arrow keys in it step it as the arrows
// do, and a typed count is brought within the limits through the same change
// handler.
class UpDown : public Control {
public:
    UpDown(Form& form, std::string name, int index, TextBox& buddy, int min, int max);
    int min() const { return min_; }
    int max() const { return max_; }
    TextBox& buddy() const { return buddy_; }
    // One press of the up (down) arrow: the buddy's number plus (minus) one,
    // kept within the limits; the buddy's change handler runs when its text changes.
    void up() { step(+1); }
    void down() { step(-1); }
    // The up and down arrow keys pressed in the buddy; true for those two.
    bool key(int keyCode);
    // Whether the buddy's text is a number that rounds to a count within the
    // limits, so that its field may take it.
    bool allows(const std::string& text) const;
    // The buddy's text as a count within the limits: the nearest whole number,
    // the nearest limit for one beyond them, `fallback` for a text that is no
    // number. Empty when the text is already that.
    std::string settled(const std::string& text, const std::string& fallback) const;

private:
    void step(int delta);
    TextBox& buddy_;
    int min_;
    int max_;
};

} // namespace infil::model
