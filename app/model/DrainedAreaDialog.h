#pragma once
// The drained-area editor frmDialog as a model: the runoff table to pick a
// coefficient from, the partial areas entered with their coefficients, and the
// reduced area A_N = Σ area × coefficient kept current while the user works.
// The entries live in the project record's three parallel lists (slots 1..n and
// one spare slot), so they stay between openings. OK hands A_N to the main
// window's box, whose handler recomputes the inflow and the design.

#include "Application.h"
#include "Grid.h"

#include <cstdint>
#include <string>

namespace infil::model {

class DrainedAreaDialog : public Dialog {
public:
    explicit DrainedAreaDialog(Application& app);

    void open() override;
    // The close box: as Cancel.
    void close() override;

    // Window-level state while the window is open.
    float SelectedCoef = 0;   // coefficient for the next entry; 0: none picked
    std::string SelectedKind; // surface kind for the next entry
    std::int16_t SelectedRow = 0; // entry marked for deletion

    // How many times the cell editor has been opened over a cell; the view
    // places the editor and selects its text when this changes.
    int editorOpenings() const { return editorOpenings_; }

    // Window geometry in twips: the client area.
    static constexpr int kClientWidth = 11505;
    static constexpr int kClientHeight = 8505;

    Grid* fgSoucPovrchOdtok;
    TextBox* txtSoucinitel;
    TextBox* txtPlocha;
    Button* cmdZapsat;
    Grid* fgZapisTab;
    TextBox* txtOdvodNepPlocha; // the editor's own display of A_N
    Button* cmdDelete;
    Button* cmdDeleteAll;
    Button* OKButton;
    Button* CancelButton;
    TextBox* txtSChange; // in-place editor of an entry's cell

private:
    ProjectRecord& record() { return app_.record(); }
    int entryCount() { return record().SubAreaCoefs.slotCount() - 1; }

    void build();
    void fillRunoffTable();
    void runoffClicked();
    void runoffLeft();
    void addEntry();
    void FillEntryTable();
    void SumReducedArea();
    void entryClicked();
    void entryLeft();
    void cellEdited();
    // Enter or Esc in the cell editor; true for those two keys.
    bool EditKeyCode(int keyCode);
    // Hides the cell editor; a number column left with no number is reported.
    void closeEditor();
    void deleteEntry();
    void deleteAll();
    void okClicked();
    // Closes the window: with keep = false the entries and A_N go back to what
    // they were when it opened.
    void finish();
    void resizeLists(int count);
    void error(const char* text);

    Application& app_;
    int editorOpenings_ = 0;

    // The entries and A_N as they were when the window opened, for Cancel.
};

} // namespace infil::model
