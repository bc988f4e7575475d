#pragma once
// The rain intensity dialog frmIntDialog: a thin view of its model
// (RainIntensityDialog). It lays out the controls, binds them, shows the window
// exactly while the dialog is open, beside the main window, and puts the cell
// editor over the cell the model opened.

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;

namespace infil::model {
class Application;
class Control;
class RainIntensityDialog;
} // namespace infil::model

namespace infil::ui {

class Binder;
class GridView;

class RainIntensityWindow : public QWidget {
    Q_OBJECT
public:
    // The window of the application's frmIntDialog, owned by the main window;
    // nullptr when this build has no such dialog.
    static RainIntensityWindow* create(model::Application& app, QWidget* mainWindow);

    RainIntensityWindow(model::Application& app, model::RainIntensityDialog& dialog, QWidget* mainWindow);

    Binder& binder() const { return *binder_; }
    GridView* grid() const { return grid_; }
    QLineEdit* editor() const { return editor_; }
    QPlainTextEdit* help() const { return help_; }

private:
    // Pixels for a place given in the original window's twips.
    static QRect at(int left, int top, int width, int height);
    void mirrorForm();
    // Sizes the window for the type the desktop has now (at each opening).
    void fit();
    void placeEditor();

    model::RainIntensityDialog& dialog_;
    QWidget* mainWindow_;
    Binder* binder_;
    GridView* grid_ = nullptr;
    QLineEdit* editor_ = nullptr;
    QPlainTextEdit* help_ = nullptr;
    int editorOpenings_ = 0;
    const model::Control* lastFocus_ = nullptr;
    bool wasOpen_ = false;
};

} // namespace infil::ui
