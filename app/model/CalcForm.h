#pragma once
// The main window frmCalc as a model: every box, option, list, button and panel,
// their handlers, the technology panes, ClearResults and RebuildCalc, and the tab
// changes. The Qt window (ui/CalcWindow) and the batch mode both drive it.
//
// Every control is declared once, in CalcForm.cpp (CalcForm::declare...): its
// name and index, caption, unit, reading rule and record field, initial text,
// look and handler. A declaration creates the control and the row it stands in
// (Form::rows); the window builds its widgets from those rows. Adding a box is
// one declaration, plus a handler when reading its field is not all it does.

#include "Diagrams.h"
#include "Engine.h"
#include "Form.h"
#include "NumberFormat.h"
#include "Verdict.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace infil::model {

class Application;
class CalcForm;

// How an input box's text becomes its record field.
enum class Rule {
    None, // a result the program writes: no change handler reads it
    T,    // text: the field is the text
    R,    // a number (num::ruleR)
    K,    // a filtration coefficient (num::ruleK), reformatted when the box is left
    I,    // a whole number (num::ruleI)
    P     // plain: written by the program or an up-down control (num::ruleP)
};

// A box's colours and whether the user may type in it.
enum class Look {
    Input,  // white, typed in
    Result, // grey and read-only: the program writes it
    Grey    // grey, but typed in
};

// The record field a box reads into or shows.
using BoxField = std::variant<std::monostate, float ProjectRecord::*, std::int16_t ProjectRecord::*,
                              std::string ProjectRecord::*>;

// A handler of the main window, called with the index of its control (-1
// outside control arrays).
using Handler = void (CalcForm::*)(int index);

// The declaration of one text box.
struct BoxDeclaration {
    const char* name = "";
    int index = -1;
    const char* label = "";
    const char* unit = "";
    Rule rule = Rule::None;
    BoxField field;
    std::string initial; // the text the window starts with (no handler runs for it)
    Look look = Look::Input;
    // Runs after the text was read into the field, unless the text is empty;
    // floating-point faults in it are ignored, as in every number-reading handler.
    Handler then = nullptr;
    // A change handler of its own, instead of reading the field by the rule.
    Handler change = nullptr;
    // Runs after every value read, an emptied box too.
    Handler stored = nullptr;
    Width width = Width::Box;
    const char* symbol = "";
    bool multiLine = false;
    const char* tip = "";
    // A result of the pane's Compute button: emptied as soon as an input it was
    // computed from changes, so that no result stands beside other inputs.
    bool computed = false;
};

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
    // Shutdown: deletes the report file and its pictures, ignoring failures.
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

    // Whether the results of technology `pane` belong to the inputs shown: its
    // Compute button was pressed, without a stop message, since an input last
    // changed. The surface and the swale compute as their inputs change.
    bool resultsCurrent(int pane) const;
    // Empties the computed results and marks none current, as a change of an
    // input does (a project opened without its results).
    void forgetResults() { inputChanged(); }
    // The plausibility verdict of the design shown.
    std::vector<verdict::Item> verdict() const;
    // The governing-rain searches behind the results shown: the engine's last
    // ones when they were run for the selected technology and no input has
    // changed since; otherwise none.
    std::vector<SearchTrace> currentSearches() const;
    // What the design's diagrams are drawn from.
    report::DiagramSource diagramSource() const;
    // The end of a user's action: views of the verdict are told when it changed.
    void actionDone();
    using VerdictObserver = std::function<void(const std::vector<verdict::Item>&)>;
    void observeVerdict(VerdictObserver observer) { verdictObservers_.push_back(std::move(observer)); }

    // The soil picker has just shown a soil's name for the coefficient it wrote;
    // typing another coefficient by hand clears that name.
    void soilPicked();
    // The same for a coefficient picked earlier (a project being opened).
    void soilPicked(float coefficient);
    // The coefficient whose soil name the picker showed, while that name stands.
    std::optional<float> pickedSoilCoefficient() const;

    // Takes over the whole state of another copy of this window: its controls,
    // form variables, tab and which results are current. The record is the
    // application's business. No handler runs; views are told.
    void adopt(const CalcForm& other);

    // Addresses of the two links on the first tab.
    static const char* linkAddress(int index);

    // A control by name and index; throws std::logic_error when the window has no
    // such control of that kind (a misspelt name in code or a test).
    template <typename T = TextBox>
    T& control(std::string_view name, int index = -1) const
    {
        if (auto* typed = dynamic_cast<T*>(find(name, index)))
            return *typed;
        throwNoControl(name, index);
    }
    TextBox& box(std::string_view name, int index = -1) const { return control<TextBox>(name, index); }
    // The box of pane `pane` that shows a record field (0 for the shared inputs).
    TextBox& boxShowing(float ProjectRecord::*field, int pane) const;
    // The declaration a box was made from.
    const BoxDeclaration& decl(const TextBox& box) const;

    // Controls that handlers or other windows address. Control arrays are indexed
    // as in the window (optSelTypPudy2(0) is the swale's first soil option).
    template <typename T>
    using Array = std::map<int, T*>;

    Label* lblTime = nullptr;
    // Frame1: the shared inputs, which the dialogs write.
    Container* Frame1 = nullptr;
    TextBox* txtSelIntDeste = nullptr;
    TextBox* txtSelDTrvDeste = nullptr;
    TextBox* txtOdvodNepPlocha = nullptr;
    TextBox* txtOdtokDoInfil = nullptr;
    TextBox* txtSoucFiltrace = nullptr;
    TextBox* txtTypPudyPodlozi = nullptr;
    // Frame2: the technology choice and its panes.
    Container* Frame2 = nullptr;
    OptionGroup optSelTypeGroup;
    Array<OptionButton> optSelType;
    ComboBox* cboSelType = nullptr;
    Array<Container> picResults;
    OptionGroup soil2Group, soil3Group, soil5Group, shaftShapeGroup;
    Array<OptionButton> optSelTypPudy2;
    Array<OptionButton> optSelTypPudy3;
    Array<OptionButton> optSelTypPudy5;
    Array<CheckBox> chkSelPretok;
    Array<Button> cmdEdit;
    Array<Container> picPretokSkrOdtok;
    Array<OptionButton> optSelTypSachty;
    ComboBox* cboTypSachty = nullptr;
    TextBox* txtPrumerSachtyVnit = nullptr;
    // Named after the outer diameter, but it holds a rectangular shaft's length.
    TextBox* txtPrumerSachtyVnej = nullptr;
    TextBox* txtTloustkaSteny = nullptr;
    TextBox* txtVyskaPiskVrstvy = nullptr;
    CheckBox* chkPredUsaz = nullptr;
    // Tab 3: results
    Button* cmdSaveResults = nullptr;
    Button* cmdPrint = nullptr;

private:
    class Builder;

    // EngineHost
    void show(float ProjectRecord::*field, int pane, const std::string& text) override;
    void hideResultPanes() override;
    void redoDesignModeOption() override;
    bool isOn(Switch which) const override;
    bool isPipePanelOpen(int pane) const override;
    void showMessage(const Message& message) override;

    [[noreturn]] static void throwNoControl(std::string_view name, int index);

    // The declarations, container by container.
    void declareProjectTab(Builder& b);
    void declareSharedInputs(Builder& b);
    void declareTechnologyChoice(Builder& b);
    void declareSurface(Builder& b);
    void declareSwale(Builder& b);
    void declareSoilOptions(Builder& b, Array<OptionButton>& options, OptionGroup& group, const char* name);
    void declareCombined(Builder& b);
    void declareTrench(Builder& b);
    void declareTrenchInputs(Builder& b, int k, const char* panelCaption);
    void declareTrenchResults(Builder& b, int k, Look area);
    void declarePipeDiameters(Builder& b, int k);
    void declarePipeCount(Builder& b, int k);
    void declareShaft(Builder& b);
    void declareBasin(Builder& b);
    void declareResultsTab(Builder& b);

    // Reads a box into its declared field by its declared rule.
    void readBox(TextBox& box, const BoxDeclaration& decl);
    // Reads a number box; returns what the reading did.
    num::Reading::Action readNumber(TextBox& box, float& field, num::Reading (*rule)(std::string_view));
    // Runs a step whose floating-point faults the handler ignores.
    void ignoringFaults(const std::function<void()>& step);
    // The reminders the technology list gives while the shared inputs lack the
    // drained area or the filtration coefficient; true when one was shown.
    bool remindOfSharedInputs();

    // A box's text was read into its field: it is the text to go back to, and
    // the other boxes of the field show it.
    void accepted(TextBox& box);
    // Leaving a number box: a coefficient shows its pattern, a decimal comma
    // becomes a point, and a text that is no number is reported and replaced by
    // the last one read.
    void numberLeft(TextBox& box);
    void registerShown(float ProjectRecord::*field, int pane, TextBox& box);

    // Handlers, each called with its control's index.
    void areaChanged(int);
    void intensityChanged(int);
    void durationChanged(int);
    void filtrationRead(int);
    void filtrationStored(int);
    void soilNameTyped(int);
    void safetyRead(int);
    void designModeClicked(int k);
    void technologyListClicked(int);
    void technologyListGotFocus(int);
    void soilOptionClicked(int k);
    void filterTypeClicked(int k);
    void shaftShapeClicked(int k);
    void shaftProductClicked(int);
    void shaftInnerChanged(int);
    void shaftLengthChanged(int);
    void shaftWallChanged(int);
    void editButtonClicked(int k);
    void computeClicked(int k);
    void settlingClicked(int);
    // An input the results may depend on has changed: the computed results of
    // the panes with a Compute button (but the box typed into) are emptied and
    // no longer current.
    void inputChanged(const TextBox* typedInto = nullptr);
    void overflowChecked(int k);
    void panelOkClicked(int k);
    void saveResultsClicked(int);
    void printClicked(int);
    void linkClicked(int k);

    void inflowChanged(bool testIntensity);
    // The equivalent diameters from the stored sizes: both for a rectangular
    // shaft, the outer one for a round shaft.
    void redoShaftGeometry(bool rectangular);
    // Switches an option off and on again, so that its click handler runs.
    static void redo(OptionButton& option);
    void tabChanged(int previous);
    // Returns to the tab shown before when no technology is selected; true
    // when this call went back (and the caller shows the message).
    bool returnForLackOfTechnology(int previous);

    Application& app_;
    FormState state_;
    Engine engine_;
    int tab_ = 0;
    std::string descriptionPage_;
    std::string resultsPage_;
    int pageRevision_ = 0;
    // Panes whose computed results belong to the inputs (index = technology).
    bool current_[7] = {};
    // Set while the program itself writes boxes (the engine's results, blanking
    // them): that is no change of the user's inputs.
    int programWriting_ = 0;
    // A stop message was shown during the current Compute.
    bool stopShown_ = false;
    // The engine's search revision when an input last changed: searches of an
    // earlier revision belong to other inputs.
    int searchesAtInputChange_ = 0;
    std::vector<verdict::Item> shownVerdict_;
    std::vector<VerdictObserver> verdictObservers_;
    // The soil name shown is the picker's, for the coefficient pickedCoefficient_.
    bool soilNameFromPicker_ = false;
    float pickedCoefficient_ = 0;
    // Set while the pane goes back to the previous tab for lack of a technology.
    bool returningToPrevious_ = false;
    // Every box's declaration, and the box showing each (field, pane).
    struct Declared {
        TextBox* box;
        BoxDeclaration decl;
    };
    std::map<const TextBox*, Declared> declarations_;
    // The computed results' boxes, and for each input box the other boxes that
    // show its field as an input; both in the order of declarations_.
    std::vector<TextBox*> computedBoxes_;
    std::map<const TextBox*, std::vector<TextBox*>> partners_;
    std::map<const TextBox*, std::string> lastAccepted_;
    // The up-down control that keeps each counted box within its limits.
    std::map<const TextBox*, UpDown*> counters_;
    struct Shown {
        float ProjectRecord::*field;
        int pane;
        TextBox* box;
    };
    std::array<std::vector<Shown>, 7> shown_; // by pane (0: outside the panes)
};

} // namespace infil::model
