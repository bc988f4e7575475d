#pragma once
// Paints the control with QPainter.

#include "../core/Canvas.h"

#include <QFont>
#include <QPalette>

class QPainter;

namespace veer::detail {

class QtDeviceFont final : public DeviceFont {
public:
    QtDeviceFont(const QFont& f, int escapement) : font(f), escapement(escapement) {}
    QFont font;
    int escapement; // tenths of a degree, counter-clockwise
};

// The QFont a logical-font description stands for.
QFont qfontFromLogFont(const LogFont& lf);

class QtCanvas final : public Canvas {
public:
    QtCanvas(QPainter& painter, const QPalette& palette) : painter_(painter), palette_(palette) {}

    const void* fontKind() const override;
    void fill(const Rect& r, OleColor color) override;
    void frame(const Rect& r) override;
    std::unique_ptr<DeviceFont> makeFont(const LogFont& lf) override;
    int textHeight(const DeviceFont& font) override;
    void drawLine(const DeviceFont* font, Point at, unsigned flags, OleColor color, std::u16string_view text,
                  const Rect& clip) override;

private:
    QPainter& painter_;
    QPalette palette_;
};

} // namespace veer::detail
