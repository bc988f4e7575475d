#include "SelectionGuide.h"

#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>

#include <algorithm>

namespace infil::ui {
namespace {

const char* const kTitle = "Vodítko k výběru systému infilování";
const char* const kColumns[] = {"infilování", "akumulace", "přetok"};
const char* const kRows[] = {
    "plošné infilování",          "infilování v průlehu",       "kombinace průlehu a rýhy",
    "vícesložkový systém",        "infilování rýhové a trubní", "infilovací nádrže",
    "šachtové infilování",
};
constexpr int kRowCount = 7;
// The texts of the three rotated captions, only to reserve their room.
const char* const kCaptionTexts[] = {"hodně", "Vhodných ploch k dispozici", "málo"};
const char* const kHigh = "vysoká";
const char* const kLow = "nízká";
const char* const kAxisCaption = "infilovací schopnost podloží";
const char* const kToolTip = "Vodítko k výběru systému infilování podle toho, kolik vhodných ploch je k dispozici "
                             "(svisle), a podle infilovací schopnosti podloží (vodorovně)";

constexpr int kMargin = 6;

QString tr8(const char* text) { return QString::fromUtf8(text); }

QFont boldOf(QFont font)
{
    font.setBold(true);
    return font;
}

// A line with a filled arrow head at its end.
void drawArrow(QPainter& p, const QLine& line, int head)
{
    p.drawLine(line);
    const QPointF end = line.p2();
    const QPointF start = line.p1();
    QLineF direction(end, start);
    direction.setLength(head);
    QLineF left = direction, right = direction;
    left.setAngle(direction.angle() + 25);
    right.setAngle(direction.angle() - 25);
    QPainterPath path;
    path.moveTo(end);
    path.lineTo(left.p2());
    path.lineTo(right.p2());
    path.closeSubpath();
    p.fillPath(path, p.pen().color());
}

} // namespace

SelectionGuide::SelectionGuide(QWidget* parent) : QWidget(parent)
{
    for (int i = 0; i < kCaptions; ++i) {
        hosts_[static_cast<std::size_t>(i)] = new QWidget(this);
        hosts_[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("guideCaption%1").arg(i));
    }
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    // The turned captions have none of their own, so they show this one too.
    setToolTip(tr8(kToolTip));
}

QWidget* SelectionGuide::captionHost(int index) const
{
    return index >= 0 && index < kCaptions ? hosts_[static_cast<std::size_t>(index)] : nullptr;
}

QRect SelectionGuide::captionRect(int index) const
{
    return index >= 0 && index < kCaptions ? geometry().captions[static_cast<std::size_t>(index)] : QRect();
}

SelectionGuide::Geometry SelectionGuide::geometry() const
{
    const QFontMetrics fm(font());
    const QFontMetrics bold(boldOf(font()));
    const int lh = fm.height();

    const int titleHeight = bold.height() + 8;
    const int captionColumn = lh + 8; // one rotated line
    const int arrowColumn = lh + 8;   // "hodně", the arrow, "málo"
    int rowText = 0;
    for (const char* row : kRows)
        rowText = std::max(rowText, fm.horizontalAdvance(tr8(row)));
    rowText += 14;
    int column = 0;
    for (const char* head : kColumns)
        column = std::max(column, fm.horizontalAdvance(tr8(head)));
    column += 16;
    const int headerHeight = lh + 8;
    const int endLength0 = fm.horizontalAdvance(tr8(kCaptionTexts[0])) + 10;
    const int endLength2 = fm.horizontalAdvance(tr8(kCaptionTexts[2])) + 10;
    // The table is at least as tall as the rotated captions are long.
    const int minTable = std::max({headerHeight + kRowCount * (lh + 6),
                                   bold.horizontalAdvance(tr8(kCaptionTexts[1])) + 16,
                                   endLength0 + endLength2 + 40});
    const int axisHeight = (lh + 8) + (lh + 4);

    const int left = kMargin + captionColumn + arrowColumn;
    const int fixedWidth = left + rowText + kMargin;
    const int fixedHeight = kMargin + titleHeight + 6 + axisHeight + kMargin;

    Geometry g;
    g.total = QSize(fixedWidth + 3 * column, fixedHeight + minTable);

    // Extra room widens the columns and heightens the rows.
    const int columnWidth = std::max(column, (width() - fixedWidth) / 3);
    const int tableHeight = std::max(minTable, height() - fixedHeight);
    g.rowHeight = (tableHeight - headerHeight) / kRowCount;
    g.columnWidth = columnWidth;

    const int top = kMargin + titleHeight;
    g.table = QRect(left, top, rowText + 3 * columnWidth, headerHeight + kRowCount * g.rowHeight);
    g.headerBottom = top + headerHeight;
    g.firstColumn = left + rowText;
    g.title = QRect(kMargin, kMargin, std::max(width(), g.total.width()) - 2 * kMargin, titleHeight);

    const int arrowX = kMargin + captionColumn;
    g.captions[1] = QRect(kMargin, g.table.top(), captionColumn, g.table.height());
    g.captions[0] = QRect(arrowX, g.table.top(), arrowColumn, endLength0);
    g.captions[2] = QRect(arrowX, g.table.bottom() + 1 - endLength2, arrowColumn, endLength2);
    const int arrowMid = arrowX + arrowColumn / 2;
    g.verticalArrow = QLine(arrowMid, g.captions[0].bottom() + 6, arrowMid, g.captions[2].top() - 6);

    const int axisTop = g.table.bottom() + 1 + 6;
    const int highWidth = fm.horizontalAdvance(tr8(kHigh)) + 4;
    const int lowWidth = fm.horizontalAdvance(tr8(kLow)) + 4;
    g.high = QRect(g.firstColumn, axisTop, highWidth, lh + 8);
    g.low = QRect(g.table.right() + 1 - lowWidth, axisTop, lowWidth, lh + 8);
    const int axisY = axisTop + (lh + 8) / 2;
    g.horizontalArrow = QLine(g.high.right() + 8, axisY, g.low.left() - 8, axisY);
    g.axisCaption = QRect(g.firstColumn, axisTop + lh + 8, g.table.right() + 1 - g.firstColumn, lh + 4);
    return g;
}

QSize SelectionGuide::minimumSizeHint() const { return geometry().total; }

QSize SelectionGuide::sizeHint() const
{
    const QSize minimum = geometry().total;
    return {minimum.width() + 40, minimum.height() + 28};
}

void SelectionGuide::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const Geometry g = geometry();
    for (int i = 0; i < kCaptions; ++i)
        hosts_[static_cast<std::size_t>(i)]->setGeometry(g.captions[static_cast<std::size_t>(i)]);
}

void SelectionGuide::paintEvent(QPaintEvent*)
{
    const Geometry g = geometry();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPalette& pal = palette();
    const QColor text = pal.color(QPalette::WindowText);
    const QColor grid = pal.color(QPalette::Mid);

    // The picture's frame.
    p.setPen(grid);
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    p.setPen(text);
    p.setFont(boldOf(font()));
    p.drawText(g.title, Qt::AlignCenter, tr8(kTitle));
    p.setFont(font());

    // The table: column heads, row texts and the lines between them.
    const QRectF table = QRectF(g.table).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(text, 1));
    p.drawRect(table);
    p.drawLine(QPointF(table.left(), g.headerBottom + 0.5), QPointF(table.right(), g.headerBottom + 0.5));
    for (int c = 0; c < 3; ++c) {
        const int x = g.firstColumn + c * g.columnWidth;
        p.setPen(QPen(c == 0 ? text : grid, 1));
        p.drawLine(QPointF(x + 0.5, table.top()), QPointF(x + 0.5, table.bottom()));
        p.setPen(text);
        p.drawText(QRect(x, g.table.top(), g.columnWidth, g.headerBottom - g.table.top()), Qt::AlignCenter,
                   tr8(kColumns[c]));
    }
    for (int r = 0; r < kRowCount; ++r) {
        const int y = g.headerBottom + r * g.rowHeight;
        if (r > 0) {
            p.setPen(QPen(grid, 1));
            p.drawLine(QPointF(table.left(), y + 0.5), QPointF(table.right(), y + 0.5));
        }
        p.setPen(text);
        p.drawText(QRect(g.table.left() + 7, y, g.firstColumn - g.table.left() - 7, g.rowHeight),
                   Qt::AlignVCenter | Qt::AlignLeft, tr8(kRows[r]));
    }

    // The axes: the vertical arrow between the places of "hodně" and "málo", the
    // horizontal one from "vysoká" to "nízká" with its caption below.
    p.setPen(QPen(text, 1.5));
    const int head = std::max(6, fontMetrics().height() / 2);
    drawArrow(p, g.verticalArrow, head);
    drawArrow(p, g.horizontalArrow, head);
    p.setPen(text);
    p.drawText(g.high, Qt::AlignVCenter | Qt::AlignLeft, tr8(kHigh));
    p.drawText(g.low, Qt::AlignVCenter | Qt::AlignRight, tr8(kLow));
    p.drawText(g.axisCaption, Qt::AlignCenter, tr8(kAxisCaption));
}

} // namespace infil::ui
