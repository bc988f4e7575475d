#pragma once
// A running program without a window, for the tests of the window models.

#include "model/Application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace infil::test {

class RecordingMessages : public MessagePort {
public:
    void showMessage(const Message& message) override { messages.push_back(message); }
    std::vector<Message> messages;
    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& m : messages)
            out.push_back(m.text);
        return out;
    }
};

class AppTest : public ::testing::Test {
protected:
    explicit AppTest(std::string appDir = "/nonexistent-infil-app") : app(std::move(appDir), messages)
    {
        model::installDialogs(app);
        app.calc().load();
    }

    ProjectRecord& rec() { return app.record(); }
    model::CalcForm& calc() { return app.calc(); }
    // A user action, as the window runs it.
    template <typename F>
    void user(F&& f)
    {
        app.userAction(f);
    }

    RecordingMessages messages;
    model::Application app;
};

} // namespace infil::test
