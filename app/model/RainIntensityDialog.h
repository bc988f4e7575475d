#pragma once
// The rain intensity dialog frmIntDialog as a model: the station and periodicity
// lists, the grid of the nine durations and intensities with its pick column
// and in-place editor, the help text and OK. The series lives in the project
// record; the dialog itself keeps only its controls' state.

#include "Application.h"
#include "Grid.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace infil::model {

class RainIntensityDialog : public Dialog {
public:
    explicit RainIntensityDialog(Application& app);

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
    void EditKeyCode(Grid& grid, TextBox& editor, int keyCode);

    std::map<int, Label*> lblInt;
    ComboBox* cboSelStanice;
    ComboBox* cboSelPeriod;
    Grid* fgIntDeste;
    TextBox* txtSChange;
    TextBox* txtHelp;
    Button* cmdCloseHelp;
    Button* cmdOK;
    Button* cmdEdit;

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
    void okClicked();
    // Sets a box's text as the window's load does: no change handler runs.
    static void resetText(TextBox& box, const std::string& text);

    Application& app_;
    Grid::Geometry editorGeometry_;
    int editRow_ = 0;
    int editCol_ = -1;
    int editorOpenings_ = 0;
};

// The running sum the OK button tests: each intensity added to a 16-bit whole
// number, rounded after every addition (ties to even). nullopt when the sum
// leaves the 16-bit range on the way.
std::optional<std::int16_t> intensitySum(const RainSeries& intensities);

} // namespace infil::model
