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
#include "ProjectRecord.h"

#include <cstdint>
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

// What the engine needs of the window that hosts it. Controls are named as in
// the window ("txtInfilPlocha", index 2); index -1 marks a control that is not
// part of a control array.
class EngineHost : public MessagePort {
public:
    // Puts a text into a box. As in the window, a different text runs the box's
    // change handler before this returns.
    virtual void setBoxText(std::string_view control, int index, const std::string& text) = 0;
    // Hides the result panes picResults(1) .. picResults(6), in that order.
    virtual void hideResultPanes() = 0;
    // Switches the design-mode option optSelType(DesignMode) off and on again, so
    // that its click handler runs.
    virtual void redoDesignModeOption() = 0;
    // Whether a check box is ticked (chkSelPretok(3), chkSelPretok(4), chkPredUsaz).
    virtual bool isChecked(std::string_view control, int index) const = 0;
    // Whether an option button is on (optSelTypPudy5(0), "typ A").
    virtual bool isOptionOn(std::string_view control, int index) const = 0;
    // Whether a control is shown (the overflow / drainage panels picPretokSkrOdtok(k)).
    virtual bool isShown(std::string_view control, int index) const = 0;
};

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

private:
    ProjectRecord& r_;
    FormState& form_;
    EngineHost& host_;
};

} // namespace infil
