// Infil: starts the main window, or replays a scenario without a window.
#include "ui/CalcWindow.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool hasDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform)
        return true; // the user chose a platform (offscreen, xcb, wayland ...)
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

} // namespace

int main(int argc, char* argv[])
{
    if (!hasDisplay()) {
        std::fputs("Infil is a desktop program and no display is available (DISPLAY and\n"
                   "WAYLAND_DISPLAY are not set). Run it under a virtual X server with\n"
                   "  xvfb-run -a infil\n"
                   "or replay a design without a window with\n"
                   "  infil --script FILE.json\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Infil");
    infil::ui::CalcWindow window;
    window.show();
    return app.exec();
}
