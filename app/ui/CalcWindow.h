#pragma once
// The main window frmCalc: a thin view of the main window's model.

#include <QMainWindow>

class QLabel;
class QTabWidget;
class QTimer;

namespace infil::ui {

class CalcWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CalcWindow(QWidget* parent = nullptr);

private:
    void refreshClock();

    QTabWidget* tabs_ = nullptr;
    QLabel* lblTime_ = nullptr;
    QTimer* timer_ = nullptr;
};

} // namespace infil::ui
