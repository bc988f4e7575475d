#include "GridView.h"

#include "NumberFormat.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace infil::ui {

using model::Grid;

int twipsToPixels(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

namespace {

constexpr int kPictureSize = 16;
constexpr int kTextMargin = 3;

Qt::Alignment alignmentOf(Grid::Align align, const std::string& text)
{
    switch (align) {
    case Grid::Align::Left: return Qt::AlignLeft | Qt::AlignVCenter;
    case Grid::Align::Center: return Qt::AlignHCenter | Qt::AlignVCenter;
    case Grid::Align::General: break;
    }
    // Numbers to the right, as a spreadsheet shows them.
    return (num::convert(text) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

// Draws text, picture and the frame of the current cell itself, so the look does
// not depend on the style's idea of selection (the grid has none).
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(GridView* view) : QStyledItemDelegate(view), view_(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool fixed = index.data(GridView::FixedRole).toBool();
        const bool enabled = option.state & QStyle::State_Enabled;
        const QPalette::ColorGroup group = enabled ? QPalette::Normal : QPalette::Disabled;
        painter->save();
        painter->fillRect(option.rect, option.palette.brush(group, fixed ? QPalette::Button : QPalette::Base));

        const QRect textRect = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
        const auto align = static_cast<Qt::Alignment>(index.data(Qt::TextAlignmentRole).toInt());
        const QString text =
            option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textRect.width());
        painter->setPen(option.palette.color(group, QPalette::Text));
        painter->setFont(option.font);
        painter->drawText(textRect, static_cast<int>(align), text);

        const auto picture = static_cast<Grid::Picture>(index.data(GridView::PictureRole).toInt());
        if (picture != Grid::Picture::None) {
            const QPixmap pixmap = GridView::picture(picture);
            QRect target(0, 0, kPictureSize, kPictureSize);
            target.moveCenter(option.rect.center());
            painter->drawPixmap(target, pixmap);
        }

        if (isCurrent(index)) {
            QPen pen(option.palette.color(group, QPalette::Highlight));
            pen.setStyle(view_->hasFocus() ? Qt::SolidLine : Qt::DotLine);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
        }
        painter->restore();
    }

private:
    bool isCurrent(const QModelIndex& index) const
    {
        const Grid& grid = view_->grid();
        if (grid.col() != index.column())
            return false;
        const int first = index.row() + 1;
        const int span = std::max(1, view_->rowSpan(index.row(), index.column()));
        return grid.row() >= first && grid.row() < first + span;
    }

    GridView* view_;
};

} // namespace

QPixmap GridView::picture(Grid::Picture picture)
{
    if (picture == Grid::Picture::None)
        return {};
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(kPictureSize, kPictureSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    // Both pictures are see-through where they have no ink, so a blank left in
    // a cell never hides the cell's text.
    pixmap.fill(Qt::transparent);
    if (picture == Grid::Picture::Check) {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        QPen pen(QColor(200, 0, 0), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        QPainterPath tick;
        tick.moveTo(3.0, 8.5);
        tick.lineTo(6.5, 12.0);
        tick.lineTo(13.0, 4.0);
        p.drawPath(tick);
    }
    return pixmap;
}

GridView::GridView(Grid& grid, QWidget* parent) : QTableWidget(parent), grid_(grid)
{
    setObjectName(QString::fromStdString(grid.key()));
    setItemDelegate(new GridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    setDragEnabled(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setTextElideMode(Qt::ElideRight);
    // The border is drawn by paintEvent: a style's frame would take a pixel or
    // two from grids sized to show all their rows.
    setFrameShape(QFrame::NoFrame);

    QPointer<GridView> self(this);
    grid_.observe([self] {
        if (self)
            self->sync();
    });
    sync();
}

void GridView::sync()
{
    const QSignalBlocker blocker(this);
    const int dataRows = grid_.rows() - 1;
    const int cols = grid_.cols();

    const Grid::Geometry& g = grid_.geometry();
    if (!laidOut_ && g.width > 0 && g.height > 0)
        setGeometry(twipsToPixels(g.left), twipsToPixels(g.top), twipsToPixels(g.width), twipsToPixels(g.height));
    setEnabled(grid_.enabled());
    if (parentWidget())
        setVisible(grid_.visible());
    else if (!grid_.visible())
        hide();

    clearSpans();
    setColumnCount(cols);
    setRowCount(dataRows);

    setToolTip(QString::fromStdString(grid_.toolTip()));
    const int rowPx = rowPixels();
    verticalHeader()->setDefaultSectionSize(rowPx);
    horizontalHeader()->setFixedHeight(rowPx * headerLines_);

    for (int c = 0; c < cols; ++c) {
        if (!horizontalHeaderItem(c))
            setHorizontalHeaderItem(c, new QTableWidgetItem);
    }

    for (int r = 1; r <= dataRows; ++r) {
        for (int c = 0; c < cols; ++c) {
            QTableWidgetItem* cell = item(r - 1, c);
            if (!cell) {
                cell = new QTableWidgetItem;
                cell->setFlags(Qt::ItemIsEnabled);
                setItem(r - 1, c, cell);
            }
            const std::string& text = grid_.text(r, c);
            cell->setText(QString::fromStdString(text));
            cell->setData(Qt::TextAlignmentRole, static_cast<int>(alignmentOf(grid_.colAlignment(c), text)));
            cell->setData(PictureRole, static_cast<int>(grid_.cellPicture(r, c)));
            cell->setData(FixedRole, c < grid_.fixedCols());
        }
    }
    for (int c = 0; c < cols; ++c) {
        if (!grid_.mergeCol(c))
            continue;
        for (int r = 1; r <= dataRows;) {
            const auto [first, count] = grid_.mergedRun(r, c);
            if (count > 1)
                setSpan(first - 1, c, count, 1);
            r = first + count;
        }
    }

    applyColumnWidths();
    if (laidOut_)
        updateGeometry(); // its texts decide its size
    if (grid_.row() >= 1 && grid_.row() <= dataRows && grid_.col() < cols)
        setCurrentCell(grid_.row() - 1, grid_.col());
    else
        setCurrentIndex(QModelIndex());
    viewport()->update();
}

int GridView::rowPixels() const
{
    const int rowPx = std::max(1, twipsToPixels(grid_.rowHeight()));
    return laidOut_ ? std::max(rowPx, fontMetrics().height() + 4) : rowPx;
}

void GridView::setPlacedByLayout(Rows rows)
{
    laidOut_ = true;
    allRows_ = rows == Rows::All;
    setSizePolicy(QSizePolicy::Expanding, allRows_ ? QSizePolicy::Fixed : QSizePolicy::Expanding);
    sync();
    updateGeometry();
}

int GridView::widthForTexts() const
{
    int total = 0;
    for (int c = 0; c < grid_.cols(); ++c)
        total += grid_.colWidth(c);
    if (total <= 0)
        return 0;
    const QFontMetrics cells(font());
    const QFontMetrics heads(horizontalHeader()->font());
    const int margin = 2 * kTextMargin + 6;
    const int headMargin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader()) + 6;
    double width = 0;
    for (int c = 0; c < grid_.cols(); ++c) {
        const QString head = QString::fromStdString(grid_.text(0, c));
        int needed = 0;
        if (headerLines_ > 1) {
            // A header that wraps needs its longest word on a line.
            for (const QString& word : head.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                needed = std::max(needed, heads.horizontalAdvance(word) + headMargin);
        } else {
            needed = heads.horizontalAdvance(head) + headMargin;
        }
        // Texts of merged cells wrap within them.
        if (!grid_.mergeCol(c))
            for (int r = 1; r < grid_.rows(); ++r)
                needed = std::max(needed, cells.horizontalAdvance(QString::fromStdString(grid_.text(r, c))) + margin);
        if (grid_.cellPicture(1, c) != Grid::Picture::None || c == pickColumn_)
            needed = std::max(needed, kPictureSize + margin);
        width = std::max(width, needed * double(total) / grid_.colWidth(c));
    }
    return static_cast<int>(std::ceil(width)) + 2 * frameWidth();
}

int GridView::heightForRows(int rows) const
{
    return rowPixels() * (headerLines_ + rows) + 2 * frameWidth();
}

QSize GridView::minimumSizeHint() const
{
    if (!laidOut_)
        return QTableWidget::minimumSizeHint();
    const int rows = allRows_ ? grid_.rows() - 1 : 2;
    return {widthForTexts(), heightForRows(rows)};
}

QSize GridView::sizeHint() const
{
    if (!laidOut_)
        return QTableWidget::sizeHint();
    const Grid::Geometry& g = grid_.geometry();
    const QSize hint = QSize(twipsToPixels(g.width), twipsToPixels(g.height)).expandedTo(minimumSizeHint());
    // A grid that shows all its rows is exactly as high as they are.
    return allRows_ ? QSize(hint.width(), minimumSizeHint().height()) : hint;
}

void GridView::setHeaderLines(int lines)
{
    headerLines_ = std::max(1, lines);
    const bool wrap = headerLines_ > 1;
    // Qt takes the word-wrap flag along with the alignment.
    const int wrapFlag = wrap ? Qt::TextWordWrap : 0;
    horizontalHeader()->setDefaultAlignment(Qt::Alignment::fromInt(int(Qt::AlignCenter) | wrapFlag));
    horizontalHeader()->setTextElideMode(wrap ? Qt::ElideNone : Qt::ElideRight);
    sync();
}

void GridView::applyColumnWidths()
{
    const int cols = grid_.cols();
    if (cols == 0)
        return;
    if (laidOut_) {
        // The model's widths as shares of what the grid has: the last column
        // takes what rounding leaves.
        int total = 0;
        for (int c = 0; c < cols; ++c)
            total += grid_.colWidth(c);
        const int frame = 2 * frameWidth();
        const int rowsHeight = horizontalHeader()->height() + rowCount() * verticalHeader()->defaultSectionSize();
        const bool needsScrollBar = rowsHeight > height() - frame;
        const int available =
            std::max(cols, this->width() - frame - (needsScrollBar ? verticalScrollBar()->sizeHint().width() : 0));
        int used = 0;
        for (int c = 0; c < cols; ++c) {
            const int px = c == cols - 1 || total <= 0 ? available - used
                                                        : int(std::lround(available * double(grid_.colWidth(c)) / total));
            setColumnWidth(c, std::max(1, px));
            used += px;
        }
        showHeaderTexts();
        return;
    }
    int twips = 0;
    int pixels = 0;
    for (int c = 0; c < cols; ++c) {
        twips += grid_.colWidth(c);
        const int px = twipsToPixels(grid_.colWidth(c));
        pixels += px;
        setColumnWidth(c, px);
    }
    // Columns a dialog sized to fill the grid's width fill exactly what the frame
    // (and a vertical scroll bar, when the rows need one) leave of it, without a
    // horizontal scroll bar for a pixel or two.
    const int width = grid_.geometry().width;
    if (width <= 0 || std::abs(twips - width) > 30) {
        showHeaderTexts();
        return;
    }
    const int frame = 2 * frameWidth();
    const int rowsHeight = horizontalHeader()->height() + rowCount() * verticalHeader()->defaultSectionSize();
    const bool needsScrollBar = rowsHeight > height() - frame;
    const int available =
        this->width() - frame - (needsScrollBar ? verticalScrollBar()->sizeHint().width() : 0);
    const int last = cols - 1;
    const int lastWidth = columnWidth(last) + (available - pixels);
    setColumnWidth(last, std::max(1, lastWidth));
    showHeaderTexts();
}

void GridView::showHeaderTexts()
{
    // A header wider than its column ends in "…" rather than being cut on both
    // sides; the whole text is in the tool tip.
    const int margin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader()) + 2;
    const QFontMetrics metrics(horizontalHeader()->font());
    for (int c = 0; c < columnCount(); ++c) {
        QTableWidgetItem* header = horizontalHeaderItem(c);
        if (!header)
            continue;
        const QString full = QString::fromStdString(grid_.text(0, c));
        if (headerLines_ > 1) {
            header->setText(full);
            continue;
        }
        const QString shown = metrics.elidedText(full, Qt::ElideRight, std::max(0, columnWidth(c) - margin));
        header->setText(shown);
        header->setToolTip(shown == full ? QString() : full);
    }
}

QRect GridView::cellRect(int row, int col) const
{
    if (col < 0 || col >= columnCount() || row < 0 || row > rowCount())
        return {};
    const QPoint origin = viewport()->geometry().topLeft();
    const int x = columnViewportPosition(col) + origin.x();
    if (row == 0) {
        const QRect header = horizontalHeader()->geometry();
        return QRect(x, header.top(), columnWidth(col), header.height());
    }
    return QRect(x, rowViewportPosition(row - 1) + origin.y(), columnWidth(col), rowHeight(row - 1));
}

void GridView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    // rowAt/columnAt name the cell under the mouse, also inside a merged cell.
    const int row = rowAt(pos.y());
    const int col = columnAt(pos.x());
    event->accept();
    if (row >= 0 && col >= 0)
        run_([this, row, col] { grid_.click(row + 1, col); });
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event); // the second press of a double click is a click, too
}

void GridView::mouseMoveEvent(QMouseEvent* event)
{
    event->accept(); // no selection by dragging
}

void GridView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void GridView::keyPressEvent(QKeyEvent* event)
{
    int row = grid_.row();
    int col = grid_.col();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // Enter ticks a cell of the pick column; on the tick it is the window's
    // again, so that a second Enter confirms the pick.
    const bool tick = enter && col == pickColumn_ && col >= 0 && grid_.cellPicture(row, col) != Grid::Picture::Check;
    if ((event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) || tick) {
        // The keyboard's click on the current cell: a tick, or its editor.
        event->accept();
        if (grid_.isClickable(row, col))
            run_([this, row, col] { grid_.click(row, col); });
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up: --row; break;
    case Qt::Key_Down: ++row; break;
    case Qt::Key_Left: --col; break;
    case Qt::Key_Right: ++col; break;
    default:
        event->ignore(); // Enter, Esc, Tab ... belong to the dialog
        return;
    }
    event->accept();
    run_([this, row, col] { grid_.navigate(row, col); });
}

void GridView::paintEvent(QPaintEvent* event)
{
    QTableWidget::paintEvent(event);
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Mid));
    const QRect r = viewport()->rect();
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

void GridView::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    applyColumnWidths();
}

void GridView::changeEvent(QEvent* event)
{
    QTableWidget::changeEvent(event);
    // Rows follow the type when the layout places the grid.
    if (event->type() == QEvent::FontChange && laidOut_) {
        sync();
        updateGeometry();
    }
}

} // namespace infil::ui
