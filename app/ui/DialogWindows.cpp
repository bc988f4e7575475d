#include "model/Application.h"

#include "DialogWindows.h"

#include "CalcWindow.h"
#include "RainIntensityWindow.h"
#include "RainLibraryWindows.h"
#include "DrainedAreaWindow.h"
#include "SoilCoefWindow.h"

#include <QPointer>

#include <functional>
#include <memory>

namespace infil::ui {
namespace {

// Calls `make` once, when the dialog first opens.
void whenFirstOpened(model::Form* dialog, std::function<void()> make)
{
    if (!dialog)
        return;
    auto made = std::make_shared<bool>(false);
    dialog->observe([dialog, made, make = std::move(make)] {
        if (*made || !dialog->isOpen())
            return;
        *made = true;
        make();
    });
}

} // namespace

void createDialogWindows(model::Application& app, CalcWindow& mainWindow)
{
    // Each dialog's window is built when the dialog first opens: building all
    // of them at start took an eighth of the time to the first window, and
    // many runs never open some of them. The rain library's windows belong to
    // the rain window, the only one that opens them.
    QPointer<CalcWindow> main(&mainWindow);
    whenFirstOpened(app.form("frmIntDialog"), [&app, main] {
        if (!main)
            return;
        QWidget* rainWindow = RainIntensityWindow::create(app, main);
        createRainLibraryWindows(app, rainWindow ? rainWindow : static_cast<QWidget*>(main.data()));
    });
    whenFirstOpened(app.form("frmDialog"), [&app, main] {
        if (main)
            createDrainedAreaWindow(app, *main);
    });
    whenFirstOpened(app.form("frmCoefDialog"), [&app, main] {
        if (main)
            createSoilCoefWindow(app, *main);
    });
}

} // namespace infil::ui
