#include "DrainedAreaDialog.h"

#include "FloatOps.h"
#include "NumberEntry.h"
#include "NumberFormat.h"

#include <cmath>
#include <optional>

namespace infil::model {
namespace {

constexpr int kNoIndex = -1;
constexpr int kRunoffRows = 19;

const char* const kPickCoefficient = "Vyberte odtokový součinitel";
const char* const kEnterArea = "Zadejte dílčí plochu";

// The number a whole text stands for, when it is one and a Single holds it.
std::optional<float> convertedSingle(const std::string& text)
{
    const std::optional<double> value = num::convert(text);
    if (!value || !num::fitsSingle(*value))
        return std::nullopt;
    return static_cast<float>(*value);
}

// Runs `step` when the object is destroyed, also when an exception leaves.
template <typename F>
struct Finally {
    F step;
    ~Finally() { step(); }
};
template <typename F>
Finally(F) -> Finally<F>;

} // namespace

DrainedAreaDialog::DrainedAreaDialog(Application& app) : Dialog("frmDialog"), app_(app)
{
    build();
}

void DrainedAreaDialog::build()
{
    auto button = [this](const char* name, const char* caption) {
        Button* b = &add<Button>(name, kNoIndex, nullptr);
        b->setCaption(caption);
        return b;
    };

    fgSoucPovrchOdtok = &add<Grid>("fgSoucPovrchOdtok", kNoIndex, nullptr);
    fgSoucPovrchOdtok->setGeometry({120, 120, 11295, 4875});
    fgSoucPovrchOdtok->setToolTip("Součinitel odtoku se vybere ve sloupci Výběr klepnutím nebo mezerníkem");
    txtSoucinitel = &add<TextBox>("txtSoucinitel", kNoIndex, nullptr);
    txtSoucinitel->setToolTip("Součinitel odtoku dílčí plochy [-], 0 až 1; vybere se v tabulce, lze jej i napsat");
    txtPlocha = &add<TextBox>("txtPlocha", kNoIndex, nullptr);
    txtPlocha->setToolTip("Velikost dílčí plochy [m²]; Enter ji zapíše do tabulky");
    cmdZapsat = button("cmdZapsat", "Zapsat do tabulky");
    cmdZapsat->setMnemonic('Z');
    cmdZapsat->setToolTip("Zapsat dílčí plochu s vybraným součinitelem do tabulky");
    fgZapisTab = &add<Grid>("fgZapisTab", kNoIndex, nullptr);
    fgZapisTab->setGeometry({120, 5640, 6855, 2775});
    fgZapisTab->setVisible(false);
    fgZapisTab->setToolTip("Zapsané dílčí plochy; klepnutím nebo mezerníkem se buňka otevře k opravě");
    // The sum is the editor's own result; typing over it would change nothing.
    txtOdvodNepPlocha = &add<TextBox>("txtOdvodNepPlocha", kNoIndex, nullptr);
    txtOdvodNepPlocha->setReadOnly(true);
    txtOdvodNepPlocha->setToolTip("Redukovaná odvodňovaná plocha [m²]: součet dílčích ploch násobených součiniteli");
    cmdDelete = button("cmdDelete", "Smazat");
    cmdDelete->setMnemonic('S');
    cmdDelete->setToolTip("Smazat dílčí plochu vybranou ve sloupci Výběr");
    cmdDeleteAll = button("cmdDeleteAll", "Smazat vše");
    cmdDeleteAll->setMnemonic('v');
    cmdDeleteAll->setToolTip("Smazat všechny dílčí plochy");
    OKButton = button("OKButton", "OK");
    OKButton->setMnemonic('O');
    OKButton->setToolTip("Převzít odvodňovanou plochu do výpočtu");
    CancelButton = button("CancelButton", "Cancel");
    CancelButton->setMnemonic('C');
    CancelButton->setToolTip("Zavřít okno; plocha ve výpočtu zůstane, jak byla");
    txtSChange = &add<TextBox>("txtSChange", kNoIndex, nullptr);
    txtSChange->setVisible(false);

    // A click into either grid takes the focus from an open cell editor first,
    // which hides it.
    auto editorLosesFocus = [this] {
        if (txtSChange->visible())
            txtSChange->lostFocus();
    };
    fgSoucPovrchOdtok->onClick = [this, editorLosesFocus] {
        editorLosesFocus();
        runoffClicked();
    };
    fgSoucPovrchOdtok->onLeaveCell = [this, editorLosesFocus] {
        editorLosesFocus();
        runoffLeft();
    };
    txtSoucinitel->onChange = [this] {
        // A typed coefficient counts as a pick; one beyond a Single is ignored.
        const double value = num::valueOf(txtSoucinitel->text());
        if (num::fitsSingle(value))
            SelectedCoef = static_cast<float>(value);
    };
    txtPlocha->onKeyDown = [this](int keyCode) {
        if (keyCode != 13)
            return false;
        addEntry();
        return true;
    };
    cmdZapsat->onClick = [this] { addEntry(); };
    fgZapisTab->onClick = [this, editorLosesFocus] {
        editorLosesFocus();
        entryClicked();
    };
    fgZapisTab->onLeaveCell = [this, editorLosesFocus] {
        editorLosesFocus();
        entryLeft();
    };
    txtSChange->onChange = [this] { cellEdited(); };
    txtSChange->onKeyDown = [this](int keyCode) { return EditKeyCode(keyCode); };
    txtSChange->onLostFocus = [this] { closeEditor(); };
    cmdDelete->onClick = [this] { deleteEntry(); };
    cmdDeleteAll->onClick = [this] { deleteAll(); };
    OKButton->onClick = [this] { okClicked(); };
    CancelButton->onClick = [this] { finish(); };
}

// ---------------------------------------------------------------------------
// Opening and closing

void DrainedAreaDialog::open()
{
    app_.calc().setEnabled(false);

    // Every opening starts from a fresh window: nothing picked, empty boxes.
    txtSChange->setVisible(false);
    txtSChange->setText("");
    txtSoucinitel->setText("");
    txtPlocha->setText("");
    txtOdvodNepPlocha->setText("");
    SelectedCoef = 0;
    SelectedKind.clear();
    SelectedRow = 0;

    cmdDelete->setEnabled(false);
    fgZapisTab->setVisible(false);
    fillRunoffTable();
    FillEntryTable();
    setOpen(true);
}

// The entries are edited in place: Cancel and the close box keep them (the next
// opening shows them again); only the main window's text is not written.
void DrainedAreaDialog::close() { finish(); }

void DrainedAreaDialog::finish()
{
    txtSChange->setVisible(false);
    setOpen(false);
    app_.calc().setEnabled(true);
}

void DrainedAreaDialog::okClicked()
{
    // The window closes also when the main window's recalculation stops on a fault.
    Finally closing{[this] { finish(); }};
    const ProjectRecord& r = record();
    CalcForm& main = app_.calc();
    if (r.OdvodNepPlocha != 0) {
        main.txtOdvodNepPlocha->setText(num::plain(r.OdvodNepPlocha));
    } else {
        main.txtOdvodNepPlocha->setText("");
        main.txtOdtokDoInfil->setText("");
    }
}

// ---------------------------------------------------------------------------
// The runoff table and the pick

void DrainedAreaDialog::fillRunoffTable()
{
    const ProjectRecord& r = record();
    Grid& g = *fgSoucPovrchOdtok;
    Grid::Batch batch(g);
    g.reset("Typ plochy|<Způsob zpevnění povrchu|<Součinitel|<Výběr");
    g.setColShares({0.3, 0.5, 0.1, 0.1});
    g.setMergeCol(0, true);
    for (int i = 1; i <= kRunoffRows; ++i)
        g.addRow({r.SurfaceGroups[i], r.SurfaceKinds[i], num::fixed(r.RunoffCoefs[i], 2)});
    g.removeRow(1);
    g.setColAlignment(2, Grid::Align::Center);
    g.setColAlignment(3, Grid::Align::Center);
}

void DrainedAreaDialog::runoffClicked()
{
    Grid& g = *fgSoucPovrchOdtok;
    if (g.col() != 3)
        return;
    const ProjectRecord& r = record();
    const int row = g.row();
    g.setCellPicture(Grid::Picture::Check);
    SelectedCoef = r.RunoffCoefs[row];
    SelectedKind = r.SurfaceKinds[row];
    txtSoucinitel->setText(num::fixed(SelectedCoef, 2));
    txtPlocha->setText("");
    setFocus(txtPlocha);
}

void DrainedAreaDialog::runoffLeft()
{
    // Moving away from the picked cell drops the pick; the box keeps its number.
    fgSoucPovrchOdtok->setCellPicture(Grid::Picture::Blank);
    SelectedCoef = 0;
}

// ---------------------------------------------------------------------------
// Entries

void DrainedAreaDialog::error(const char* text)
{
    app_.messages().showMessage({MessageIcon::Exclamation, std::string(kErrorTitle), text});
}

void DrainedAreaDialog::resizeLists(int count)
{
    ProjectRecord& r = record();
    r.SubAreaSizes.resizeKeeping(count);
    r.SubAreaCoefs.resizeKeeping(count);
    r.SubAreaKinds.resizeKeeping(count);
}

void DrainedAreaDialog::addEntry()
{
    if (SelectedCoef == 0) {
        error(kPickCoefficient);
        return;
    }
    const std::string& text = txtPlocha->text();
    // An area beyond the range of a Single is refused like any other bad area.
    const std::optional<float> area = convertedSingle(text);
    if (num::valueOf(text) == 0 || !area) {
        error(kEnterArea);
        return;
    }
    ProjectRecord& r = record();
    const int spare = r.SubAreaCoefs.slotCount();
    r.SubAreaCoefs[spare] = SelectedCoef;
    r.SubAreaKinds[spare] = SelectedKind;
    r.SubAreaSizes[spare] = *area;
    resizeLists(spare + 1);
    FillEntryTable();
}

void DrainedAreaDialog::FillEntryTable()
{
    ProjectRecord& r = record();
    Grid& g = *fgZapisTab;
    // The cell the editor was over is gone.
    txtSChange->setVisible(false);
    {
        Grid::Batch batch(g);
        g.clear();
        g.setRows(2);
        g.setLayout("ID|<Dílčí plocha|<Odtokový součinitel|<Typ povrchu|<Výběr");
        g.setColShares({0.1, 0.2, 0.2, 0.4, 0.1});
    }
    // Whether there are entries is a matter of their count: an entry whose
    // area was edited to 0 is still an entry and stays in the table and the sum.
    const int n = entryCount();
    if (n >= 1) {
        {
            Grid::Batch batch(g);
            for (int i = 1; i <= n; ++i)
                g.addRow({std::to_string(i), num::fixed(r.SubAreaSizes[i], 0),
                          num::fixed(r.SubAreaCoefs[i], 2), r.SubAreaKinds[i]},
                         i);
            g.removeRow(n + 1);
        }
        g.setVisible(true);
        SumReducedArea();
    } else {
        r.OdvodNepPlocha = 0;
        txtOdvodNepPlocha->setText("");
        g.setVisible(false);
    }
}

void DrainedAreaDialog::SumReducedArea()
{
    ProjectRecord& r = record();
    r.OdvodNepPlocha = 0;
    try {
        for (int i = 1; i <= entryCount(); ++i)
            r.OdvodNepPlocha = fp::single(static_cast<double>(r.SubAreaCoefs[i]) * r.SubAreaSizes[i] +
                                          r.OdvodNepPlocha);
    } catch (const FloatFault&) {
        // No partial sum is left behind to be taken for the area.
        r.OdvodNepPlocha = 0;
        txtOdvodNepPlocha->setText("");
        throw;
    }
    txtOdvodNepPlocha->setText(num::plain(r.OdvodNepPlocha));
}

void DrainedAreaDialog::entryClicked()
{
    const ProjectRecord& r = record();
    if (!(r.SubAreaSizes[1] > 0))
        return;
    Grid& g = *fgZapisTab;
    const int row = g.row();
    const int col = g.col();
    if (col == 4) {
        g.setCellPicture(Grid::Picture::Check);
        SelectedRow = static_cast<std::int16_t>(row);
        cmdDelete->setEnabled(true);
        return;
    }
    // Opening a cell shows its stored value; setting it counts as an edit. The
    // editor is up before that edit, so it stays open for mending a value whose
    // sum overflows.
    txtSChange->setVisible(true);
    setFocus(txtSChange);
    ++editorOpenings_;
    notify();
    switch (col) {
    case 1: txtSChange->setText(num::plain(r.SubAreaSizes[row])); break;
    case 2: txtSChange->setText(num::plain(r.SubAreaCoefs[row])); break;
    case 3: txtSChange->setText(r.SubAreaKinds[row]); break;
    default: break; // column 0 keeps whatever the editor held
    }
}

void DrainedAreaDialog::entryLeft()
{
    fgZapisTab->setCellPicture(Grid::Picture::Blank);
    cmdDelete->setEnabled(false);
}

void DrainedAreaDialog::cellEdited()
{
    const std::string& text = txtSChange->text();
    if (text.empty())
        return;
    ProjectRecord& r = record();
    Grid& g = *fgZapisTab;
    const int row = g.row();
    if (row < 1 || row > entryCount())
        return;
    // A text that is no number (yet), or none a Single holds, changes no stored
    // value, and the cell goes on showing the value in use.
    switch (g.col()) {
    case 1:
        if (const auto value = convertedSingle(text))
            r.SubAreaSizes[row] = *value;
        g.setText(row, 1, num::fixed(r.SubAreaSizes[row], 0));
        break;
    case 2:
        if (const auto value = convertedSingle(text))
            r.SubAreaCoefs[row] = *value;
        g.setText(row, 2, num::fixed(r.SubAreaCoefs[row], 2));
        break;
    case 3:
        r.SubAreaKinds[row] = text;
        g.setText(row, 3, text);
        break;
    default:
        break;
    }
    SumReducedArea();
}

bool DrainedAreaDialog::EditKeyCode(int keyCode)
{
    // Esc closes the editor like Enter: edits are stored as they are typed.
    if (keyCode != 13 && keyCode != 27)
        return false;
    closeEditor();
    setFocus(fgZapisTab);
    return true;
}

void DrainedAreaDialog::closeEditor()
{
    if (!txtSChange->visible())
        return;
    txtSChange->setVisible(false);
    // A number column left with a text that is no number: the cell kept its value.
    const int row = fgZapisTab->row();
    const int col = fgZapisTab->col();
    const std::string& text = txtSChange->text();
    if ((col != 1 && col != 2) || row < 1 || row > entryCount() || text.empty() || convertedSingle(text))
        return;
    const ProjectRecord& r = record();
    const std::string kept = col == 1 ? num::plain(r.SubAreaSizes[row]) : num::plain(r.SubAreaCoefs[row]);
    const bool outOfRange = num::convert(text).has_value();
    app_.messages().showMessage(
        unreadNumber(text, col == 1 ? "Dílčí plocha" : "Odtokový součinitel", kept, outOfRange));
}

void DrainedAreaDialog::deleteEntry()
{
    const int n = entryCount();
    const int row = SelectedRow;
    if (n < 1 || row < 1)
        return; // nothing marked
    ProjectRecord& r = record();
    if (row >= n) {
        // The last entry: its slot becomes the spare one.
        resizeLists(n);
        if (r.SubAreaSizes.slotCount() == 1) {
            r.SubAreaSizes[1] = 0;
            r.SubAreaCoefs[1] = 0;
            r.SubAreaKinds[1].clear();
            FillEntryTable();
            txtOdvodNepPlocha->setText("");
        }
        FillEntryTable();
    } else {
        for (int i = row; i <= n; ++i) {
            r.SubAreaSizes[i] = r.SubAreaSizes[i + 1];
            r.SubAreaCoefs[i] = r.SubAreaCoefs[i + 1];
            r.SubAreaKinds[i] = r.SubAreaKinds[i + 1];
        }
        resizeLists(n);
        FillEntryTable();
    }
    cmdDelete->setEnabled(false);
}

void DrainedAreaDialog::deleteAll()
{
    ProjectRecord& r = record();
    r.SubAreaSizes.reset(1);
    r.SubAreaCoefs.reset(1);
    r.SubAreaKinds.reset(1);
    cmdDelete->setEnabled(false);
    FillEntryTable();
}

} // namespace infil::model
