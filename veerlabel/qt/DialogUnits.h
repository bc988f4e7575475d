#pragma once
// Dialog units: sizes relative to the dialog's font, a quarter of its average
// character width across and an eighth of its height down, so that a dialog
// laid out in them keeps its proportions with any font.

#include <QFont>
#include <QFontMetrics>
#include <QSize>

namespace veer::detail {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font)
    {
        const QFontMetrics fm(font);
        static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        baseX_ = (fm.horizontalAdvance(alphabet) / 26 + 1) / 2;
        baseY_ = fm.height();
    }
    int x(int units) const { return (units * baseX_ + 2) / 4; }
    int y(int units) const { return (units * baseY_ + 4) / 8; }
    QSize size(int w, int h) const { return {x(w), y(h)}; }

private:
    int baseX_ = 6;
    int baseY_ = 13;
};

} // namespace veer::detail
