#include "SoilCoefDialog.h"

#include "FloatOps.h"
#include "NumberFormat.h"

#include <cmath>

namespace infil::model {
namespace {

constexpr int kNoIndex = -1;
constexpr int kSoilRows = 8;

} // namespace

SoilCoefDialog::SoilCoefDialog(Application& app) : Dialog("frmCoefDialog"), app_(app)
{
    fgCoefProp = &add<Grid>("fgCoefProp", kNoIndex, nullptr);
    fgCoefProp->setGeometry({0, 0, 5055, 2295});
    fgCoefProp->setToolTip("Hornina se vybere ve sloupci Výběr klepnutím, mezerníkem nebo Enterem");
    cmdOK = &add<Button>("cmdOK", kNoIndex, nullptr);
    cmdOK->setCaption("OK");
    cmdOK->setMnemonic('O');
    cmdOK->setToolTip("Převzít součinitel filtrace vybrané horniny do výpočtu");

    fgCoefProp->onClick = [this] { gridClicked(); };
    fgCoefProp->onLeaveCell = [this] {
        fgCoefProp->setCellPicture(Grid::Picture::Blank);
        // With the check mark gone, OK would name the row now current but write
        // the coefficient picked on another one (the arrow keys move the cell
        // without a click).
        cmdOK->setEnabled(false);
    };
    cmdOK->onClick = [this] { okClicked(); };
}

void SoilCoefDialog::open()
{
    app_.calc().setEnabled(false);
    cmdOK->setEnabled(false);
    coefficientAtOpening_ = record().SoucFiltrace;
    fillSoilTable();
    setOpen(true);
}

void SoilCoefDialog::fillSoilTable()
{
    const ProjectRecord& r = record();
    Grid& g = *fgCoefProp;
    Grid::Batch batch(g);
    g.reset("typ půdy|<souč. filtrace [m/s]|<Výběr");
    g.setColShares({0.4, 0.4, 0.2});
    for (int i = 1; i <= kSoilRows; ++i) {
        const int row = g.addRow({std::to_string(i)});
        g.setText(row, 0, r.SoilNames[i]);
        g.setText(row, 1, num::scientific(r.SoilFiltrationCoefs[i], 1));
    }
    g.removeRow(1);
    g.setColAlignment(1, Grid::Align::Center);
}

void SoilCoefDialog::gridClicked()
{
    Grid& g = *fgCoefProp;
    if (g.col() != 2) {
        cmdOK->setEnabled(false);
        return;
    }
    g.setCellPicture(Grid::Picture::Check);
    record().SoucFiltrace = fp::single(record().SoilFiltrationCoefs[g.row()]);
    cmdOK->setEnabled(true);
}

void SoilCoefDialog::okClicked()
{
    ProjectRecord& r = record();
    CalcForm& main = app_.calc();
    const std::string name = r.SoilNames[fgCoefProp->row()];
    // The window closes also when the recalculation stops on a fault.
    struct Closing {
        SoilCoefDialog& dialog;
        ~Closing() { dialog.finish(); }
    } closing{*this};
    main.txtSoucFiltrace->setText(num::scientific(r.SoucFiltrace, 1));
    main.txtTypPudyPodlozi->setText(name);
    main.soilPicked();
    main.RebuildCalc();
}

// A pick has set the coefficient already: without OK it must not stay in use
// while the main window still shows the old one.
void SoilCoefDialog::close()
{
    record().SoucFiltrace = coefficientAtOpening_;
    finish();
}

void SoilCoefDialog::finish()
{
    setOpen(false);
    app_.calc().setEnabled(true);
}

} // namespace infil::model
