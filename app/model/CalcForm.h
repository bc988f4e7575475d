#pragma once
// The main window frmCalc as a model: every box, option, list, button and panel,
// their handlers, the technology panes, ClearResults and RebuildCalc, and the tab
// changes. The Qt window (ui/CalcWindow) and the batch mode both drive it.

#include "Engine.h"
#include "Form.h"
#include "NumberFormat.h"

#include <functional>
#include <map>
#include <string>

namespace infil::model {

class Application;

class CalcForm : public Form, private EngineHost {
public:
    explicit CalcForm(Application& app);

    ProjectRecord& record();
    FormState& state() { return state_; }
    const FormState& state() const { return state_; }
    Engine& engine() { return engine_; }

    // The engine procedures that belong to the window.
    void ClearResults();
    void RebuildCalc();

    // Start-up steps of the window (tables, defaults, first tab, sub-area lists).
    void load();
    // Shutdown: deletes the report file, ignoring failures.
    void unload();
    // The clock's timer (every second): the time of day into lblTime.
    void clockTick();

    // Tabs: 0 "Základní informace", 1 "Výpočet", 2 "Popis technologie", 3 "Výsledky".
    int tab() const { return tab_; }
    // The user switches to another tab; runs the tab-change handler.
    void selectTab(int tab);
    // The pane shown (1..6), 0 when none is.
    int shownPane() const;
    // The page the description view shows, empty when hidden.
    const std::string& descriptionPage() const { return descriptionPage_; }
    // The report the results view shows, empty when hidden.
    const std::string& resultsPage() const { return resultsPage_; }
    // Counts the visits of the two page tabs, so a view knows to load its page
    // again (the report is rewritten on every visit).
    int pageRevision() const { return pageRevision_; }

    // Addresses of the two links on the first tab.
    static const char* linkAddress(int index);

    // Controls the code addresses directly. Control arrays are indexed as in the
    // window (txtSoucBezp(2) is the swale's safety coefficient).
    template <typename T>
    using Array = std::map<int, T*>;

    // Tab 0
    TextBox* txtProjName;
    TextBox* txtProjektant;
    TextBox* txtInvestor;
    TextBox* txtMistoAkce;
    TextBox* txtDetails;
    Label* lblTime;
    Array<Label> lblOdkaz;

    // Frame1: shared inputs
    Container* Frame1;
    TextBox* txtSelIntDeste;
    TextBox* txtSelDTrvDeste;
    TextBox* txtOdvodNepPlocha;
    TextBox* txtOdtokDoInfil;
    TextBox* txtSoucFiltrace;
    TextBox* txtTypPudyPodlozi;
    TextBox* txtHPV;
    Array<Button> cmdEdit;

    // Frame2: technology choice and panes
    Container* Frame2;
    OptionGroup optSelTypeGroup;
    Array<OptionButton> optSelType;
    ComboBox* cboSelType;
    Array<Container> picResults;
    Array<Button> cmdCalcul;

    Array<TextBox> txtInfilPlocha;
    Array<TextBox> txtObjAkum;
    Array<TextBox> txtSoucBezp;
    Array<TextBox> txtVyskaVzduti;
    Array<TextBox> txtDobaPrazdneni;
    Array<TextBox> txtDelkaRyhy;
    Array<TextBox> txtPorVyplne;
    Array<TextBox> txtSirkaRyhy;
    Array<TextBox> txtVyskaRyhy;
    Array<TextBox> txtSoucFiltrPruleh;

    // Pane 2, 3: soil options
    OptionGroup soil2Group, soil3Group, soil5Group, shaftShapeGroup;
    Array<OptionButton> optSelTypPudy2;
    Array<OptionButton> optSelTypPudy3;
    TextBox* txtSirkaPrulehu;
    TextBox* txtHloubkaPrulehu;

    // Panes 3, 4: overflow / drainage
    Array<CheckBox> chkSelPretok;
    Array<Container> picPretokSkrOdtok;
    Array<Button> cmdOK;
    Array<TextBox> txtPrumTroubVnit;
    Array<TextBox> txtPrumTroubVnej;
    Array<TextBox> txtSpecDrenOdtok;
    Array<TextBox> txtPocetPotrubi;
    Array<UpDown> UpDownPipes; // UpDown(3), UpDown(4)
    Array<TextBox> txtVystupPlocha;
    Array<TextBox> txtVystupRychlost;

    // Pane 5: shaft
    Array<OptionButton> optSelTypPudy5;
    Array<OptionButton> optSelTypSachty;
    ComboBox* cboTypSachty;
    TextBox* txtSachtyCount;
    UpDown* updSacht;
    TextBox* txtPrumerSachtyVnit;
    TextBox* txtPrumerSachtyVnej;
    TextBox* txtTloustkaSteny;
    TextBox* txtNezamrzHlPritok;
    TextBox* txtVyskaFiltrVrstvy;
    TextBox* txtVyskaPiskVrstvy;
    TextBox* txtMinPrusakDraha;
    TextBox* txtHloubkaSachty;
    TextBox* txtPotrHloubkaZahl;

    // Pane 6: basin
    TextBox* txtSpecInfilIntenz;
    TextBox* txtDelkaDnaNadrz;
    TextBox* txtSirkaDnaNadrz;
    TextBox* txtHloubkaNadrz;
    TextBox* txtSklonSvahuNadrz;
    CheckBox* chkPredUsaz;
    TextBox* txtInfilTok;
    TextBox* txtVypObjNadrz;

    // Tab 3: results
    Button* cmdSaveResults;
    Button* cmdPrint;

private:
    // EngineHost
    void setBoxText(std::string_view control, int index, const std::string& text) override;
    void hideResultPanes() override;
    void redoDesignModeOption() override;
    bool isChecked(std::string_view control, int index) const override;
    bool isOptionOn(std::string_view control, int index) const override;
    bool isShown(std::string_view control, int index) const override;
    void showMessage(const Message& message) override;

    void build();
    void wireHandlers();

    // Reading rules of the input boxes: the box's text into its field. A text that
    // is not a number empties the box, which runs the handler again.
    using Rule = num::Reading (*)(std::string_view);
    num::Reading::Action readNumber(TextBox& box, float& field, Rule rule);
    void readWhole(TextBox& box, std::int16_t& field);
    // Runs a step whose floating-point faults the handler ignores.
    void ignoringFaults(const std::function<void()>& step);

    void filtrationLostFocus(TextBox& box, const float& field);
    void inflowChanged(bool testIntensity);
    void designModeClicked(int k);
    void technologyListClicked();
    void technologyListGotFocus();
    void shaftShapeClicked(int k);
    void shaftProductClicked();
    // The equivalent diameters from the stored sizes: both for a rectangular
    // shaft, the outer one for a round shaft.
    void redoShaftGeometry(bool rectangular);
    void shaftInnerChanged();
    void shaftLengthChanged();
    void shaftWallChanged();
    void editButtonClicked(int k);
    void overflowChecked(int k);
    void panelOkClicked(int k);
    void tabChanged(int previous);
    // Returns to the tab shown before when no technology is selected; true
    // when this call went back (and the caller shows the message).
    bool returnForLackOfTechnology(int previous);
    // Shows a value in a box and reads it back, also when the text is unchanged.
    void showAndReadBack(TextBox& box, const std::string& text);

    Application& app_;
    FormState state_;
    Engine engine_;
    int tab_ = 0;
    std::int16_t expPos_ = 0; // ExpPos: position of "e" in a coefficient being read
    std::string descriptionPage_;
    std::string resultsPage_;
    int pageRevision_ = 0;
    // Set while the pane goes back to the previous tab for lack of a technology.
    bool returningToPrevious_ = false;
};

} // namespace infil::model
