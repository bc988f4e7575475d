#include "model/Application.h"
#include "model/RainIntensityDialog.h"

#include "RainIntensityWindow.h"

#include "Binding.h"
#include "GridView.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace infil::ui {
namespace {

using model::RainIntensityDialog;

// The dialog's top-left corner lies this far right of and below the main
// window's (5880 and 1080 twips).
const QPoint kOffsetFromMainWindow(392, 72);
constexpr int kEditorInset = 50; // twips, as the model places the editor

} // namespace

RainIntensityWindow* RainIntensityWindow::create(model::Application& app, QWidget* mainWindow)
{
    auto* dialog = dynamic_cast<RainIntensityDialog*>(app.form("frmIntDialog"));
    return dialog ? new RainIntensityWindow(app, *dialog, mainWindow) : nullptr;
}

QRect RainIntensityWindow::at(int left, int top, int width, int height)
{
    const auto g = RainIntensityDialog::place(left, top, width, height);
    return {twipsToPixels(g.left), twipsToPixels(g.top), twipsToPixels(g.width), twipsToPixels(g.height)};
}

RainIntensityWindow::RainIntensityWindow(model::Application& app, RainIntensityDialog& dialog, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Dialog), dialog_(dialog), mainWindow_(mainWindow), binder_(new Binder(app, this))
{
    auto& d = dialog_;
    setWindowTitle(QString::fromUtf8("Intenzity trvání deště"));

    // Laid out in the original's arrangement, by layouts: a large type or a
    // high scale makes the window larger instead of cutting its texts. Every
    // widget is a child of the window, so the editor can lie over a cell.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(8);
    auto* lists = new QGridLayout;
    lists->setHorizontalSpacing(16);
    auto* station = binder_->bind(*d.lblInt.at(0), new QLabel(this));
    auto* periodicity = binder_->bind(*d.lblInt.at(1), new QLabel(this));
    auto* stations = binder_->bind(*d.cboSelStanice, new QComboBox(this));
    auto* periods = binder_->bind(*d.cboSelPeriod, new QComboBox(this));
    lists->addWidget(station, 0, 0);
    lists->addWidget(stations, 0, 1);
    lists->addWidget(periodicity, 1, 0);
    lists->addWidget(periods, 1, 1, Qt::AlignLeft);
    lists->setColumnStretch(1, 1);
    column->addLayout(lists);

    // The help and its close button lie over the grid, in its place.
    auto* table = new QGridLayout;
    grid_ = new GridView(*d.fgIntDeste, this);
    grid_->setActionRunner([this](const std::function<void()>& action) { binder_->act(action); });
    grid_->setPickColumn(RainIntensityDialog::kPickCol);
    grid_->setPlacedByLayout(GridView::Rows::All);
    table->addWidget(grid_, 0, 0);
    editor_ = binder_->bind(*d.txtSChange, new QLineEdit(this));
    editor_->setAlignment(Qt::AlignCenter);
    help_ = new QPlainTextEdit(this);
    // Its lines wrap between words when the window is narrower than they are.
    help_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    help_->setWordWrapMode(QTextOption::WordWrap);
    help_->setTabChangesFocus(true);
    binder_->bind(*d.txtHelp, help_);
    table->addWidget(help_, 0, 0);
    auto* closeHelp = binder_->bind(*d.cmdCloseHelp, new QPushButton(this));
    closeHelp->setFocusPolicy(Qt::TabFocus);
    const int side = std::max(closeHelp->fontMetrics().height() + 8, twipsToPixels(RainIntensityDialog::scaled(255)));
    closeHelp->setFixedSize(side, side);
    table->addWidget(closeHelp, 0, 0, Qt::AlignTop | Qt::AlignRight);
    column->addLayout(table, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(2);
    auto* ok = binder_->bind(*d.cmdOK, new QPushButton(this));
    ok->setMinimumWidth(twipsToPixels(RainIntensityDialog::scaled(855)));
    buttons->addWidget(ok);
    buttons->addStretch(1);
    buttons->addWidget(binder_->bind(*d.cmdEdit, new QPushButton(this)));
    buttons->addStretch(2);
    column->addLayout(buttons);

    // The rain library: where the series comes from, storing typed values, the
    // library's window.
    auto* source = binder_->bind(*d.lblSource, new QLabel(this));
    source->setWordWrap(true);
    source->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(source);
    auto* library = new QHBoxLayout;
    library->addWidget(binder_->bind(*d.cmdSaveToLibrary, new QPushButton(this)));
    library->addStretch(1);
    library->addWidget(binder_->bind(*d.cmdLibrary, new QPushButton(this)));
    column->addLayout(library);

    // Placing the window comes before it is shown, so this observer is first.
    QPointer<RainIntensityWindow> self(this);
    d.observe([self] {
        if (self)
            self->mirrorForm();
    });
    binder_->bindWindow(d, this, true);
    binder_->setEnterButton(this, *d.cmdOK);
    fit();
    mirrorForm();
}

void RainIntensityWindow::mirrorForm()
{
    const bool open = dialog_.isOpen();
    if (open && !wasOpen_ && mainWindow_) {
        fit();
        move(mainWindow_->pos() + kOffsetFromMainWindow);
    }
    wasOpen_ = open;
    if (!open)
        return;
    const model::Control* focus = dialog_.focusTarget();

    if (dialog_.editorOpenings() != editorOpenings_ && dialog_.txtSChange->visible()) {
        // A cell was opened: the whole text selected, the focus in the editor.
        editorOpenings_ = dialog_.editorOpenings();
        placeEditor();
        QTimer::singleShot(0, editor_, [editor = QPointer<QLineEdit>(editor_)] {
            if (editor && editor->isVisible()) {
                editor->setFocus(Qt::OtherFocusReason);
                editor->selectAll();
            }
        });
    } else if (focus != lastFocus_ && focus == dialog_.fgIntDeste) {
        // Enter or Esc closed the editor.
        QTimer::singleShot(0, grid_, [grid = QPointer<GridView>(grid_)] {
            if (grid && grid->isVisible())
                grid->setFocus(Qt::OtherFocusReason);
        });
    }
    lastFocus_ = focus;
}

void RainIntensityWindow::fit()
{
    // As wide as the original at least, and as its title; as high as the rows.
    resize(sizeHint().expandedTo(QSize(std::max(at(0, 0, 3375, 0).width(), titleWidth(this)), 0)));
}

void RainIntensityWindow::placeEditor()
{
    // Over the cell as the grid shows it, inset at its top-left corner like the
    // model's place for it.
    const QRect cell = grid_->cellRect(dialog_.editorRow(), dialog_.editorCol());
    if (!cell.isValid())
        return;
    const int inset = twipsToPixels(kEditorInset);
    QRect rect(grid_->mapTo(this, cell.topLeft()), cell.size());
    rect.adjust(inset, inset, 0, 0);
    editor_->setGeometry(rect);
    editor_->raise();
}

} // namespace infil::ui
