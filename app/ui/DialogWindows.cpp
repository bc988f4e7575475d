#include "model/Application.h"

#include "DialogWindows.h"

#include "CalcWindow.h"
#include "RainIntensityWindow.h"
#include "DrainedAreaWindow.h"
#include "SoilCoefWindow.h"

namespace infil::ui {

void createDialogWindows(model::Application& app, CalcWindow& mainWindow)
{
    // Each dialog's window is created here as it is built.
    RainIntensityWindow::create(app, &mainWindow);
    createDrainedAreaWindow(app, mainWindow);
    createSoilCoefWindow(app, mainWindow);
}

} // namespace infil::ui
