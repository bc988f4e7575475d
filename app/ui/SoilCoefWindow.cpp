#include "model/Application.h"
#include "model/SoilCoefDialog.h"

#include "SoilCoefWindow.h"

#include "Binding.h"
#include "GridView.h"

#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace infil::ui {

SoilCoefWindow::SoilCoefWindow(model::Application& app, model::SoilCoefDialog& dialog, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Dialog), dialog_(dialog), mainWindow_(mainWindow), binder_(new Binder(app, this))
{
    setObjectName(QStringLiteral("frmCoefDialog"));
    setWindowTitle(QString::fromUtf8("Součinitele propustnosti nesoudržných hornin"));

    // The table over the whole window and OK at its bottom right, laid out so
    // that a large type widens the columns instead of cutting the names.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 4);
    column->setSpacing(4);
    grid_ = new GridView(*dialog.fgCoefProp, this);
    grid_->setActionRunner([this](const std::function<void()>& action) { binder_->act(action); });
    grid_->setPickColumn(2);
    grid_->setPlacedByLayout(GridView::Rows::All);
    column->addWidget(grid_, 1);
    auto* ok = binder_->bind(*dialog.cmdOK, new QPushButton(this));
    ok->setMinimumWidth(twipsToPixels(855));
    column->addWidget(ok, 0, Qt::AlignRight);

    // Placed before the binder shows it.
    dialog.observe([self = QPointer<SoilCoefWindow>(this)] {
        if (self)
            self->mirrorForm();
    });
    mirrorForm();
    binder_->bindWindow(dialog, this, true);
    binder_->setEnterButton(this, *dialog.cmdOK);
    fit();
}

void SoilCoefWindow::mirrorForm()
{
    const bool open = dialog_.isOpen();
    if (open && !wasOpen_ && mainWindow_) {
        winId();
        if (windowHandle() && mainWindow_->windowHandle())
            windowHandle()->setTransientParent(mainWindow_->windowHandle());
        fit();
        using D = model::SoilCoefDialog;
        move(mainWindow_->frameGeometry().topLeft() +
             QPoint(twipsToPixels(D::kOffsetLeft), twipsToPixels(D::kOffsetTop)));
        // The user works here now (the main window is disabled): the window
        // takes the keyboard once the binder has shown it.
        QTimer::singleShot(0, this, [self = QPointer<SoilCoefWindow>(this)] {
            if (self && self->isVisible()) {
                self->raise();
                self->activateWindow();
            }
        });
    }
    wasOpen_ = open;
}

void SoilCoefWindow::fit()
{
    // As wide as the original at least, and as its title; as high as the rows.
    using D = model::SoilCoefDialog;
    resize(sizeHint().expandedTo(QSize(std::max(twipsToPixels(D::kClientWidth), titleWidth(this)), 0)));
}

void createSoilCoefWindow(model::Application& app, QWidget& mainWindow)
{
    auto* dialog = dynamic_cast<model::SoilCoefDialog*>(app.form("frmCoefDialog"));
    if (!dialog)
        return;
    auto* window = new SoilCoefWindow(app, *dialog, &mainWindow);
    QObject::connect(&mainWindow, &QObject::destroyed, [window] { delete window; });
}

} // namespace infil::ui
