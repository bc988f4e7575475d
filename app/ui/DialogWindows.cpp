#include "model/Application.h"

#include "DialogWindows.h"

#include "CalcWindow.h"

namespace infil::ui {

void createDialogWindows(model::Application&, CalcWindow&)
{
    // Each dialog's window is created here as it is built.
}

} // namespace infil::ui
