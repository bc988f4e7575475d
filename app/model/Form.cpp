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

const std::vector<Row>& Form::rows(const Control* container) const
{
    static const std::vector<Row> none;
    const auto it = rows_.find(container);
    return it == rows_.end() ? none : it->second;
}

Row& Form::addRow(const Control* container, Row row)
{
    return rows_[container].emplace_back(std::move(row));
}

void Form::notify()
{
    for (std::size_t i = 0; i < observers_.size(); ++i)
        observers_[i]();
}

} // namespace infil::model
