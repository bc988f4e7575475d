#include "model/Application.h"
#include "model/SoilCoefDialog.h"

#include "SoilCoefWindow.h"

#include "Binding.h"
#include "GridView.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace infil::ui {

SoilCoefWindow::SoilCoefWindow(model::Application& app, model::SoilCoefDialog& dialog, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Dialog), dialog_(dialog), mainWindow_(mainWindow), binder_(new Binder(app, this))
{
    using D = model::SoilCoefDialog;
    setObjectName(QStringLiteral("frmCoefDialog"));
    setWindowTitle(QString::fromUtf8("Součinitele propustnosti nesoudržných hornin"));

    grid_ = new GridView(*dialog.fgCoefProp, this);
    grid_->setActionRunner([this](const std::function<void()>& action) { binder_->act(action); });
    auto* ok = binder_->bind(*dialog.cmdOK, new QPushButton(this));
    ok->setAutoDefault(false);
    // The button keeps its place at the right edge, as high as the style needs.
    const int height = std::max(twipsToPixels(255), ok->sizeHint().height());
    ok->setGeometry(twipsToPixels(4200), twipsToPixels(2400) - 2, twipsToPixels(855), height);
    setFixedSize(twipsToPixels(D::kClientWidth), std::max(twipsToPixels(D::kClientHeight), ok->geometry().bottom() + 4));

    // Placed before the binder shows it.
    dialog.observe([self = QPointer<SoilCoefWindow>(this)] {
        if (self)
            self->mirrorForm();
    });
    mirrorForm();
    binder_->bindWindow(dialog, this, true);
}

void SoilCoefWindow::mirrorForm()
{
    const bool open = dialog_.isOpen();
    if (open && !wasOpen_ && mainWindow_) {
        winId();
        if (windowHandle() && mainWindow_->windowHandle())
            windowHandle()->setTransientParent(mainWindow_->windowHandle());
        fitFont();
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

void SoilCoefWindow::fitFont()
{
    // The table was drawn for a small type: the window takes the largest type,
    // up to the program's own, in which the soil names and headers fit.
    QFont font = QApplication::font(this);
    const model::Grid& grid = *dialog_.fgCoefProp;
    auto fits = [&] {
        const QFontMetrics metrics(font);
        for (int r = 0; r < grid.rows(); ++r)
            for (int c = 0; c < grid.cols(); ++c)
                if (metrics.horizontalAdvance(QString::fromStdString(grid.text(r, c))) >
                    twipsToPixels(grid.colWidth(c)) - 8)
                    return false;
        return true;
    };
    const bool points = font.pointSizeF() > 0;
    for (double size = points ? font.pointSizeF() : font.pixelSize(); size > (points ? 7.0 : 9.0) && !fits();) {
        size -= points ? 0.25 : 1.0;
        points ? font.setPointSizeF(size) : font.setPixelSize(static_cast<int>(size));
    }
    setFont(font);
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
