#pragma once
// The drained-area editor frmDialog: a thin view of its model
// (model/DrainedAreaDialog). It lays the controls out in the original window's
// arrangement, binds them, keeps the cell editor over the cell it edits and
// shows the window exactly while the model is open. Esc closes it like its
// close box.

#include <QWidget>

class QLineEdit;

namespace infil::model {
class Application;
class DrainedAreaDialog;
} // namespace infil::model

namespace infil::ui {

class Binder;
class GridView;

class DrainedAreaWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own (not a child of the main window, which the dialog
    // disables while it is open); it opens centred over `mainWindow`.
    DrainedAreaWindow(model::Application& app, model::DrainedAreaDialog& dialog, QWidget* mainWindow);

    GridView* runoffGrid() const { return runoff_; }
    GridView* entryGrid() const { return entries_; }
    QLineEdit* cellEditor() const { return editor_; }

private:
    void mirrorForm();
    // Sizes the table's type and the window for the screen and the type the
    // desktop has now (at each opening).
    void fit();
    // Widens the boxes for the type the window has.
    void fitBoxes();
    void placeEditor();

    model::DrainedAreaDialog& dialog_;
    QWidget* mainWindow_;
    Binder* binder_;
    GridView* runoff_ = nullptr;
    GridView* entries_ = nullptr;
    QLineEdit* editor_ = nullptr;
    QLineEdit* coefficient_ = nullptr;
    QLineEdit* area_ = nullptr;
    QLineEdit* sum_ = nullptr;
    int editorOpenings_ = 0;
    bool wasOpen_ = false;
    const void* lastFocus_ = nullptr;
};

// Creates the editor's window when the application has the dialog; it lives
// as long as the main window.
void createDrainedAreaWindow(model::Application& app, QWidget& mainWindow);

} // namespace infil::ui
