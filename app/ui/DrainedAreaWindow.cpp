#include "model/Application.h"
#include "model/DrainedAreaDialog.h"

#include "DrainedAreaWindow.h"

#include "Binding.h"
#include "GridView.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace infil::ui {
namespace {

QString u8(const char* text) { return QString::fromUtf8(text); }

// A box as wide as the original's, or as its widest text needs in the type
// the window has now.
void fitWidth(QLineEdit* box, int twips, const QString& widest)
{
    const int needed = box->fontMetrics().horizontalAdvance(widest) + 16;
    box->setFixedWidth(std::max(twipsToPixels(twips), needed));
}

QLabel* label(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setTextFormat(text.contains(QLatin1Char('<')) ? Qt::RichText : Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

// The group names of the runoff table span several rows and are long: they
// wrap inside their merged cell instead of ending in "…".
class WrappingDelegate : public QStyledItemDelegate {
public:
    WrappingDelegate(GridView* view, QAbstractItemDelegate* fallback)
        : QStyledItemDelegate(view), view_(view), fallback_(fallback)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int span = view_->rowSpan(index.row(), index.column());
        const QString text = index.data(Qt::DisplayRole).toString();
        if (span <= 1 && option.fontMetrics.horizontalAdvance(text) <= option.rect.width() - 6) {
            fallback_->paint(painter, option, index);
            return;
        }
        const bool enabled = option.state & QStyle::State_Enabled;
        const QPalette::ColorGroup group = enabled ? QPalette::Normal : QPalette::Disabled;
        painter->save();
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Base));
        painter->setPen(option.palette.color(group, QPalette::Text));
        QFont font = option.font;
        const QRect textRect = option.rect.adjusted(3, 1, -3, -1);
        // A group with little room gets a smaller type rather than lose words.
        for (int i = 0; i < 3; ++i) {
            const QRect needed = QFontMetrics(font).boundingRect(textRect, Qt::TextWordWrap, text);
            if (needed.height() <= textRect.height())
                break;
            font.setPointSizeF(font.pointSizeF() * 0.9);
        }
        painter->setFont(font);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text);
        const model::Grid& grid = view_->grid();
        const int first = index.row() + 1;
        if (grid.col() == index.column() && grid.row() >= first && grid.row() < first + std::max(1, span)) {
            QPen pen(option.palette.color(group, QPalette::Highlight));
            pen.setStyle(view_->hasFocus() ? Qt::SolidLine : Qt::DotLine);
            painter->setPen(pen);
            painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
        }
        painter->restore();
    }

private:
    GridView* view_;
    QAbstractItemDelegate* fallback_;
};

} // namespace

DrainedAreaWindow::DrainedAreaWindow(model::Application& app, model::DrainedAreaDialog& dialog,
                                     QWidget* mainWindow)
    : QWidget(nullptr, Qt::Dialog), dialog_(dialog), mainWindow_(mainWindow), binder_(new Binder(app, this))
{
    setObjectName(QStringLiteral("frmDialog"));
    setWindowTitle(u8("Střední odtokový součinitel"));

    // The original's arrangement, by layouts: a large type or a high scale
    // makes the window larger instead of cutting its texts. Every widget is a
    // child of the window, so the cell editor can lie over a cell.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(8);

    runoff_ = new GridView(*dialog.fgSoucPovrchOdtok, this);
    runoff_->setActionRunner([this](const std::function<void()>& action) { binder_->act(action); });
    runoff_->setItemDelegateForColumn(0, new WrappingDelegate(runoff_, runoff_->itemDelegate()));
    runoff_->setPickColumn(3);
    runoff_->setPlacedByLayout(GridView::Rows::All);
    column->addWidget(runoff_);

    auto* entryRow = new QHBoxLayout;
    entryRow->setSpacing(6);
    coefficient_ = binder_->bind(*dialog.txtSoucinitel, new QLineEdit(this));
    area_ = binder_->bind(*dialog.txtPlocha, new QLineEdit(this));
    entryRow->addWidget(label(u8("Součinitel odtoku"), this));
    entryRow->addWidget(coefficient_);
    entryRow->addSpacing(12);
    entryRow->addWidget(label(u8("Dílčí plocha"), this));
    entryRow->addWidget(area_);
    entryRow->addWidget(label(u8("m²"), this));
    entryRow->addSpacing(6);
    entryRow->addWidget(binder_->bind(*dialog.cmdZapsat, new QPushButton(this)));
    entryRow->addStretch();
    column->addLayout(entryRow);

    auto* lower = new QHBoxLayout;
    lower->setSpacing(12);
    entries_ = new GridView(*dialog.fgZapisTab, this);
    entries_->setActionRunner([this](const std::function<void()>& action) { binder_->act(action); });
    // "Odtokový součinitel" is wider than its column: the headers take two lines.
    entries_->setHeaderLines(2);
    entries_->setPickColumn(4);
    entries_->setPlacedByLayout(GridView::Rows::Some);
    // The grid is hidden while there are no entries; its place stays.
    QSizePolicy keep = entries_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    entries_->setSizePolicy(keep);
    lower->addWidget(entries_, 1);

    auto* side = new QGridLayout;
    side->setHorizontalSpacing(8);
    side->setVerticalSpacing(6);
    // The formula the sum follows, where the original showed a picture of it.
    auto* formula = label(u8("A<sub>N</sub> = Σ (A<sub>E,i</sub> · Ψ<sub>str,i</sub>)"), this);
    QFont formulaFont = formula->font();
    formulaFont.setPointSizeF(formulaFont.pointSizeF() * 1.15);
    formula->setFont(formulaFont);
    side->addWidget(formula, 0, 0, 1, 3);
    sum_ = binder_->bind(*dialog.txtOdvodNepPlocha, new QLineEdit(this));
    sum_->setAlignment(Qt::AlignRight);
    auto* sumRow = new QHBoxLayout;
    sumRow->setSpacing(6);
    sumRow->addWidget(sum_);
    sumRow->addWidget(label(u8("m²"), this));
    sumRow->addStretch();
    side->addLayout(sumRow, 1, 0, 1, 3);
    side->setRowStretch(2, 1);
    auto button = [this](model::Button& model) {
        auto* b = binder_->bind(model, new QPushButton(this));
        b->setMinimumWidth(twipsToPixels(1215));
        return b;
    };
    side->addWidget(button(*dialog.cmdDelete), 3, 0);
    side->addWidget(button(*dialog.cmdDeleteAll), 4, 0);
    side->addWidget(button(*dialog.OKButton), 4, 1);
    side->addWidget(button(*dialog.CancelButton), 4, 2);
    side->setColumnMinimumWidth(0, twipsToPixels(8880 - 7080));
    lower->addLayout(side);
    column->addLayout(lower, 1);

    for (auto* b : findChildren<QPushButton*>())
        b->setAutoDefault(false); // Enter belongs to the boxes

    // The cell editor lies over the entry grid, on the cell it edits.
    editor_ = binder_->bind(*dialog.txtSChange, new QLineEdit(this));
    editor_->setFrame(false);
    connect(entries_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeEditor(); });
    connect(entries_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeEditor(); });

    // Placed before the binder shows it.
    dialog.observe([self = QPointer<DrainedAreaWindow>(this)] {
        if (self)
            self->mirrorForm();
    });
    mirrorForm();
    binder_->bindWindow(dialog, this, true);
    fit();
}

void DrainedAreaWindow::mirrorForm()
{
    const bool open = dialog_.isOpen();
    if (open && !wasOpen_ && mainWindow_) {
        // Above the main window while open, in the middle of it.
        winId();
        if (windowHandle() && mainWindow_->windowHandle())
            windowHandle()->setTransientParent(mainWindow_->windowHandle());
        fit();
        QRect frame = frameGeometry();
        frame.moveCenter(mainWindow_->frameGeometry().center());
        // Whole on the screen, its title bar first.
        if (const QScreen* screen = mainWindow_->screen()) {
            const QRect room = screen->availableGeometry();
            frame.moveLeft(std::max(room.left(), std::min(frame.left(), room.right() - frame.width())));
            frame.moveTop(std::max(room.top(), std::min(frame.top(), room.bottom() - frame.height())));
        }
        move(frame.topLeft());
        // The user works here now (the main window is disabled): the window
        // takes the keyboard once the binder has shown it.
        QTimer::singleShot(0, this, [self = QPointer<DrainedAreaWindow>(this)] {
            if (self && self->isVisible()) {
                self->raise();
                self->activateWindow();
            }
        });
    }
    wasOpen_ = open;

    if (dialog_.editorOpenings() != editorOpenings_) {
        editorOpenings_ = dialog_.editorOpenings();
        placeEditor();
        // After the binder has moved the focus and the text: the whole text is
        // selected, so typing replaces it.
        QTimer::singleShot(0, editor_, [editor = QPointer<QLineEdit>(editor_)] {
            if (editor)
                editor->selectAll();
        });
    }

    // The entry grid takes the focus back when the editor closes.
    const void* target = dialog_.focusTarget();
    if (target != lastFocus_) {
        lastFocus_ = target;
        if (target == dialog_.fgZapisTab)
            QTimer::singleShot(0, entries_, [grid = QPointer<GridView>(entries_)] {
                if (grid && grid->isVisible())
                    grid->setFocus(Qt::OtherFocusReason);
            });
    }
}

void DrainedAreaWindow::fit()
{
    // The runoff table shows its longest surface kind whole: the window grows
    // for it as far as the screen allows, and beyond that the table's type
    // gets smaller, down to a floor.
    QFont font = QApplication::font(this);
    runoff_->setFont(font);
    const QScreen* screen = mainWindow_ ? mainWindow_->screen() : this->screen();
    const int margins = 2 * 8 + 24; // the layout's and the window frame's
    const int original = twipsToPixels(dialog_.fgSoucPovrchOdtok->geometry().width);
    const int room = std::max(original, screen ? screen->availableGeometry().width() - margins : original);
    const bool points = font.pointSizeF() > 0;
    for (double size = points ? font.pointSizeF() : font.pixelSize();
         size > (points ? 7.0 : 9.0) && runoff_->minimumSizeHint().width() > room;) {
        size -= points ? 0.25 : 1.0;
        points ? font.setPointSizeF(size) : font.setPixelSize(static_cast<int>(size));
        runoff_->setFont(font);
    }
    fitBoxes();
    using D = model::DrainedAreaDialog;
    resize(sizeHint().expandedTo(
        QSize(std::max(twipsToPixels(D::kClientWidth), titleWidth(this)), twipsToPixels(D::kClientHeight))));
}

void DrainedAreaWindow::fitBoxes()
{
    // The boxes keep the original's widths unless the type needs more.
    fitWidth(coefficient_, 975, QStringLiteral("0.000"));
    fitWidth(area_, 975, QStringLiteral("000 000"));
    fitWidth(sum_, 1815, QStringLiteral("000 000 000.00"));
}

void DrainedAreaWindow::placeEditor()
{
    const model::Grid& grid = *dialog_.fgZapisTab;
    const QRect cell = entries_->cellRect(grid.row(), grid.col());
    if (!cell.isValid())
        return;
    editor_->setGeometry(QRect(entries_->mapTo(this, cell.topLeft()), cell.size()).adjusted(1, 1, -1, -1));
    editor_->raise();
}

void createDrainedAreaWindow(model::Application& app, QWidget& mainWindow)
{
    auto* dialog = dynamic_cast<model::DrainedAreaDialog*>(app.form("frmDialog"));
    if (!dialog)
        return;
    auto* window = new DrainedAreaWindow(app, *dialog, &mainWindow);
    QObject::connect(&mainWindow, &QObject::destroyed, [window] { delete window; });
}

} // namespace infil::ui
