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
#include <type_traits>
#include <vector>

namespace infil::test {

// The record field's name, as the batch mode writes it ("ObjAkum").
inline std::string fieldName(float ProjectRecord::*field)
{
    ProjectRecord probe;
    std::string found;
    visitFields(probe, [&](const char* name, auto& f) {
        if constexpr (std::is_same_v<std::decay_t<decltype(f)>, float>)
            if (&f == &(probe.*field))
                found = name;
    });
    return found;
}

// "ObjAkum(2)": a shown field and its pane.
inline std::string key(float ProjectRecord::*field, int pane)
{
    return fieldName(field) + "(" + std::to_string(pane) + ")";
}

class FakeEngineHost : public EngineHost {
public:
    std::map<std::string, std::string> boxes;
    std::vector<Message> messages;
    std::vector<std::string> log; // "ObjAkum(2)=text", "msg:text", "hide", "redo"
    std::set<Switch> on;
    std::set<int> openPanels;
    std::function<void()> onRedo;

    void showMessage(const Message& m) override
    {
        messages.push_back(m);
        log.push_back("msg:" + m.text);
    }
    void show(float ProjectRecord::*field, int pane, const std::string& t) override
    {
        boxes[key(field, pane)] = t;
        log.push_back(key(field, pane) + "=" + t);
    }
    void hideResultPanes() override { log.push_back("hide"); }
    void redoDesignModeOption() override
    {
        log.push_back("redo");
        if (onRedo)
            onRedo();
    }
    bool isOn(Switch which) const override { return on.count(which) > 0; }
    bool isPipePanelOpen(int pane) const override { return openPanels.count(pane) > 0; }

    std::string box(float ProjectRecord::*field, int pane) const
    {
        const auto it = boxes.find(key(field, pane));
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
