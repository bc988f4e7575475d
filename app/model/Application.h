#pragma once
// The running program without its windows: the project record, the window
// models, the program's folders, the clock and the message port. The Qt program
// and the batch mode each create one and drive it.

#include "CalcForm.h"
#include "Diagrams.h"
#include "Folders.h"
#include "Messages.h"
#include "ProjectRecord.h"
#include "ReportWriter.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace infil::project {
class Session;
}

namespace infil::model {

struct DateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// What the program asks of the desktop it runs on: the clock, the user's date
// and time formats, the web browser. This default serves the batch mode and the
// tests: the system clock, Czech formats ("6.5.2024", "7:08:09"), no browser.
// The windowed program supplies the desktop's own.
class Platform {
public:
    virtual ~Platform() = default;
    virtual DateTime now() const;
    virtual std::string shortDate(const DateTime& when) const;
    virtual std::string timeOfDay(const DateTime& when) const;
    virtual void openUrl(const std::string& address);

    // A file dialog: the file the user picked, nullopt when cancelled. This
    // default cancels; the batch mode answers from its steps.
    struct FileRequest {
        bool save = false;     // a file to write (asks before replacing one)
        std::string title;
        std::string filter;    // "Soubory CSV (*.csv)"
        std::string start;     // a folder or file name to start from
    };
    virtual std::optional<std::string> chooseFile(const FileRequest& request);
};

// The results view's two commands; the window that shows the report supplies
// them (without a window they do nothing).
class ReportView {
public:
    virtual ~ReportView() = default;
    // Asks for a name and saves the shown report.
    virtual void saveShownReport() {}
    virtual void previewShownReport() {}
};

// Draws the design's diagrams as pictures for the report; the Qt side
// supplies it. Without one the report says in words that it has no pictures.
class DiagramRenderer {
public:
    virtual ~DiagramRenderer() = default;
    // PNG bytes of the diagram for `width` × `height` pixels of the page;
    // empty when it cannot be drawn.
    virtual std::string png(const report::Diagram& diagram, int width, int height) = 0;
};

// A dialog window: opened (loaded) by the main window, closed by its own buttons
// or its close box.
class Dialog : public Form {
public:
    using Form::Form;
    // The load steps; the dialog is open afterwards.
    virtual void open() = 0;
};

class Application {
public:
    Application(Folders folders, MessagePort& messages);
    // Everything in one application folder (the batch mode's --app-dir).
    Application(const std::string& appDir, MessagePort& messages);
    // Removes this instance's report folder with whatever is left in it.
    ~Application();

    ProjectRecord& record() { return record_; }
    MessagePort& messages() { return messages_; }
    const Folders& folders() const { return folders_; }
    // The folder of the shipped pages (Webs/).
    const std::string& appDir() const { return folders_.data; }
    CalcForm& calc() { return *calc_; }
    // The project file the user works on, its unsaved changes and commands.
    project::Session& project() { return *project_; }

    // A new application like this one (the same folders and desktop) with
    // its windows loaded, reporting to `messages`. A project is opened into
    // one before it replaces what this one holds.
    std::unique_ptr<Application> freshCopy(MessagePort& messages) const;
    // Takes over the design of another application: its record (this one's
    // own files kept) and its main window's state.
    void adopt(Application& other);

    // The rain database to read: the first of the places it is looked for
    // where a file exists, else the first of them.
    std::string rainDatabasePath() const;

    // The main window and its dialogs, by window name ("frmCalc", "frmIntDialog" ...).
    Form* form(std::string_view name);
    std::vector<Form*> forms();
    void addDialog(std::unique_ptr<Dialog> dialog);
    // Opens a dialog by name; nothing happens for one this build lacks.
    void openDialog(std::string_view name);

    // Writes the report of the current design to ResultsFilePath (set here: the
    // report folder, "Infil_" and the project name). False, after telling the
    // user why, when no report could be written.
    bool writeResultsReport();
    // The report written last during this run, empty if none.
    const std::string& lastReport() const { return lastReport_; }
    // Deletes every report file written during this run: renaming the project
    // between two reports leaves the earlier name's file, too.
    void removeReports();
    // The diagrams of the report written last, and the picture files written
    // beside it for them (full paths; a diagram with nothing to draw has none).
    const std::vector<report::Diagram>& reportDiagrams() const { return reportDiagrams_; }
    const std::vector<std::string>& reportPictures() const { return reportPictures_; }
    // Deletes the pictures of the report written last; missing ones are no error.
    void removeReportPictures();
    // The size of the report's pictures on the page.
    static constexpr int kPictureWidth = 640;
    static constexpr int kPictureHeight = 320;

    // Runs one action of the user. A floating-point fault that no handler swallowed,
    // or any other unexpected error, becomes a message box; the program goes on.
    void userAction(const std::function<void()>& action);

    // The desktop and the results view; each must outlive the application or
    // be replaced (nullptr puts the default back).
    Platform& platform() const { return *platform_; }
    void setPlatform(Platform* platform) { platform_ = platform ? platform : &defaultPlatform_; }
    ReportView& reportView() const { return *reportView_; }
    void setReportView(ReportView* view) { reportView_ = view ? view : &noReportView_; }
    // The report's pictures are drawn by `renderer` (nullptr: none are drawn);
    // it must outlive the application or be replaced.
    void setDiagramRenderer(DiagramRenderer* renderer) { renderer_ = renderer; }

private:
    // The folder the report goes to; empty after a message when there is none.
    std::string reportFolder();

    Platform defaultPlatform_;
    ReportView noReportView_;
    Platform* platform_ = &defaultPlatform_;
    ReportView* reportView_ = &noReportView_;
    DiagramRenderer* renderer_ = nullptr;
    ProjectRecord record_;
    Folders folders_;
    InstanceFolder instanceFolder_;
    MessagePort& messages_;
    std::unique_ptr<CalcForm> calc_;
    std::vector<std::unique_ptr<Dialog>> dialogs_;
    std::unique_ptr<project::Session> project_;
    std::string lastReport_;
    std::vector<std::string> writtenReports_;
    std::vector<report::Diagram> reportDiagrams_;
    std::vector<std::string> reportPictures_;

    // Draws the diagrams into pictures beside the report at `reportPath`.
    std::vector<report::ReportDiagram> writeReportPictures(const std::string& reportPath);
};

// Creates the dialogs this build has and hands them to the application.
void installDialogs(Application& app);

} // namespace infil::model
