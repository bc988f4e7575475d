#include "model/Application.h"
#include "model/RainLibraryDialog.h"
#include "model/RainSourceDialog.h"

#include "RainLibraryWindows.h"

#include "Binding.h"
#include "GridView.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace infil::ui {
namespace {

// Placed over the window that opened it each time it opens, and brought to the
// front with the keyboard.
// Moves a window whole onto its screen, its title bar first: on a small screen
// its owner may lie where the window would stick out.
void keepOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    frame.moveLeft(std::max(room.left(), std::min(frame.left(), room.right() - frame.width() + 1)));
    frame.moveTop(std::max(room.top(), std::min(frame.top(), room.bottom() - frame.height() + 1)));
    if (frame.topLeft() != window->frameGeometry().topLeft())
        window->move(frame.topLeft());
}

void showOverOwner(QWidget* window, QWidget* owner, const model::Form& form, bool& wasOpen)
{
    const bool open = form.isOpen();
    if (open && !wasOpen && owner) {
        window->adjustSize();
        window->move(owner->frameGeometry().topLeft() + QPoint(40, 40));
        keepOnScreen(window);
        QTimer::singleShot(0, window, [window = QPointer<QWidget>(window)] {
            if (window && window->isVisible()) {
                keepOnScreen(window); // again, now that its frame is known
                window->raise();
                window->activateWindow();
            }
        });
    }
    wasOpen = open;
}

QPushButton* plainButton(QPushButton* button)
{
    // Enter in a box must not press a button behind the user's back.
    button->setAutoDefault(false);
    return button;
}

} // namespace

RainSourceWindow::RainSourceWindow(model::Application& app, model::RainSourceDialog& dialog, QWidget* owner)
    : QWidget(owner, Qt::Dialog), dialog_(dialog), binder_(new Binder(app, this))
{
    auto& d = dialog_;
    setWindowTitle(QString::fromUtf8("Uložit intenzity do knihovny"));
    auto* form = new QFormLayout;
    form->addRow(binder_->bind(*d.lblStation, new QLabel(this)), binder_->bind(*d.cboStation, new QComboBox(this)));
    form->addRow(binder_->bind(*d.lblPeriod, new QLabel(this)), binder_->bind(*d.cboPeriod, new QComboBox(this)));
    auto* source = binder_->bind(*d.txtSource, new QLineEdit(this));
    source->setMinimumWidth(320);
    form->addRow(binder_->bind(*d.lblSource, new QLabel(this)), source);
    auto* hint = binder_->bind(*d.lblHint, new QLabel(this));
    hint->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(plainButton(binder_->bind(*d.cmdOK, new QPushButton(this))));
    buttons->addWidget(plainButton(binder_->bind(*d.cmdCancel, new QPushButton(this))));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addLayout(buttons);

    auto wasOpen = std::make_shared<bool>(false);
    d.observe([self = QPointer<RainSourceWindow>(this), owner, wasOpen] {
        if (self)
            showOverOwner(self, owner, self->dialog_, *wasOpen);
    });
    binder_->bindWindow(d, this, true);
}

RainLibraryWindow::RainLibraryWindow(model::Application& app, model::RainLibraryDialog& dialog, QWidget* owner)
    : QWidget(owner, Qt::Dialog), dialog_(dialog), binder_(new Binder(app, this))
{
    auto& d = dialog_;
    setWindowTitle(QString::fromUtf8("Knihovna intenzit deště"));
    auto* folder = binder_->bind(*d.lblFolder, new QLabel(this));
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folder->setWordWrap(true);

    grid_ = new GridView(*d.fgLibrary, this);
    grid_->setActionRunner([this](const std::function<void()>& action) { binder_->act(action); });
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setMinimumSize(600, 220);

    auto* confirm = new QHBoxLayout;
    auto* question = binder_->bind(*d.lblConfirm, new QLabel(this));
    question->setWordWrap(true);
    confirm->addWidget(question, 1);
    confirm->addWidget(plainButton(binder_->bind(*d.cmdConfirmDelete, new QPushButton(this))));
    confirm->addWidget(plainButton(binder_->bind(*d.cmdKeep, new QPushButton(this))));

    auto* actions = new QHBoxLayout;
    for (model::Button* b : {d.cmdDelete, d.cmdImport, d.cmdExport, d.cmdConvert})
        actions->addWidget(plainButton(binder_->bind(*b, new QPushButton(this))));
    actions->addStretch();

    auto* report = binder_->bind(*d.txtReport, new QPlainTextEdit(this));
    report->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    report->setMinimumHeight(120);
    report->setPlaceholderText(QString::fromUtf8("Zde se zobrazí přehled posledního importu nebo převodu."));

    auto* close = new QHBoxLayout;
    close->addStretch();
    close->addWidget(plainButton(binder_->bind(*d.cmdClose, new QPushButton(this))));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folder);
    layout->addWidget(grid_, 2);
    layout->addLayout(confirm);
    layout->addLayout(actions);
    layout->addWidget(report, 1);
    layout->addLayout(close);

    auto wasOpen = std::make_shared<bool>(false);
    d.observe([self = QPointer<RainLibraryWindow>(this), owner, wasOpen] {
        if (self)
            showOverOwner(self, owner, self->dialog_, *wasOpen);
    });
    binder_->bindWindow(d, this, true);
}

void createRainLibraryWindows(model::Application& app, QWidget* owner)
{
    if (auto* prompt = dynamic_cast<model::RainSourceDialog*>(app.form("frmRainSource")))
        new RainSourceWindow(app, *prompt, owner);
    if (auto* library = dynamic_cast<model::RainLibraryDialog*>(app.form("frmRainLibrary")))
        new RainLibraryWindow(app, *library, owner);
}

} // namespace infil::ui
