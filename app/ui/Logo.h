#pragma once
// The program's own logo: a rain drop soaking into layered ground, drawn to
// whatever size the widget has.

#include <QWidget>

namespace infil::ui {

class Logo : public QWidget {
    Q_OBJECT
public:
    explicit Logo(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {120, 120}; }
    int heightForWidth(int width) const override { return width; }
    bool hasHeightForWidth() const override { return true; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace infil::ui
