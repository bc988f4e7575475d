#include "model/Application.h"
#include "model/DrainedAreaDialog.h"

#include "DrainedAreaWindow.h"

#include "Binding.h"
#include "GridView.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace infil::ui {
namespace {

QString u8(const char* text) { return QString::fromUtf8(text); }

QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// Boxes and buttons keep the original's place but are never lower than the
// style needs to show their text; they grow about their middle.
void place(QWidget* widget, int left, int top, int width, int height)
{
    QRect r = twipsRect(left, top, width, height);
    const int needed = widget->sizeHint().height();
    if (r.height() < needed)
        r.adjust(0, -(needed - r.height()) / 2, 0, needed - r.height() - (needed - r.height()) / 2);
    widget->setGeometry(r);
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
    using D = model::DrainedAreaDialog;
    setObjectName(QStringLiteral("frmDialog"));
    setWindowTitle(u8("Střední odtokový součinitel"));
    setFixedSize(twipsToPixels(D::kClientWidth), twipsToPixels(D::kClientHeight));

    runoff_ = new GridView(*dialog.fgSoucPovrchOdtok, this);
    runoff_->setActionRunner([this](const std::function<void()>& action) { binder_->act(action); });
    runoff_->setItemDelegateForColumn(0, new WrappingDelegate(runoff_, runoff_->itemDelegate()));

    // The row under the runoff table; relayout() places it.
    entryRow_ = {
        {label(u8("Součinitel odtoku"), this), {120, 5190, 1455, 255}},
        {binder_->bind(*dialog.txtSoucinitel, new QLineEdit(this)), {1680, 5175, 975, 285}},
        {label(u8("Dílčí plocha"), this), {2880, 5175, 1095, 255}},
        {binder_->bind(*dialog.txtPlocha, new QLineEdit(this)), {4080, 5160, 975, 285}},
        {label(u8("m<sup>2</sup>"), this), {5160, 5160, 360, 285}},
        {binder_->bind(*dialog.cmdZapsat, new QPushButton(this)), {5520, 5160, 1455, 375}},
    };

    entries_ = new GridView(*dialog.fgZapisTab, this);
    entries_->setActionRunner([this](const std::function<void()>& action) { binder_->act(action); });
    // "Odtokový součinitel" is wider than its column: the headers take two lines.
    entries_->setHeaderLines(2);

    // The formula the sum follows, where the original showed a picture of it.
    auto* formula = label(u8("A<sub>N</sub> = Σ (A<sub>E,i</sub> · Ψ<sub>str,i</sub>)"), this);
    formula->setGeometry(twipsRect(7920, 5760, 3000, 390));
    QFont formulaFont = formula->font();
    formulaFont.setPointSizeF(formulaFont.pointSizeF() * 1.15);
    formula->setFont(formulaFont);
    auto* sum = binder_->bind(*dialog.txtOdvodNepPlocha, new QLineEdit(this));
    sum->setAlignment(Qt::AlignRight);
    fixedPlaces_ = {
        {sum, {7920, 6360, 1815, 375}},
        {label(u8("m<sup>2</sup>"), this), {9840, 6360, 600, 375}},
        {binder_->bind(*dialog.cmdDelete, new QPushButton(this)), {7080, 7560, 1215, 375}},
        {binder_->bind(*dialog.cmdDeleteAll, new QPushButton(this)), {7080, 8040, 1215, 375}},
        {binder_->bind(*dialog.OKButton, new QPushButton(this)), {8880, 8040, 1215, 375}},
        {binder_->bind(*dialog.CancelButton, new QPushButton(this)), {10200, 8040, 1215, 375}},
    };
    relayout();
    for (auto* button : findChildren<QPushButton*>())
        button->setAutoDefault(false); // Enter belongs to the boxes

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
}

void DrainedAreaWindow::mirrorForm()
{
    const bool open = dialog_.isOpen();
    if (open && !wasOpen_ && mainWindow_) {
        // Above the main window while open, in the middle of it.
        winId();
        if (windowHandle() && mainWindow_->windowHandle())
            windowHandle()->setTransientParent(mainWindow_->windowHandle());
        relayout();
        QRect frame = frameGeometry();
        frame.moveCenter(mainWindow_->frameGeometry().center());
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

void DrainedAreaWindow::relayout()
{
    // The layout was drawn for a small type. The window takes the largest type,
    // up to the program's own, in which the longest surface kind fits its column.
    QFont font = QApplication::font(this);
    const model::Grid& runoff = *dialog_.fgSoucPovrchOdtok;
    QString longest;
    for (int r = 1; r < runoff.rows(); ++r) {
        const QString text = QString::fromStdString(runoff.text(r, 1));
        if (QFontMetrics(font).horizontalAdvance(text) > QFontMetrics(font).horizontalAdvance(longest))
            longest = text;
    }
    const int room = twipsToPixels(runoff.colWidth(1)) - 8;
    const bool points = font.pointSizeF() > 0;
    const double floor = points ? 7.0 : 9.0;
    for (double size = points ? font.pointSizeF() : font.pixelSize();
         size > floor && QFontMetrics(font).horizontalAdvance(longest) > room;) {
        size -= points ? 0.25 : 1.0;
        points ? font.setPointSizeF(size) : font.setPixelSize(static_cast<int>(size));
    }
    setFont(font);

    for (const auto& [widget, twips] : fixedPlaces_)
        place(widget, twips.left(), twips.top(), twips.width(), twips.height());
    // A text wider than its original place pushes the rest of its row along.
    int right = 0;
    for (const auto& [widget, twips] : entryRow_) {
        place(widget, twips.left(), twips.top(), twips.width(), twips.height());
        QRect r = widget->geometry();
        if (qobject_cast<QLabel*>(widget) || qobject_cast<QPushButton*>(widget))
            r.setWidth(std::max(r.width(), widget->sizeHint().width()));
        r.moveLeft(std::max(r.left(), right));
        widget->setGeometry(r);
        right = r.right() + 4;
    }
}

void DrainedAreaWindow::placeEditor()
{
    const model::Grid& grid = *dialog_.fgZapisTab;
    const QRect cell = entries_->cellRect(grid.row(), grid.col());
    if (!cell.isValid())
        return;
    editor_->setGeometry(cell.translated(entries_->pos()).adjusted(1, 1, -1, -1));
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
