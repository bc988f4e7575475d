#pragma once
// A running program without a window, driven as the user drives it: controls are
// found by name and each action goes through Application::userAction, the path
// the window's events take. Message boxes are counted, not shown.

#include "model/Application.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace infil::bench {

class CountingMessages : public MessagePort {
public:
    void showMessage(const Message& message) override
    {
        ++count;
        last = message;
    }
    long count = 0;
    Message last;
};

// A folder of its own under the temporary folder, removed with the object.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "infil-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("no temporary folder for the benchmark");
        path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

class Session {
public:
    explicit Session(const std::string& appDir = "/nonexistent-infil-bench") : app(appDir, messages)
    {
        model::installDialogs(app);
        app.calc().load();
    }

    model::Control& control(const std::string& name, int index = -1)
    {
        model::Control* c = app.calc().find(name, index);
        if (!c)
            throw std::logic_error("the main window has no control " + name + "(" + std::to_string(index) + ")");
        return *c;
    }
    template <typename T>
    T& as(const std::string& name, int index = -1)
    {
        auto* typed = dynamic_cast<T*>(&control(name, index));
        if (!typed)
            throw std::logic_error(name + " is not of the kind the benchmark expects");
        return *typed;
    }

    void text(const std::string& name, int index, const std::string& value)
    {
        auto& box = as<model::TextBox>(name, index);
        app.userAction([&] { box.setText(value); });
    }
    void text(const std::string& name, const std::string& value) { text(name, -1, value); }
    void leave(const std::string& name, int index = -1)
    {
        auto& box = as<model::TextBox>(name, index);
        app.userAction([&] { box.lostFocus(); });
    }
    void click(const std::string& name, int index = -1)
    {
        model::Control& c = control(name, index);
        app.userAction([&] {
            if (auto* button = dynamic_cast<model::Button*>(&c))
                button->click();
            else if (auto* option = dynamic_cast<model::OptionButton*>(&c))
                option->click();
            else if (auto* check = dynamic_cast<model::CheckBox*>(&c))
                check->click();
            else
                throw std::logic_error(name + " cannot be clicked");
        });
    }
    void check(const std::string& name, int index, bool on)
    {
        auto& box = as<model::CheckBox>(name, index);
        app.userAction([&] { box.setChecked(on); });
    }
    void select(const std::string& name, int position)
    {
        auto& list = as<model::ComboBox>(name);
        app.userAction([&] { list.setListIndex(position); });
    }
    void spinUp(const std::string& name, int index)
    {
        auto& updown = as<model::UpDown>(name, index);
        app.userAction([&] { updown.up(); });
    }
    const std::string& boxText(const std::string& name, int index = -1)
    {
        return as<model::TextBox>(name, index).text();
    }

    // The rain series, as the rain dialog leaves it; then the reduced area and
    // the subsoil, typed.
    void sharedInputs(std::initializer_list<float> intensities, const char* area, const char* kf)
    {
        int k = 1;
        for (float i : intensities)
            app.record().RainIntensities[k++] = i;
        app.record().OdvodNepPlocha = std::strtof(area, nullptr);
        text("txtOdvodNepPlocha", area);
        text("txtSoucFiltrace", kf);
        leave("txtSoucFiltrace");
    }
    // Decentralised mode, then the technology's list position (1..5).
    void decentralised(int technology)
    {
        click("optSelType", 0);
        select("cboSelType", technology);
    }

    CountingMessages messages;
    model::Application app;
};

} // namespace infil::bench
