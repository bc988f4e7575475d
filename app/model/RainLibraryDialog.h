#pragma once
// The rain library's window: what the library holds (station, the
// periodicities present, source), deleting an entry after a confirmation,
// importing a CSV file, exporting the library, and converting an Access rain
// database into the open format. Reports of the last import or conversion
// stay readable in the window.

#include "Application.h"
#include "Grid.h"
#include "rain/RainLibrary.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace infil::model {

// The library's folder: "rain" in the user's data folder; empty when there is
// no such folder.
std::string rainLibraryFolder(const Folders& folders);

class RainLibraryDialog : public Dialog {
public:
    RainLibraryDialog(Application& app, std::shared_ptr<rain::RainLibrary> library);

    // Before open(): the window disabled meanwhile.
    void prepare(Form* owner) { owner_ = owner; }
    void open() override;
    void close() override;
    // Runs when the window has closed, after a change of the library or not.
    std::function<void()> onClosed;

    static constexpr const char* kLayout = "<Stanice|<Periodicity|<Zdroj";

    Label* lblFolder;
    Grid* fgLibrary;
    Label* lblConfirm;
    Button* cmdConfirmDelete;
    Button* cmdKeep;
    Button* cmdDelete;
    Button* cmdImport;
    Button* cmdExport;
    Button* cmdConvert;
    TextBox* txtReport;
    Button* cmdClose;

    // The entry each data row of the grid shows.
    const std::vector<rain::RainLibrary::Entry>& entries() const { return entries_; }
    // The entry picked for deleting (a grid row), 0 when none.
    int pickedRow() const { return picked_; }

private:
    void fill();
    void rowClicked();
    void askDelete();
    void confirmDelete();
    void hideConfirmation();
    void importClicked();
    void exportClicked();
    void convertClicked();
    void showReport(const std::string& text);
    // The file the user picks, nullopt when cancelled.
    std::optional<std::string> choose(bool save, const char* title, const char* filter, const std::string& start);

    Application& app_;
    std::shared_ptr<rain::RainLibrary> library_;
    Form* owner_ = nullptr;
    std::vector<rain::RainLibrary::Entry> entries_;
    int picked_ = 0;
};

} // namespace infil::model
