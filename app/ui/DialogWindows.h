#pragma once
// Creates the Qt windows of the main window's dialogs, each when its dialog first
// opens. Each binds to its dialog's model and shows exactly while that dialog is
// open.

namespace infil::model {
class Application;
}

namespace infil::ui {

class CalcWindow;

void createDialogWindows(model::Application& app, CalcWindow& mainWindow);

} // namespace infil::ui
