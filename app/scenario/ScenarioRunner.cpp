#include "ScenarioRunner.h"

#include "model/Application.h"
#include "model/Grid.h"
#include "project/Session.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <istream>
#include <limits>
#include <optional>
#include <ostream>
#include <regex>
#include <set>
#include <stdexcept>
#include <type_traits>

namespace infil::scenario {
namespace {

using json = nlohmann::ordered_json;
using namespace infil::model;

// A step the window would not allow, or one that is not well formed.
class StepError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The desktop of a batch run: the clock it was given with --now, and the files
// its "file" steps name, handed to the file dialogs in turn (a dialog with no
// file left is cancelled).
class BatchPlatform : public Platform {
public:
    DateTime now() const override { return now_ ? *now_ : Platform::now(); }
    std::optional<std::string> chooseFile(const FileRequest&) override
    {
        if (files_.empty())
            return std::nullopt;
        std::string file = std::move(files_.front());
        files_.erase(files_.begin());
        return file;
    }

    std::optional<DateTime> now_;
    std::vector<std::string> files_;
};

// Deeper than any scenario needs (a step holds at most an array in an array);
// the limit keeps hostile nesting from exhausting the stack when values are
// copied or compared.
constexpr int kMaxDepth = 256;
// Counts beyond these are no scenario a person could click through.
constexpr long long kMaxPresses = 1'000'000;
constexpr std::size_t kMaxListEntries = 32767;

class TooDeep : public std::runtime_error {
public:
    TooDeep() : std::runtime_error("nested deeper than " + std::to_string(kMaxDepth) + " levels") {}
};

// A whole number as written, refused before any narrowing conversion.
long long wholeNumber(const json& j, const std::string& what)
{
    if (j.is_number_unsigned()) {
        const auto v = j.get<std::uint64_t>();
        if (v > static_cast<std::uint64_t>(std::numeric_limits<long long>::max()))
            throw StepError(what + " " + j.dump() + " is out of range");
        return static_cast<long long>(v);
    }
    if (j.is_number_integer())
        return j.get<std::int64_t>();
    throw StepError(what + " must be a whole number");
}

long long wholeNumber(const json& j, long long lo, long long hi, const std::string& what)
{
    const long long v = wholeNumber(j, what);
    if (v < lo || v > hi)
        throw StepError(what + " must lie between " + std::to_string(lo) + " and " + std::to_string(hi));
    return v;
}

class RecordingMessages : public MessagePort {
public:
    void showMessage(const Message& message) override { messages.push_back(message); }
    std::vector<Message> messages;
};

// A Single as a JSON number with the 9 significant digits that give it back.
json singleNumber(float value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(value));
    return json::parse(buf);
}

template <typename T>
json toJson(const T& value)
{
    if constexpr (std::is_same_v<T, float>) {
        return singleNumber(value);
    } else if constexpr (std::is_same_v<T, std::string> || std::is_integral_v<T> ||
                         std::is_same_v<T, double>) {
        return json(value);
    } else if constexpr (requires { value.slotCount(); }) {
        json array = json::array();
        for (int i = 1; i <= value.slotCount(); ++i)
            array.push_back(toJson(value[i]));
        return array;
    } else {
        json array = json::array();
        for (const auto& element : value)
            array.push_back(toJson(element));
        return array;
    }
}

template <typename T>
void fromJson(const json& j, T& field, const std::string& name)
{
    auto wrongType = [&] { return StepError("field " + name + ": value of the wrong type"); };
    if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
        if (!j.is_number())
            throw wrongType();
        const double v = j.get<double>();
        if constexpr (std::is_same_v<T, float>) {
            if (!num::fitsSingle(v))
                throw StepError("field " + name + ": value beyond the range of a Single");
        }
        field = static_cast<T>(v);
    } else if constexpr (std::is_same_v<T, std::int16_t>) {
        // Compared as written: a narrowing first would let 4294967297 pass as 1.
        const bool fits = j.is_number_unsigned() ? j.get<std::uint64_t>() <= 32767
                          : j.is_number_integer()
                              ? j.get<std::int64_t>() >= -32768 && j.get<std::int64_t>() <= 32767
                              : false;
        if (!fits)
            throw StepError("field " + name + ": a 16-bit whole number is expected");
        field = static_cast<std::int16_t>(j.get<std::int64_t>());
    } else if constexpr (std::is_same_v<T, std::string>) {
        if (!j.is_string())
            throw wrongType();
        field = j.get<std::string>();
    } else if constexpr (requires { field.slotCount(); }) {
        if (!j.is_array() || j.empty())
            throw StepError("field " + name + ": a non-empty array is expected");
        if (j.size() > kMaxListEntries)
            throw StepError("field " + name + ": at most " + std::to_string(kMaxListEntries) + " values");
        field.resizeKeeping(static_cast<int>(j.size()));
        for (int i = 1; i <= field.slotCount(); ++i)
            fromJson(j[static_cast<std::size_t>(i - 1)], field[i], name);
    } else {
        if (!j.is_array() || j.size() != T::count)
            throw StepError("field " + name + ": an array of " + std::to_string(T::count) +
                            " values is expected");
        std::size_t i = 0;
        for (auto& element : field)
            fromJson(j[i++], element, name);
    }
}

// Parses "YYYY-MM-DDTHH:MM:SS".
DateTime parseNow(const std::string& text)
{
    static const char kShape[] = "dddd-dd-ddTdd:dd:dd";
    bool shaped = text.size() == sizeof kShape - 1;
    for (std::size_t i = 0; shaped && i < text.size(); ++i)
        shaped = kShape[i] == 'd' ? text[i] >= '0' && text[i] <= '9' : text[i] == kShape[i];
    if (!shaped)
        throw std::invalid_argument("--now expects YYYY-MM-DDTHH:MM:SS");
    const auto part = [&](std::size_t at, std::size_t length) {
        int v = 0;
        std::from_chars(text.data() + at, text.data() + at + length, v);
        return v;
    };
    const DateTime d{part(0, 4), part(5, 2), part(8, 2), part(11, 2), part(14, 2), part(17, 2)};
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > 31 || d.hour > 23 || d.minute > 59 ||
        d.second > 59)
        throw std::invalid_argument("--now holds an impossible date or time");
    return d;
}

class Runner {
public:
    Runner(Application& app, BatchPlatform& platform, std::string appDir)
        : app_(app), platform_(platform), appDir_(std::move(appDir))
    {
    }

    // Windows open after a step, for the output's list of dialogs.
    void noteOpenForms()
    {
        for (Form* form : app_.forms())
            if (form->isOpen())
                everOpen_.insert(form->name());
    }
    bool everOpen(const std::string& name) const { return everOpen_.count(name) > 0; }

    void step(const json& s)
    {
        if (!s.is_array() || s.empty() || !s[0].is_string())
            throw StepError("a step is an array that starts with its kind");
        const std::string kind = s[0].get<std::string>();
        if (kind == "field")
            return field(s);
        if (kind == "tab")
            return tab(s);
        if (kind == "close")
            return close(s);
        if (kind == "gridclick")
            return gridClick(s);
        if (kind == "file")
            return file(s);
        if (kind == "save" || kind == "open" || kind == "new")
            return projectStep(kind, s);

        if (s.size() < 2 || !s[1].is_string())
            throw StepError(kind + ": the control's name is missing");
        // Arguments after the name: an optional index, then the step's value.
        const bool takesValue = kind == "text" || kind == "check" || kind == "select" ||
                                kind == "spin" || kind == "key";
        const std::size_t expected = 2 + (takesValue ? 1 : 0);
        int index = -1;
        std::size_t valueAt = 2;
        if (s.size() == expected + 1) {
            index = static_cast<int>(wholeNumber(s[2], 0, 32767, kind + ": the control's index"));
            valueAt = 3;
        } else if (s.size() != expected) {
            throw StepError(kind + ": wrong number of elements");
        }
        Control& control = resolve(s[1].get<std::string>(), index);
        static const json none;
        const json& value = takesValue ? s[valueAt] : none;

        if (kind == "text")
            return text(control, value);
        if (kind == "leave")
            return leave(control);
        if (kind == "click")
            return click(control);
        if (kind == "check")
            return check(control, value);
        if (kind == "select")
            return select(control, value);
        if (kind == "focus")
            return focus(control);
        if (kind == "spin")
            return spin(control, value);
        if (kind == "key")
            return key(control, value);
        throw StepError("unknown step kind \"" + kind + "\"");
    }

private:
    // "frmDialog.txtPlocha" names a dialog's control; a bare name the main window's.
    Control& resolve(const std::string& fullName, int index)
    {
        std::string formName = "frmCalc";
        std::string name = fullName;
        if (const auto dot = fullName.find('.'); dot != std::string::npos) {
            formName = fullName.substr(0, dot);
            name = fullName.substr(dot + 1);
        }
        Form* form = app_.form(formName);
        if (!form)
            throw StepError("no window named " + formName);
        if (!form->isOpen())
            throw StepError(formName + " is not open");
        Control* control = form->find(name, index);
        if (!control)
            throw StepError("no control " + fullName +
                            (index >= 0 ? "(" + std::to_string(index) + ")" : std::string()));
        return *control;
    }

    static std::string label(const Control& control)
    {
        return control.form().name() == "frmCalc" ? control.key()
                                                   : control.form().name() + "." + control.key();
    }

    static void requireReachable(const Control& control)
    {
        if (!control.effectivelyVisible())
            throw StepError(label(control) + " is hidden");
        if (!control.effectivelyEnabled())
            throw StepError(label(control) + " is disabled");
    }

    template <typename T>
    static T& as(Control& control, const char* what)
    {
        auto* typed = dynamic_cast<T*>(&control);
        if (!typed)
            throw StepError(label(control) + " is not " + what);
        return *typed;
    }

    void text(Control& control, const json& value)
    {
        auto& box = as<TextBox>(control, "a text box");
        if (!value.is_string())
            throw StepError("text: the text must be a string");
        requireReachable(box);
        app_.userAction([&] { box.setText(value.get<std::string>()); });
    }

    void leave(Control& control)
    {
        auto& box = as<TextBox>(control, "a text box");
        requireReachable(box);
        app_.userAction([&] { box.lostFocus(); });
    }

    void click(Control& control)
    {
        requireReachable(control);
        if (auto* button = dynamic_cast<Button*>(&control))
            return app_.userAction([&] { button->click(); });
        if (auto* option = dynamic_cast<OptionButton*>(&control))
            return app_.userAction([&] { option->click(); });
        if (auto* check = dynamic_cast<CheckBox*>(&control))
            return app_.userAction([&] { check->click(); });
        if (auto* link = dynamic_cast<Label*>(&control); link && link->onClick)
            return app_.userAction([&] { link->click(); });
        throw StepError(label(control) + " cannot be clicked");
    }

    void check(Control& control, const json& value)
    {
        auto& box = as<CheckBox>(control, "a check box");
        if (!value.is_boolean())
            throw StepError("check: the state must be true or false");
        requireReachable(box);
        app_.userAction([&] { box.setChecked(value.get<bool>()); });
    }

    void select(Control& control, const json& value)
    {
        auto& list = as<ComboBox>(control, "a list");
        const long long position = wholeNumber(value, "select: the position");
        requireReachable(list);
        if (position < 0 || position >= static_cast<long long>(list.items().size()))
            throw StepError("select: " + label(list) + " has no position " + std::to_string(position));
        app_.userAction([&] { list.setListIndex(static_cast<int>(position)); });
    }

    void focus(Control& control)
    {
        requireReachable(control);
        if (auto* box = dynamic_cast<TextBox*>(&control))
            return app_.userAction([&] {
                box->form().setFocus(box);
                box->gotFocus();
            });
        if (auto* list = dynamic_cast<ComboBox*>(&control))
            return app_.userAction([&] {
                list->form().setFocus(list);
                list->gotFocus();
            });
        throw StepError(label(control) + " cannot take the focus");
    }

    void spin(Control& control, const json& value)
    {
        auto& updown = as<UpDown>(control, "an up-down control");
        const long long delta = wholeNumber(value, -kMaxPresses, kMaxPresses, "spin: the count");
        requireReachable(updown);
        app_.userAction([&] {
            // A press that leaves the box as it was changes nothing, and so
            // will every press after it: the arrow is held at the limit.
            for (long long i = 0; i < (delta < 0 ? -delta : delta); ++i) {
                const std::string before = updown.buddy().text();
                delta > 0 ? updown.up() : updown.down();
                if (updown.buddy().text() == before)
                    break;
            }
        });
    }

    void key(Control& control, const json& value)
    {
        auto& box = as<TextBox>(control, "a text box");
        const int code = static_cast<int>(wholeNumber(value, 0, 65535, "key: the key code"));
        requireReachable(box);
        app_.userAction([&] { box.keyDown(code); });
    }

    void gridClick(const json& s)
    {
        if (s.size() != 4 || !s[1].is_string() || !s[2].is_number_integer() ||
            !s[3].is_number_integer())
            throw StepError("gridclick: expected [\"gridclick\", GRID, ROW, COL]");
        Control& control = resolve(s[1].get<std::string>(), -1);
        auto& grid = as<Grid>(control, "a grid");
        requireReachable(grid);
        const long long row = wholeNumber(s[2], "gridclick: the row");
        const long long col = wholeNumber(s[3], "gridclick: the column");
        if (row < 0 || row >= grid.rows() || col < 0 || col >= grid.cols())
            throw StepError("gridclick: " + label(grid) + " has no cell " + std::to_string(row) +
                            ", " + std::to_string(col));
        app_.userAction([&] { grid.click(static_cast<int>(row), static_cast<int>(col)); });
    }

    void field(const json& s)
    {
        if (s.size() != 3 || !s[1].is_string())
            throw StepError("field: expected [\"field\", NAME, VALUE]");
        const std::string name = s[1].get<std::string>();
        bool found = false;
        visitFields(app_.record(), [&](const char* fieldName, auto& field) {
            if (!found && name == fieldName) {
                found = true;
                fromJson(s[2], field, name);
            }
        });
        if (!found)
            throw StepError("no field " + name + " in the project record");
    }

    void tab(const json& s)
    {
        if (s.size() != 2 || !s[1].is_number_integer())
            throw StepError("tab: expected [\"tab\", N]");
        const long long n = wholeNumber(s[1], "tab: the tab");
        if (n < 0 || n > 3)
            throw StepError("tab: there are tabs 0 to 3");
        if (!app_.calc().enabled())
            throw StepError("the main window is disabled while a dialog is open");
        app_.userAction([&] { app_.calc().selectTab(static_cast<int>(n)); });
    }

    // ["save", PATH], ["open", PATH], ["new"]: the menu "Soubor"; changes are
    // discarded without asking, as no one is there to answer. A relative PATH
    // lies where the file step's do.
    void projectStep(const std::string& kind, const json& s)
    {
        const bool takesPath = kind != "new";
        if (s.size() != (takesPath ? 2u : 1u) || (takesPath && !s[1].is_string()))
            throw StepError(takesPath ? kind + ": expected [\"" + kind + "\", PATH]" : "new: expected [\"new\"]");
        if (!app_.calc().enabled())
            throw StepError("the main window is disabled while a dialog is open");
        usedProject = true;
        project::Session& session = app_.project();
        if (kind == "new")
            return app_.userAction([&] { session.newProject(); });
        if (s[1].get<std::string>().empty())
            throw StepError(kind + ": the path is empty");
        const std::string path = inAppDir(s[1].get<std::string>());
        if (kind == "save")
            app_.userAction([&] { session.saveTo(path); });
        else
            app_.userAction([&] { session.openFile(path); });
    }

public:
    // Whether the project commands were used: the output then says which file
    // the project has.
    bool usedProject = false;

private:
    void close(const json& s)
    {
        if (s.size() != 2 || !s[1].is_string())
            throw StepError("close: expected [\"close\", FORM]");
        const std::string name = s[1].get<std::string>();
        auto* dialog = dynamic_cast<Dialog*>(app_.form(name));
        if (!dialog)
            throw StepError("no dialog named " + name);
        if (!dialog->isOpen())
            throw StepError(name + " is not open");
        app_.userAction([&] { dialog->close(); });
    }

    // The file the next file dialog picks.
    void file(const json& s)
    {
        if (s.size() != 2 || !s[1].is_string() || s[1].get<std::string>().empty())
            throw StepError("file: expected [\"file\", PATH]");
        platform_.files_.push_back(inAppDir(s[1].get<std::string>()));
    }

    // A relative name lies in the application folder, so that a scenario
    // stays within its own folder.
    std::string inAppDir(const std::string& name) const
    {
        const std::filesystem::path given = name;
        const std::filesystem::path path = given.is_absolute() ? given : std::filesystem::path(appDir_) / given;
        return path.lexically_normal().string();
    }

    Application& app_;
    BatchPlatform& platform_;
    std::string appDir_;
    std::set<std::string> everOpen_;
};

// The record field's name, as the record's own listing gives it.
std::string fieldName(const ProjectRecord& r, float ProjectRecord::*field)
{
    std::string found;
    visitFields(r, [&](const char* name, const auto& f) {
        if constexpr (std::is_same_v<std::decay_t<decltype(f)>, float>)
            if (&f == &(r.*field))
                found = name;
    });
    return found;
}

// The governing-rain searches of the engine's last calculation: each entry of
// the rain series with its candidate (null where none was computed) and the
// index of the governing entry in that list (null when none governs).
json searchOutput(const ProjectRecord& r, const SearchLog& log)
{
    json searches = json::array();
    for (const SearchTrace& trace : log.traces) {
        json candidates = json::array();
        for (const SearchCandidate& c : trace.candidates)
            candidates.push_back({{"duration", singleNumber(c.duration)},
                                  {"intensity", singleNumber(c.intensity)},
                                  {"value", c.state == SearchCandidate::State::Evaluated ? singleNumber(c.value)
                                                                                          : json(nullptr)},
                                  {"skipped", c.state == SearchCandidate::State::Skipped}});
        const ShownResult* shown = shownResult(trace.quantity, trace.pane);
        json fault = nullptr;
        if (trace.fault)
            fault = {{"candidate", trace.faultedAt()}, {"text", FloatFault::describe(*trace.fault)}};
        searches.push_back({{"technology", trace.pane},
                            {"quantity", fieldName(r, trace.quantity)},
                            {"caption", shown ? shown->caption : ""},
                            {"unit", shown ? shown->unit : ""},
                            {"candidates", candidates},
                            {"governing", trace.governing >= 0 ? json(trace.governing) : json(nullptr)},
                            {"fault", fault}});
    }
    return searches;
}

// An error is one line whatever names the scenario put into it: control
// characters are written as JSON writes them.
std::string oneLine(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c != 0x7F) {
            out += static_cast<char>(c);
            continue;
        }
        const std::string escaped = json(std::string(1, static_cast<char>(c))).dump();
        out += escaped.substr(1, escaped.size() - 2);
    }
    return out;
}

// Fields the record gained after the batch format was fixed: written only
// when they hold something, so the output of a run that never sets them stays
// as it was.
bool writtenWhenSet(std::string_view field)
{
    return field == "RainSource";
}

// The rain library's windows came after the batch format: listed once the run
// opened them, so earlier outputs stay as they were.
bool listedWhenOpened(const std::string& form)
{
    return form == "frmRainSource" || form == "frmRainLibrary";
}

json output(Application& app, const std::vector<Message>& messages, const Runner& runner)
{
    CalcForm& calc = app.calc();
    json doc;
    json record = json::object();
    visitFields(app.record(), [&](const char* name, const auto& field) {
        if (writtenWhenSet(name) && toJson(field) == json(""))
            return;
        record[name] = toJson(field);
    });
    doc["record"] = record;

    const FormState& st = calc.state();
    doc["form"] = {{"TechIndex", st.TechIndex}, {"DesignMode", st.DesignMode},
                   {"SoilOption", st.SoilOption}, {"ShaftShape", st.ShaftShape},
                   {"tab", calc.tab()},           {"pane", calc.shownPane()}};

    json boxes = json::object();
    for (const auto& control : calc.controls())
        if (const auto* box = dynamic_cast<const TextBox*>(control.get()))
            boxes[box->key()] = box->text();
    doc["boxes"] = boxes;

    doc["checks"] = {{"chkSelPretok(3)", calc.chkSelPretok[3]->checked()},
                     {"chkSelPretok(4)", calc.chkSelPretok[4]->checked()},
                     {"chkPredUsaz", calc.chkPredUsaz->checked()}};
    doc["list"] = {{"cboSelType", calc.cboSelType->items()},
                   {"cboSelTypeIndex", calc.cboSelType->listIndex()}};

    json dialogs = json::object();
    for (Form* form : app.forms())
        if (form != &calc && (!listedWhenOpened(form->name()) || runner.everOpen(form->name())))
            dialogs[form->name()] = {{"open", form->isOpen()}};
    doc["dialogs"] = dialogs;

    json list = json::array();
    for (const Message& m : messages)
        list.push_back({{"icon", std::string(iconName(m.icon))}, {"title", m.title}, {"text", m.text}});
    doc["messages"] = list;

    json verdict = json::array();
    for (const verdict::Item& item : calc.verdict())
        verdict.push_back({{"code", item.code}, {"severity", verdict::severityCode(item.severity)}, {"text", item.text}});
    doc["verdict"] = verdict;
    doc["search"] = searchOutput(app.record(), calc.engine().searches());

    if (runner.usedProject) {
        const project::Session& session = app.project();
        doc["project"] = {{"file", session.path().empty() ? json(nullptr) : json(session.path())},
                          {"modified", session.modified()}};
    }

    std::error_code ec;
    const std::string& report = app.lastReport();
    doc["report"] = !report.empty() && std::filesystem::exists(report, ec) ? json(report) : json(nullptr);
    return doc;
}

} // namespace

int run(std::istream& in, const Options& options, std::ostream& out, std::ostream& err)
{
    json scenario;
    try {
        const json::parser_callback_t limitDepth = [](int depth, json::parse_event_t event, json&) {
            if ((event == json::parse_event_t::object_start || event == json::parse_event_t::array_start) &&
                depth >= kMaxDepth)
                throw TooDeep();
            return true;
        };
        scenario = json::parse(in, limitDepth);
    } catch (const TooDeep& e) {
        err << "scenario: " << e.what() << '\n';
        return 2;
    } catch (const json::parse_error& e) {
        err << "scenario: not valid JSON: " << e.what() << '\n';
        return 2;
    } catch (const json::exception& e) {
        // A number beyond a double, such as 1e400.
        err << "scenario: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        // The stream failed under the reader: a folder, a device that fails.
        err << "scenario: cannot be read: " << e.what() << '\n';
        return 2;
    }
    if (!scenario.is_object() || !scenario.contains("steps") || !scenario["steps"].is_array()) {
        err << "scenario: the document must be an object with an array \"steps\"\n";
        return 2;
    }

    RecordingMessages messages;
    BatchPlatform platform; // outlives the application that uses it
    Application app(options.folders ? *options.folders : model::Folders::single(options.appDir), messages);
    if (options.now) {
        try {
            platform.now_ = parseNow(*options.now);
        } catch (const std::invalid_argument& e) {
            err << "scenario: " << e.what() << '\n';
            return 2;
        }
    }
    app.setDiagramRenderer(options.renderer);
    app.setPlatform(&platform);
    installDialogs(app);
    app.calc().load();
    app.project().start();

    // Files the steps name relative to the application folder, or to the
    // current folder when the run uses the installed program's folders.
    std::error_code ec;
    Runner runner(app, platform, options.folders ? std::filesystem::current_path(ec).string() : options.appDir);
    if (options.project) {
        runner.usedProject = true;
        bool opened = false;
        app.userAction([&] { opened = app.project().openFile(*options.project); });
        if (!opened) {
            err << "scenario: --project: "
                << (messages.messages.empty() ? std::string("the project was not opened") : messages.messages.back().text)
                << '\n';
            return 2;
        }
    }
    std::size_t number = 0;
    for (const json& s : scenario["steps"]) {
        ++number;
        try {
            runner.step(s);
            if (options.afterStep)
                options.afterStep(app);
            runner.noteOpenForms();
        } catch (const StepError& e) {
            err << "step " << number << ": " << oneLine(e.what()) << '\n';
            return 2;
        } catch (const json::exception& e) {
            err << "step " << number << ": malformed: " << oneLine(e.what()) << '\n';
            return 2;
        } catch (const std::exception& e) {
            err << "step " << number << ": failed: " << oneLine(e.what()) << '\n';
            return 2;
        }
    }
    out << output(app, messages.messages, runner).dump(2) << '\n';
    return 0;
}

} // namespace infil::scenario
