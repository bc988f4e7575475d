// Infil: the main window, or, with --script, the batch mode that replays a
// scenario without a window, or, with --report, a project's report.
#include "model/Application.h"
#include "model/Folders.h"
#include "model/RainLibraryDialog.h"
#include "rain/RainCommands.h"
#include "project/Session.h"
#include "scenario/ScenarioRunner.h"
#include "ui/CalcWindow.h"
#include "ui/DiagramRenderer.h"
#include "ui/DialogWindows.h"
#include "ui/FirstPaintProbe.h"
#include "ui/ProjectMenu.h"
#include "ui/ProjectReport.h"
#include "ui/QtMessagePort.h"
#include "ui/QtServices.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QStandardPaths>
#include <QTranslator>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

bool hasDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform)
        return true; // the user chose a platform (offscreen, xcb, wayland ...)
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

// The folder of the executable.
std::string executableFolder(const char* argv0)
{
    std::error_code ec;
    auto self = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        self = fs::absolute(argv0, ec);
    return self.parent_path().string();
}

std::string absoluteFolder(const std::string& path)
{
    std::error_code ec;
    std::string folder = fs::absolute(path, ec).lexically_normal().string();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

// The folders of a normal run: the shipped data found from the program's own
// place, the user's folders from the platform.
infil::model::Folders installedFolders(const std::string& program)
{
    infil::model::Folders f;
    f.program = program;
    // Installed, the data lies in the data folder of the same prefix; in the
    // build tree, beside the program.
    std::error_code ec;
    const fs::path installed = (fs::path(program) / INFIL_DATA_FROM_BIN).lexically_normal();
    f.data = fs::is_directory(installed / "Webs", ec) ? absoluteFolder(installed.string()) : program;
    if (const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation); !data.isEmpty())
        f.userData = data.toStdString() + "/infil";
    // Qt 6.4 knows no state folder yet: the XDG rule, as for the others.
    const QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    if (stateHome.startsWith(QLatin1Char('/')))
        f.userState = stateHome.toStdString() + "/infil";
    else if (const QString home = qEnvironmentVariable("HOME"); home.startsWith(QLatin1Char('/')))
        f.userState = home.toStdString() + "/.local/state/infil";
    // Without XDG_RUNTIME_DIR, Qt would make a folder in /tmp and warn about
    // it; the report then gets its private folder in /tmp directly.
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        f.runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toStdString();
    if (const QString named = qEnvironmentVariable("INFIL_RAIN_DB"); !named.isEmpty())
        f.rainDatabase = fs::absolute(fs::path(named.toStdString()), ec).lexically_normal().string();
    return f;
}

// ---- the command line ----
// An option is declared in CommandLine::options() and read in parse(); what it
// does is main()'s business.

struct CommandLine {
    std::optional<std::string> script; // --script FILE ("-": standard input)
    std::optional<std::string> appDir; // --app-dir DIR
    std::optional<std::string> now;    // --now YYYY-MM-DDTHH:MM:SS
    std::optional<std::string> importRain; // --import-rain FILE
    std::optional<std::string> exportRain; // --export-rain FILE
    std::optional<std::string> fromMdb;    // --from-mdb FILE
    std::optional<std::string> project; // --project FILE: opened before the scenario's steps
    std::optional<std::string> report;  // --report FILE: the project whose report is written ...
    std::optional<std::string> file;    // ... to this file; without --report, the project to open
};

struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};
    QCommandLineOption script{QStringLiteral("script"),
                              QStringLiteral("Replay the scenario FILE (\"-\": standard input) without a window "
                                             "and print the resulting state as JSON."),
                              QStringLiteral("FILE")};
    QCommandLineOption appDir{QStringLiteral("app-dir"),
                              QStringLiteral("Use DIR as the one folder of this run: the pages (Webs/) and "
                                             "infil.mdb are read from it and the report is written into it "
                                             "and kept."),
                              QStringLiteral("DIR")};
    QCommandLineOption now{QStringLiteral("now"),
                           QStringLiteral("Take this as the present time (the clock, the report's date)."),
                           QStringLiteral("YYYY-MM-DDTHH:MM:SS")};
    QCommandLineOption project{QStringLiteral("project"),
                               QStringLiteral("With --script: open the project FILE before the steps."),
                               QStringLiteral("FILE")};
    QCommandLineOption report{QStringLiteral("report"),
                              QStringLiteral("Write the report of the project FILE to OUT (.htm, .html or .pdf) "
                                             "without a window: infil --report FILE.infil OUT."),
                              QStringLiteral("FILE")};

    QCommandLineOption importRain{QStringLiteral("import-rain"),
                                  QStringLiteral("Take the rain intensities of FILE (CSV, see rain-data.md) into "
                                                 "the rain library and print what was taken and what refused."),
                                  QStringLiteral("FILE")};
    QCommandLineOption exportRain{QStringLiteral("export-rain"),
                                  QStringLiteral("Write the rain library (with --from-mdb: everything that "
                                                 "database holds) into the CSV file FILE."),
                                  QStringLiteral("FILE")};
    QCommandLineOption fromMdb{QStringLiteral("from-mdb"),
                               QStringLiteral("With --export-rain: convert this Access rain database."),
                               QStringLiteral("FILE")};

    void addTo(QCommandLineParser& parser) const
    {
        parser.addOptions({help, version, script, appDir, now, project, report, importRain, exportRain, fromMdb});
        parser.addPositionalArgument(QStringLiteral("FILE.infil"), QStringLiteral("A project to open at start."),
                                     QStringLiteral("[FILE.infil]"));
    }
};

std::string text(const QString& s) { return s.toLocal8Bit().toStdString(); }

// What the command line combines that does not go together, or nullptr.
const char* misuseOf(const CommandLine& line)
{
    const int commands =
        (line.script ? 1 : 0) + (line.importRain ? 1 : 0) + (line.exportRain ? 1 : 0) + (line.report ? 1 : 0);
    if (commands > 1)
        return "--script, --report, --import-rain and --export-rain exclude each other";
    if (line.fromMdb && !line.exportRain)
        return "--from-mdb goes with --export-rain";
    if (line.report && !line.file)
        return "--report needs the report's name: infil --report FILE.infil OUT";
    if (line.report && !infil::ui::isReportName(*line.file))
        return "the report's name must end in .htm, .html or .pdf";
    if (line.script && line.file)
        return "a scenario opens its project with --project FILE";
    if (line.project && !line.script)
        return "--project belongs to --script; a project to open is named alone: infil FILE.infil";
    if ((line.importRain || line.exportRain) && line.file)
        return "--import-rain and --export-rain take no project";
    return nullptr;
}

// Exit status: 0 after --help or --version, 2 after an error, -1 to go on.
int parse(int argc, char* argv[], CommandLine& line)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Infil designs facilities that let rainwater soak into the ground.\n"
        "Without options it opens its window, with FILE.infil that project; with --script it replays\n"
        "a design without one; with --report it writes the report of a saved project."));
    const Options options;
    options.addTo(parser);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool parsed = parser.parse(arguments);
    // One file may follow: the project to open, or the report's OUT.
    if (!parsed || parser.positionalArguments().size() > 1 ||
        (parser.isSet(options.report) && parser.positionalArguments().size() != 1)) {
        const QString error = !parser.errorText().isEmpty()            ? parser.errorText()
                              : parser.positionalArguments().size() > 1 ? QStringLiteral("unexpected argument '%1'")
                                                                             .arg(parser.positionalArguments().at(1))
                                                                       : QStringLiteral("--report needs FILE.infil and OUT");
        std::fprintf(stderr, "infil: %s\nTry 'infil --help' for the options.\n", text(error).c_str());
        return 2;
    }
    if (parser.isSet(options.help)) {
        // Without a running application Qt cannot know the program's name.
        QString help = parser.helpText();
        help.replace(QStringLiteral("<executable_name>"), QStringLiteral("infil"));
        help += QStringLiteral(
            "\nThe rain database infil.mdb is looked for in the file INFIL_RAIN_DB names,\n"
            "then in ~/.local/share/infil/, the program's data folder and the program's\n"
            "folder. The report is written into a private folder of the running program\n"
            "in $XDG_RUNTIME_DIR (else the temporary folder) and deleted when it ends.\n"
            "The rain library (the user's own intensities, CSV) lies in\n"
            "~/.local/share/infil/rain/ (with --app-dir: DIR/rain/).\n"
            "See infil(1).\n");
        std::fputs(text(help).c_str(), stdout);
        return 0;
    }
    if (parser.isSet(options.version)) {
        std::printf("infil %s\n", INFIL_VERSION);
        return 0;
    }
    if (parser.isSet(options.script))
        line.script = text(parser.value(options.script));
    if (parser.isSet(options.appDir))
        line.appDir = absoluteFolder(text(parser.value(options.appDir)));
    if (parser.isSet(options.now))
        line.now = text(parser.value(options.now));
    if (parser.isSet(options.project))
        line.project = text(parser.value(options.project));
    if (parser.isSet(options.report))
        line.report = text(parser.value(options.report));
    if (!parser.positionalArguments().isEmpty())
        line.file = text(parser.positionalArguments().constFirst());
    if (parser.isSet(options.importRain))
        line.importRain = text(parser.value(options.importRain));
    if (parser.isSet(options.exportRain))
        line.exportRain = text(parser.value(options.exportRain));
    if (parser.isSet(options.fromMdb))
        line.fromMdb = text(parser.value(options.fromMdb));
    const char* misuse = misuseOf(line);
    if (misuse) {
        std::fprintf(stderr, "infil: %s\nTry 'infil --help' for the options.\n", misuse);
        return 2;
    }
    return -1;
}

// The window's icon from the installed files, without a search of the icon
// themes (a sixth of the start). The sizes a title bar and a task bar show; the
// launcher and the task switcher find the large ones by the desktop file's
// theme name. The themes are asked only where the files are missing.
QIcon windowIcon(const std::string& program)
{
    const QString folder = QString::fromStdString(program) + QStringLiteral("/" INFIL_ICONS_FROM_BIN "/");
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        const QString file = folder + QStringLiteral("%1x%1/apps/cz.infil.Infil.png").arg(size);
        if (QFileInfo::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon.isNull() ? QIcon::fromTheme(QStringLiteral("cz.infil.Infil")) : icon;
}

// The project of the last run that ended without saving is offered first,
// then the file named on the command line is opened.
void openProjectAtStart(infil::model::Application& app, infil::ui::CalcWindow& window,
                        const std::optional<std::string>& file)
{
    infil::project::Session& session = app.project();
    if (!app.folders().userState.empty())
        session.setRecoveryFolder(app.folders().userState + "/recovery");
    session.start();
    window.show();
    app.userAction([&] { session.offerRecovery(); });
    if (file)
        window.projectMenu()->openFile(QString::fromLocal8Bit(file->c_str()));
}

} // namespace

int main(int argc, char* argv[])
{
    CommandLine line;
    if (const int status = parse(argc, argv, line); status >= 0)
        return status;

    const std::string program = executableFolder(argv[0]);
    infil::scenario::Options options;
    // The report's pictures, in the window and in the batch mode alike.
    infil::ui::QtDiagramRenderer renderer;
    options.renderer = &renderer;
    options.now = line.now;
    options.project = line.project;
    if (line.appDir) {
        options.appDir = *line.appDir;
    } else {
        options.appDir = program;
        options.folders = installedFolders(program);
    }

    if (line.importRain || line.exportRain) {
        const infil::model::Folders folders =
            options.folders ? *options.folders : infil::model::Folders::single(options.appDir);
        const std::string library = infil::model::rainLibraryFolder(folders);
        if (line.importRain)
            return infil::rain::importRainCommand(*line.importRain, library, std::cout);
        return infil::rain::exportRainCommand(*line.exportRain, line.fromMdb, library, std::cout);
    }

    if (line.script) {
        if (*line.script == "-")
            return infil::scenario::run(std::cin, options, std::cout, std::cerr);
        std::ifstream file(*line.script, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "infil: cannot read the scenario %s\n", line.script->c_str());
            return 2;
        }
        return infil::scenario::run(file, options, std::cout, std::cerr);
    }

    if (line.report) {
        // Written without a window, whether or not a display is there.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication qt(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        return infil::ui::writeProjectReport(
            options.folders ? *options.folders : infil::model::Folders::single(options.appDir), *line.report, *line.file);
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
    infil::ui::FirstPaintProbe::installIfAsked(qt); // start-up measurement only
    QApplication::setApplicationName("Infil");
    QApplication::setApplicationVersion(INFIL_VERSION);
    QGuiApplication::setDesktopFileName(QStringLiteral("cz.infil.Infil"));
    QApplication::setWindowIcon(windowIcon(program));
    QTranslator qtTexts;
    infil::ui::installQtTranslations(qtTexts);
    // Qt has switched the C library to the user's locale; the program's numbers
    // are never the user's (decimal ".", group " "), so conversions stay neutral.
    std::setlocale(LC_NUMERIC, "C");
    infil::ui::QtMessagePort messages;
    infil::model::Application app(options.folders ? *options.folders : infil::model::Folders::single(options.appDir),
                                  messages);
    infil::ui::QtPlatform platform;
    app.setPlatform(&platform);
    app.setDiagramRenderer(&renderer);
    infil::model::installDialogs(app);
    infil::ui::CalcWindow window(app);
    infil::ui::createDialogWindows(app, window);
    app.userAction([&] { app.calc().load(); });
    openProjectAtStart(app, window, line.file);
    // Closing the main window ends the program, whatever else is open.
    QObject::connect(&window, &infil::ui::CalcWindow::closed, &qt, &QApplication::quit, Qt::QueuedConnection);
    const int status = qt.exec();
    app.userAction([&] { app.calc().unload(); }); // deletes the report file
    app.removeReports();                           // and those of the project's earlier names
    return status;
}
