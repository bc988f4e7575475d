#pragma once
// A window's model: owns its controls, knows whether it is open and enabled, and
// finds controls by name for the batch mode and the views.

#include "Controls.h"
#include "Layout.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace infil::model {

class Form {
public:
    explicit Form(std::string name);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }

    // A dialog is open between its load and its unload; the main window always is.
    bool isOpen() const { return open_; }
    // Disabled while one of its dialogs is open: the user cannot reach its controls.
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // The window's close box. Dialogs override it with their unload steps.
    virtual void close() { setOpen(false); }

    // The control of that name and index (-1 outside control arrays), or nullptr.
    Control* find(std::string_view name, int index = -1) const;
    // Every control in the order the form created them.
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

    // The rows of a container as the window lays them out, top to bottom;
    // nullptr stands for the controls outside any container. Empty when the form
    // declares no rows for it.
    const std::vector<Row>& rows(const Control* container) const;

    // The control that should have the keyboard focus (views mirror it).
    Control* focusTarget() const { return focus_; }
    void setFocus(Control* control);

    // Views register here to mirror the window (open, enabled, focus, and any
    // form-level state a subclass announces). An observer may register others
    // (a view built when its dialog first opens); they are called in the same
    // round.
    using Observer = std::function<void()>;
    void observe(Observer observer) { observers_.push_back(std::move(observer)); }

protected:
    void setOpen(bool open);
    // Appends a row to a container's layout.
    Row& addRow(const Control* container, Row row);
    std::vector<Row>& rowsOf(const Control* container) { return rows_[container]; }
    void notify();

    template <typename T, typename... Args>
    T& add(std::string name, int index, Control* parent, Args&&... args)
    {
        static_assert(std::is_base_of_v<Control, T>);
        auto control = std::make_unique<T>(*this, std::move(name), index, std::forward<Args>(args)...);
        control->setParent(parent);
        T& ref = *control;
        controls_.push_back(std::move(control));
        return ref;
    }

private:
    std::string name_;
    bool open_ = false;
    bool enabled_ = true;
    Control* focus_ = nullptr;
    std::vector<std::unique_ptr<Control>> controls_;
    std::map<const Control*, std::vector<Row>> rows_;
    std::deque<Observer> observers_; // stays in place while it grows
};

} // namespace infil::model
