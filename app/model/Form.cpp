#include "Form.h"

namespace infil::model {

Form::Form(std::string name) : name_(std::move(name)) {}

void Form::setEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    notify();
}

void Form::setOpen(bool open)
{
    if (open_ == open)
        return;
    open_ = open;
    notify();
}

void Form::setFocus(Control* control)
{
    focus_ = control;
    notify();
}

Control* Form::find(std::string_view name, int index) const
{
    for (const auto& control : controls_)
        if (control->name() == name && control->index() == index)
            return control.get();
    return nullptr;
}

void Form::notify()
{
    for (const auto& observer : observers_)
        observer();
}

} // namespace infil::model
