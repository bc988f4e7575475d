#pragma once
// The design engine: the governing-rain search, the calculations and assessments
// of the six technologies, and the checks of the Compute buttons. It works on the
// project record and the main window's form-level state, and talks to the window
// only through EngineHost, so it runs the same in the window, in the batch mode
// and in tests.
//
// A floating-point fault stops the procedure at the faulting step by throwing
// FloatFault (FloatOps.h); fields assigned before the fault keep their values.
// The caller decides whether to swallow or report it.

#include "Messages.h"
#include "NumberFormat.h"
#include "ProjectRecord.h"
#include "SearchTrace.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace infil {

// The main window's form-level variables that the engine reads.
struct FormState {
    std::int16_t TechIndex = 0;  // 0 none, 1..6 technology
    std::int16_t DesignMode = 0; // 0 decentralised, 1 centralised
    std::int16_t SoilOption = 0; // soil or filter option last clicked
    std::int16_t ShaftShape = 0; // 0 round, 1 rectangular
};

// The check boxes and option buttons of the window whose state the engine reads.
enum class Switch {
    Overflow,    // chkSelPretok(3): the combined object's overflow and throttled outflow
    Drainage,    // chkSelPretok(4): the trench's drain
    Settling,    // chkPredUsaz: the basin's settling stage before it
    FilterTypeA, // optSelTypPudy5(0): the shaft's filter "typ A", without a sand layer
    FilterTypeB  // optSelTypPudy5(1): "typ B", with a sand layer
};

// What the engine needs of the window that hosts it. The engine names what it
// shows by the record field and the technology's pane; the window knows which
// box that is.
class EngineHost : public MessagePort {
public:
    // Shows a text in the box of pane `pane` (1..6, the technology index) that
    // shows `field`. As in the window, a different text runs the box's change
    // handler before this returns.
    virtual void show(float ProjectRecord::*field, int pane, const std::string& text) = 0;
    // Hides the result panes picResults(1) .. picResults(6), in that order.
    virtual void hideResultPanes() = 0;
    // Switches the design-mode option optSelType(DesignMode) off and on again, so
    // that its click handler runs.
    virtual void redoDesignModeOption() = 0;
    // Whether a check box is ticked or an option is on.
    virtual bool isOn(Switch which) const = 0;
    // Whether the pipe panel picPretokSkrOdtok(pane) of pane 3 or 4 is open.
    virtual bool isPipePanelOpen(int pane) const = 0;
};

// How a result is shown in its box.
enum class ShownAs {
    Fixed1,     // one decimal
    Fixed2,     // two decimals
    Scientific1 // "0.0E+00"
};

// Every value the engine shows: the record field, the pane (technology) whose
// box shows it, how, and whether the next steps use the shown text read back
// (by which rule). Captions and units name the quantity in messages about it.
struct ShownResult {
    float ProjectRecord::*field;
    int pane;
    ShownAs shownAs;
    num::Reading (*readBack)(std::string_view); // nullptr: not read back
    const char* caption;
    const char* unit;
};
std::span<const ShownResult> shownResults();
// The entry of a field on a pane; nullptr when the engine shows none there.
const ShownResult* shownResult(float ProjectRecord::*field, int pane);
// The text a shown result has for a value.
std::string shownText(const ShownResult& result, float value);

class Engine {
public:
    Engine(ProjectRecord& record, FormState& form, EngineHost& host);

    // Primary calculation of the selected technology (dispatch on TechIndex).
    void CalcTechnology();
    // Volumes, lengths, emptying times and the assessment messages.
    void CheckDesign();
    // The Compute button cmdCalcul(index): the checks of its pane, one stop
    // message listing every failure, otherwise the pane's final step.
    void ComputeButton(int index);

    // The governing-rain searches of the last calculation that ran any (a
    // calculation is one call of the procedures above, with whatever the
    // window's handlers run inside it). A search that faulted is there too,
    // with the entry that faulted.
    const SearchLog& searches() const { return searches_; }

    // Records the searches of one calculation for the engine's steps.
    class Recorder {
    public:
        explicit Recorder(Engine& engine) : engine_(engine) {}
        void record(const SearchTrace& trace);

    private:
        Engine& engine_;
    };

private:
    // Marks the outermost call: its first search replaces the last set.
    class Call;

    ProjectRecord& r_;
    FormState& form_;
    EngineHost& host_;
    SearchLog searches_;
    int depth_ = 0;
    bool searchedInCall_ = false;
};

} // namespace infil
