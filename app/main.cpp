// Infil: the main window, or, with --script, the batch mode that replays a
// scenario without a window.
#include "model/Application.h"
#include "scenario/ScenarioRunner.h"
#include "ui/CalcWindow.h"
#include "ui/DialogWindows.h"
#include "ui/QtMessagePort.h"
#include "ui/QtServices.h"

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

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

// The folder of the executable: where the program's data lies.
std::string executableFolder(const char* argv0)
{
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        self = std::filesystem::absolute(argv0, ec);
    return self.parent_path().string();
}

int usage(const char* message)
{
    std::fprintf(stderr,
                 "infil: %s\n"
                 "usage: infil                      start the program\n"
                 "       infil --script FILE [--app-dir DIR] [--now YYYY-MM-DDTHH:MM:SS]\n"
                 "                                  replay a scenario without a window\n",
                 message);
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    std::optional<std::string> script;
    infil::scenario::Options options;
    options.appDir = executableFolder(argv[0]);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc)
                return std::nullopt;
            return std::string(argv[++i]);
        };
        if (arg == "--script") {
            script = value();
            if (!script)
                return usage("--script needs a file");
        } else if (arg == "--app-dir") {
            auto dir = value();
            if (!dir)
                return usage("--app-dir needs a folder");
            std::error_code ec;
            options.appDir = std::filesystem::absolute(*dir, ec).lexically_normal().string();
            while (options.appDir.size() > 1 && options.appDir.back() == '/')
                options.appDir.pop_back();
        } else if (arg == "--now") {
            options.now = value();
            if (!options.now)
                return usage("--now needs a date and time");
        } else if (arg == "--help" || arg == "-h") {
            usage("help");
            return 0;
        } else {
            return usage(("unknown option " + arg).c_str());
        }
    }

    if (script) {
        if (*script == "-")
            return infil::scenario::run(std::cin, options, std::cout, std::cerr);
        std::ifstream file(*script, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "infil: cannot read the scenario %s\n", script->c_str());
            return 2;
        }
        return infil::scenario::run(file, options, std::cout, std::cerr);
    }

    if (!hasDisplay()) {
        std::fputs("Infil is a desktop program and no display is available (DISPLAY and\n"
                   "WAYLAND_DISPLAY are not set). Run it under a virtual X server with\n"
                   "  xvfb-run -a infil\n"
                   "or replay a design without a window with\n"
                   "  infil --script FILE.json\n",
                   stderr);
        return 1;
    }
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Infil");
    // Qt has switched the C library to the user's locale; the program's numbers
    // are never the user's (decimal ".", group " "), so conversions stay neutral.
    std::setlocale(LC_NUMERIC, "C");
    infil::ui::QtMessagePort messages;
    infil::model::Application app(options.appDir, messages);
    infil::ui::QtPlatform platform;
    app.setPlatform(&platform);
    infil::model::installDialogs(app);
    infil::ui::CalcWindow window(app);
    infil::ui::createDialogWindows(app, window);
    app.userAction([&] { app.calc().load(); });
    // Closing the main window ends the program, whatever else is open.
    QObject::connect(&window, &infil::ui::CalcWindow::closed, &qt, &QApplication::quit, Qt::QueuedConnection);
    window.show();
    const int status = qt.exec();
    app.userAction([&] { app.calc().unload(); }); // deletes the report file
    return status;
}
