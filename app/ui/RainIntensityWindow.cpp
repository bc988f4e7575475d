#include "model/Application.h"
#include "model/RainIntensityDialog.h"

#include "RainIntensityWindow.h"

#include "Binding.h"
#include "GridView.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

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
    setFixedSize(at(0, 0, 3375, 4800).size());

    auto place = [](QWidget* widget, QRect rect) {
        widget->setGeometry(rect);
        return widget;
    };
    place(binder_->bind(*d.lblInt.at(0), new QLabel(this)), at(120, 120, 735, 255));
    place(binder_->bind(*d.lblInt.at(1), new QLabel(this)), at(120, 480, 735, 255));
    for (auto* label : {binder_->widget(*d.lblInt.at(0)), binder_->widget(*d.lblInt.at(1))})
        static_cast<QLabel*>(label)->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* stations = binder_->bind(*d.cboSelStanice, new QComboBox(this));
    place(stations, at(1080, 120, 2175, 315));
    auto* periods = binder_->bind(*d.cboSelPeriod, new QComboBox(this));
    place(periods, at(1080, 480, 735, 315));

    // The grid places itself from its model; the editor, the help and its close
    // button are created after it so they lie above it.
    grid_ = new GridView(*d.fgIntDeste, this);
    grid_->setActionRunner([this](const std::function<void()>& action) { binder_->act(action); });
    editor_ = binder_->bind(*d.txtSChange, new QLineEdit(this));
    editor_->setAlignment(Qt::AlignCenter);
    help_ = new QPlainTextEdit(this);
    place(help_, at(120, 960, 3135, 2415));
    help_->setLineWrapMode(QPlainTextEdit::NoWrap);
    help_->setTabChangesFocus(true);
    binder_->bind(*d.txtHelp, help_);
    auto* closeHelp = binder_->bind(*d.cmdCloseHelp, new QPushButton(this));
    place(closeHelp, at(3000, 960, 255, 255));
    closeHelp->setFocusPolicy(Qt::TabFocus);

    place(binder_->bind(*d.cmdOK, new QPushButton(this)), at(960, 3480, 855, 255));
    place(binder_->bind(*d.cmdEdit, new QPushButton(this)), at(1920, 3480, 375, 255));

    // The rain library: where the series comes from, storing typed values, the
    // library's window.
    auto* source = binder_->bind(*d.lblSource, new QLabel(this));
    place(source, at(120, 3810, 3135, 420));
    source->setWordWrap(true);
    source->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(binder_->bind(*d.cmdSaveToLibrary, new QPushButton(this)), at(120, 4320, 1815, 315));
    place(binder_->bind(*d.cmdLibrary, new QPushButton(this)), at(2040, 4320, 1215, 315));

    // Placing the window comes before it is shown, so this observer is first.
    QPointer<RainIntensityWindow> self(this);
    d.observe([self] {
        if (self)
            self->mirrorForm();
    });
    binder_->bindWindow(d, this, true);
    mirrorForm();
}

void RainIntensityWindow::mirrorForm()
{
    const bool open = dialog_.isOpen();
    if (open && !wasOpen_ && mainWindow_)
        move(mainWindow_->pos() + kOffsetFromMainWindow);
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
