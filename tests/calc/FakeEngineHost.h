#pragma once
// A window stand-in for engine tests: records box texts, messages and pane
// hides in one event log, answers check / option / visibility queries from
// sets, and can run a callback for the design-mode option redo.

#include "Engine.h"
#include "ReferenceTables.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace infil::test {

inline std::string key(std::string_view control, int index)
{
    std::string k(control);
    return index < 0 ? k : k + "(" + std::to_string(index) + ")";
}

class FakeEngineHost : public EngineHost {
public:
    std::map<std::string, std::string> boxes;
    std::vector<Message> messages;
    std::vector<std::string> log; // "box(k)=text", "msg:text", "hide", "redo"
    std::set<std::string> checked, optionsOn, shown;
    std::function<void()> onRedo;

    void showMessage(const Message& m) override
    {
        messages.push_back(m);
        log.push_back("msg:" + m.text);
    }
    void setBoxText(std::string_view c, int i, const std::string& t) override
    {
        boxes[key(c, i)] = t;
        log.push_back(key(c, i) + "=" + t);
    }
    void hideResultPanes() override { log.push_back("hide"); }
    void redoDesignModeOption() override
    {
        log.push_back("redo");
        if (onRedo)
            onRedo();
    }
    bool isChecked(std::string_view c, int i) const override { return checked.count(key(c, i)); }
    bool isOptionOn(std::string_view c, int i) const override { return optionsOn.count(key(c, i)); }
    bool isShown(std::string_view c, int i) const override { return shown.count(key(c, i)); }

    std::string box(std::string_view c, int i) const
    {
        const auto it = boxes.find(key(c, i));
        return it == boxes.end() ? "<unset>" : it->second;
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& m : messages)
            out.push_back(m.text);
        return out;
    }
};

// A record after start-up, with one rain series entry: i at duration t (min).
inline ProjectRecord startedRecord()
{
    ProjectRecord r;
    InitReferenceTables(r);
    return r;
}

inline void singleRain(ProjectRecord& r, int entry, float intensity)
{
    for (int k = 1; k <= 9; ++k)
        r.RainIntensities[k] = k == entry ? intensity : 0.0f;
}

inline void setRain(ProjectRecord& r, std::initializer_list<float> intensities)
{
    int k = 1;
    for (const float i : intensities)
        r.RainIntensities[k++] = i;
}

// An engine with its own record, form state and host.
struct Bench {
    ProjectRecord r = startedRecord();
    FormState form;
    FakeEngineHost host;
    Engine engine{r, form, host};
    explicit Bench(int tech) { form.TechIndex = static_cast<std::int16_t>(tech); }
};

} // namespace infil::test
