#pragma once
// The rain intensity dialog frmIntDialog as a model: the station and periodicity
// lists, the grid of the nine durations and intensities with its pick column
// and in-place editor, the help text and OK. The series lives in the project
// record; the dialog itself keeps only its controls' state.

#include "Application.h"
#include "Grid.h"
#include "rain/RainLibrary.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace infil::model {

class RainIntensityDialog : public Dialog {
public:
    // A station's intensities come from the user's rain library first and from
    // the Access database otherwise, periodicity by periodicity.
    RainIntensityDialog(Application& app, std::shared_ptr<rain::RainLibrary> library);

    // The load steps: main window disabled, lists filled, the stored station and
    // periodicity chosen again, grid rebuilt.
    void open() override;
    // The close box, and the last step of OK: the main window is enabled again;
    // what the dialog stored in the record stays there.
    void close() override;

    // Positions are laid out in twips like the original window, enlarged by half
    // so that today's fonts fit the grid's headers and rows. Give the original
    // numbers; the result is what the window uses.
    static Grid::Geometry place(int left, int top, int width, int height);
    static int scaled(int twips);

    // The pick column's column and the grid's layout string.
    static constexpr int kPickCol = 2;
    static const char* const kLayout;
    static const char* const kHelpText;
    static const char* const kNoIntensities;

    // Where the editor was put when a cell was last opened (twips, in the
    // window), and which cell it edits; col is -1 before the first opening.
    const Grid::Geometry& editorGeometry() const { return editorGeometry_; }
    int editorRow() const { return editRow_; }
    int editorCol() const { return editCol_; }
    // Counts the openings of the editor, so a view can select the whole text
    // and take the focus each time, also when the text stayed the same.
    int editorOpenings() const { return editorOpenings_; }

    // Enter or Esc in the editor: hides it and hands the focus to the grid.
    // Esc also takes back what the editor changed since it opened (the cell's
    // value and the station); Enter keeps it. True for these two keys.
    bool EditKeyCode(Grid& grid, TextBox& editor, int keyCode);

    std::map<int, Label*> lblInt;
    ComboBox* cboSelStanice;
    ComboBox* cboSelPeriod;
    Grid* fgIntDeste;
    TextBox* txtSChange;
    TextBox* txtHelp;
    Button* cmdCloseHelp;
    Button* cmdOK;
    Button* cmdEdit;
    // Where the series shown comes from, and the rain library's two buttons:
    // storing typed values, and the library's window.
    Label* lblSource;
    Button* cmdSaveToLibrary;
    Button* cmdLibrary;

    // Where each periodicity of the station chosen last comes from.
    enum class Origin { None, Library, Database };
    struct SeriesSource {
        Origin origin = Origin::None;
        std::string text; // the library's source, or "databáze infil.mdb"
    };
    const std::array<SeriesSource, 7>& sources() const { return sources_; }

    // Stores the typed series in the library under a station (identifier) and
    // periodicity (1..7) with its source; false after a message saying why not.
    // Afterwards the station is chosen, so the series shows as the library's.
    bool saveTyped(std::int16_t station, int periodicity, const std::string& source);

private:
    void build();
    void wireHandlers();

    void stationChosen();
    void periodicityChosen();
    void rebuildGrid();
    void gridCellLeft();
    void gridCellClicked();
    void openEditor(int row, int col);
    void editorChanged();
    void hideEditor();
    void cancelEdit();
    void okClicked();
    // Reads a station's seven series into StationIntensities from the library
    // and the database; false after a message when there is nothing to show.
    bool loadStation(std::int16_t station);
    void showSource();
    void markStations();
    void openSavePrompt();
    void openLibrary();
    void libraryClosed();
    // Sets a box's text as the window's load does: no change handler runs.
    static void resetText(TextBox& box, const std::string& text);

    Application& app_;
    std::shared_ptr<rain::RainLibrary> library_;
    std::array<SeriesSource, 7> sources_{};
    int lastStation_ = 0; // list position of the last real station chosen
    // The stations the database has tables for, read once per file version.
    struct DatabaseMarks {
        std::string path;
        long long size = -1;
        long long modified = 0;
        std::vector<std::int16_t> stations;
    } databaseMarks_;
    std::vector<rain::RainRow> libraryAtOpening_;
    Grid::Geometry editorGeometry_;
    int editRow_ = 0;
    int editCol_ = -1;
    int editorOpenings_ = 0;
    // What the cell being edited and the station were before the editor
    // opened, for Esc.
    struct BeforeEdit {
        float value = 0;
        std::string cellText;
        std::string stationName;
        int station = -1;
        std::string rainSource;
        std::array<SeriesSource, 7> sources{};
    } beforeEdit_;
};

// The running sum the OK button tests: each intensity added to a 16-bit whole
// number, rounded after every addition (ties to even). nullopt when the sum
// leaves the 16-bit range on the way.
std::optional<std::int16_t> intensitySum(const RainSeries& intensities);

} // namespace infil::model
