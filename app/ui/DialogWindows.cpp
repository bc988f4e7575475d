#include "model/Application.h"

#include "DialogWindows.h"

#include "CalcWindow.h"
#include "RainIntensityWindow.h"
#include "RainLibraryWindows.h"
#include "DrainedAreaWindow.h"
#include "SoilCoefWindow.h"

namespace infil::ui {

void createDialogWindows(model::Application& app, CalcWindow& mainWindow)
{
    // Each dialog's window is created here as it is built.
    QWidget* rainWindow = RainIntensityWindow::create(app, &mainWindow);
    createRainLibraryWindows(app, rainWindow ? rainWindow : static_cast<QWidget*>(&mainWindow));
    createDrainedAreaWindow(app, mainWindow);
    createSoilCoefWindow(app, mainWindow);
}

} // namespace infil::ui
