#pragma once
// The soil coefficient picker frmCoefDialog: a thin view of its model
// (model/SoilCoefDialog), shown exactly while the model is open, at its place
// beside the main window's top left corner. Esc closes it like its close box;
// Enter presses OK once a soil is picked.

#include <QWidget>

namespace infil::model {
class Application;
class SoilCoefDialog;
} // namespace infil::model

namespace infil::ui {

class Binder;
class GridView;

class SoilCoefWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own (the main window is disabled while it is open).
    SoilCoefWindow(model::Application& app, model::SoilCoefDialog& dialog, QWidget* mainWindow);

    GridView* grid() const { return grid_; }

private:
    void mirrorForm();
    // Sizes the window for the type the desktop has now (at each opening).
    void fit();

    model::SoilCoefDialog& dialog_;
    QWidget* mainWindow_;
    Binder* binder_;
    GridView* grid_ = nullptr;
    bool wasOpen_ = false;
};

// Creates the picker's window when the application has the dialog; it lives
// as long as the main window.
void createSoilCoefWindow(model::Application& app, QWidget& mainWindow);

} // namespace infil::ui
