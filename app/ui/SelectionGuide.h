#pragma once
// The selection guide on the "Výpočet" tab: a fixed diagram that helps the user
// choose a technology (the systems by the area they need, against the
// permeability of the subsoil). Nothing in it reacts to input.
//
// Its vertical axis is captioned by three rotated labels that other code places
// here: captionHost(i) is an empty child widget at the place of caption i, kept
// in place as the guide resizes:
//   0  "hodně"                       top end of the vertical arrow
//   1  "Vhodných ploch k dispozici"  beside the arrow, over its whole length (bold)
//   2  "málo"                        bottom end of the vertical arrow

#include <QRect>
#include <QWidget>

#include <array>

namespace infil::ui {

class SelectionGuide : public QWidget {
    Q_OBJECT
public:
    explicit SelectionGuide(QWidget* parent = nullptr);

    static constexpr int kCaptions = 3;
    QWidget* captionHost(int index) const;
    QRect captionRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Where everything goes, from the widget's size and fonts.
    struct Geometry {
        QRect title;
        std::array<QRect, kCaptions> captions;
        QLine verticalArrow;
        QRect table;       // header row and the rows
        int headerBottom;  // y of the line under the column heads
        int rowHeight;
        int firstColumn;   // x where the three columns begin
        int columnWidth;
        QLine horizontalArrow;
        QRect high, low;   // "vysoká", "nízká"
        QRect axisCaption; // "infilovací schopnost podloží"
        QSize total;
    };
    Geometry geometry() const;

    std::array<QWidget*, kCaptions> hosts_{};
};

} // namespace infil::ui
