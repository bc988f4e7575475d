#pragma once
// The small window that asks where typed rain intensities come from before
// they are stored in the rain library: the station and periodicity they belong
// to and the source ("Trupl 1958, tab. 12"). The window that opened it is
// disabled meanwhile and decides whether the values are stored.

#include "Application.h"

#include <cstdint>
#include <functional>
#include <string>

namespace infil::model {

class RainSourceDialog : public Dialog {
public:
    explicit RainSourceDialog(Application& app);

    // What the user asks to store.
    struct Choice {
        std::int16_t station = 0; // identifier; 0 when none is chosen
        int periodicity = 0;      // 1..7; 0 when none is chosen
        std::string source;       // without surrounding blanks
    };
    // Runs on "Uložit"; true when the values were stored, which closes the
    // window. Otherwise the owner has said why and the window stays.
    std::function<bool(const Choice&)> onSave;

    // Before open(): the window disabled meanwhile, and the choices shown
    // first (a station's position in the station list 1..92, a periodicity
    // 1..7; 0 for none). The source typed last time stays.
    void prepare(Form* owner, int stationPosition, int periodicity);

    void open() override;
    void close() override;

    Label* lblStation;
    ComboBox* cboStation;
    Label* lblPeriod;
    ComboBox* cboPeriod;
    Label* lblSource;
    TextBox* txtSource;
    Label* lblHint;
    Button* cmdOK;
    Button* cmdCancel;

private:
    void okClicked();

    Application& app_;
    Form* owner_ = nullptr;
    int stationPosition_ = 0;
    int periodicity_ = 0;
};

} // namespace infil::model
