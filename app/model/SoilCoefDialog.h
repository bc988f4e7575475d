#pragma once
// The soil filtration coefficient picker frmCoefDialog as a model: the soil
// table with its coefficients, a pick in the "Výběr" column, and OK handing the
// picked coefficient and the soil's name to the main window, which recomputes.

#include "Application.h"
#include "Grid.h"

namespace infil::model {

class SoilCoefDialog : public Dialog {
public:
    explicit SoilCoefDialog(Application& app);

    void open() override;
    // The close box: nothing reaches the main window, and the coefficient a pick
    // set goes back to what it was when the window opened.
    void close() override;

    // Where the window opens, relative to the main window's top left corner,
    // and its client area (twips).
    static constexpr int kOffsetLeft = 5880;
    static constexpr int kOffsetTop = 1080;
    static constexpr int kClientWidth = 5070;
    static constexpr int kClientHeight = 2700;

    Grid* fgCoefProp;
    Button* cmdOK;

private:
    ProjectRecord& record() { return app_.record(); }
    void fillSoilTable();
    void gridClicked();
    void okClicked();
    void finish();

    Application& app_;
    float coefficientAtOpening_ = 0;
};

} // namespace infil::model
