#pragma once
// The rain library's two windows, thin views of their models: the prompt for
// the source of typed values (model/RainSourceDialog) and the library's
// listing with its import, export and delete (model/RainLibraryDialog). Each
// is shown exactly while its model is open, over the window that opened it.

#include <QWidget>

namespace infil::model {
class Application;
class RainLibraryDialog;
class RainSourceDialog;
} // namespace infil::model

namespace infil::ui {

class Binder;
class GridView;

class RainSourceWindow : public QWidget {
    Q_OBJECT
public:
    RainSourceWindow(model::Application& app, model::RainSourceDialog& dialog, QWidget* owner);

private:
    model::RainSourceDialog& dialog_;
    Binder* binder_;
};

class RainLibraryWindow : public QWidget {
    Q_OBJECT
public:
    RainLibraryWindow(model::Application& app, model::RainLibraryDialog& dialog, QWidget* owner);
    GridView* grid() const { return grid_; }

private:
    model::RainLibraryDialog& dialog_;
    Binder* binder_;
    GridView* grid_ = nullptr;
};

// Creates the windows the application has models for, owned by `owner` (the
// rain dialog's window).
void createRainLibraryWindows(model::Application& app, QWidget* owner);

} // namespace infil::ui
