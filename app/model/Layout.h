#pragma once
// How a window lays out the controls of one container (a frame, a pane, a panel,
// a tab), as rows from top to bottom. A form model creates each control together
// with the row it stands in; the Qt view builds its widgets from those rows, so a
// control is declared once for the model, the window, the batch mode and the
// tests. Texts are UTF-8; labels and units may hold simple markup ("<i>t</i><sub>d</sub>");
// powers of units are written with their own characters ("m²"), which no line
// height clips as a raised "<sup>2</sup>" can be.

#include <string>
#include <vector>

namespace infil::model {

class Control;

enum class RowKind {
    Field,        // label, symbol | a text box | unit | a button beside it (controls[1], optional)
    Options,      // label | option buttons, one under the other
    OptionsInRow, // label | option buttons side by side
    List,         // label | a drop-down list
    Counted,      // label | a box with its up-down arrows (controls: box, up-down)
    SideBySide,   // boxes side by side, each with its caption above it, and one unit after them
    Check,        // a check box, with a button beside it when there is one
    Buttons,      // buttons side by side
    Compute,      // a pane's compute button, set off from the results below it
    Confirm,      // a panel's confirming button, at its bottom right
    Note,         // a warning in bold red
    Panel,        // a panel that opens over the rest of its pane, from this row down (controls: the panel)
    Stack,        // containers shown one at a time in one place (the technology panes)
    Gap           // an empty strip
};

// How wide a row's box is.
enum class Width {
    Box,    // the window's box width, for a number with grouping and decimals
    Narrow, // three quarters of it (panels, side-by-side boxes)
    Wide    // a text over the columns to its right
};

struct Row {
    RowKind kind = RowKind::Gap;
    std::string label;
    std::string symbol;                // a formula symbol between label and box
    std::string unit;
    std::string prefix;                // text before the box ("1 : ")
    std::vector<Control*> controls;
    std::vector<std::string> captions; // SideBySide: one caption per box
    Width width = Width::Box;
};

} // namespace infil::model
