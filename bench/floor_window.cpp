// The floor of the start-up measurement: a bare Qt Widgets window of the main
// window's size with four tabs, reporting its first paint as Infil does.
#include "ui/FirstPaintProbe.h"

#include <QApplication>
#include <QLabel>
#include <QTabWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    infil::ui::FirstPaintProbe::installIfAsked(app);
    QTabWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    for (const char* title : {"První", "Druhá", "Třetí", "Čtvrtá"})
        window.addTab(new QLabel(QString::fromUtf8(title)), QString::fromUtf8(title));
    window.resize(1100, 660);
    window.show();
    return app.exec();
}
