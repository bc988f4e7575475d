// The project commands: the unsaved mark, the three answers to "Uložit
// změny?", the recent list, and the recovery copy after a crash.
#include "project/Session.h"

#include "AppFixture.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <queue>

namespace fs = std::filesystem;
using infil::project::Prompts;
using infil::project::Session;

namespace {

// Answers as a test tells it to and remembers what was asked.
class ScriptedPrompts : public Prompts {
public:
    std::queue<Answer> answers;
    std::queue<std::string> paths;
    bool yes = true;
    std::vector<std::string> asked;

    Answer askSaveChanges(const std::string& name) override
    {
        asked.push_back("Uložit změny? " + name);
        const Answer a = answers.empty() ? Answer::Cancel : answers.front();
        if (!answers.empty())
            answers.pop();
        return a;
    }
    std::optional<std::string> askOpenPath(const std::string&) override { return next(); }
    std::optional<std::string> askSavePath(const std::string& suggestion) override
    {
        asked.push_back("Uložit jako " + suggestion);
        return next();
    }
    bool askYesNo(const std::string& question) override
    {
        asked.push_back(question);
        return yes;
    }

private:
    std::optional<std::string> next()
    {
        if (paths.empty())
            return std::nullopt;
        std::string p = paths.front();
        paths.pop();
        return p;
    }
};

class SessionTest : public infil::test::AppTest {
protected:
    SessionTest()
    {
        char pattern[] = "/tmp/infil-session-XXXXXX";
        folder = ::mkdtemp(pattern);
        session().setPrompts(&prompts);
        session().start();
    }
    ~SessionTest() override
    {
        session().setPrompts(nullptr);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    Session& session() { return app.project(); }
    void type(const char* box, const std::string& text)
    {
        user([&] { calc().box(box).setText(text); });
    }
    template <typename F>
    bool command(F f)
    {
        bool done = false;
        user([&] { done = f(); });
        return done;
    }

    ScriptedPrompts prompts;
    std::string folder;
};

TEST_F(SessionTest, TheTitleCarriesTheNameAndAMarkWhileChangesAreUnsaved)
{
    EXPECT_EQ(session().title(), "INFIL - Výpočet infilovacích zařízení");
    type("txtProjName", "Hala");
    EXPECT_TRUE(session().modified());
    EXPECT_EQ(session().title(), "Bez názvu* - INFIL - Výpočet infilovacích zařízení");
    // Typing it back is no change.
    type("txtProjName", "");
    EXPECT_FALSE(session().modified());
    // Switching tabs changes nothing of the design.
    user([&] { calc().selectTab(1); });
    EXPECT_FALSE(session().modified());

    type("txtProjName", "Hala");
    ASSERT_TRUE(command([&] { return session().saveTo(folder + "/hala.infil"); }));
    EXPECT_EQ(session().title(), "hala.infil - INFIL - Výpočet infilovacích zařízení");
    type("txtHPV", "3");
    EXPECT_EQ(session().title(), "hala.infil* - INFIL - Výpočet infilovacích zařízení");
}

TEST_F(SessionTest, UnsavedChangesAreSavedDroppedOrKeptByTheAnswer)
{
    const std::string file = folder + "/projekt.infil";
    type("txtProjName", "Rozpracovaný");

    // Storno: nothing happens, nothing is lost.
    prompts.answers.push(Prompts::Answer::Cancel);
    EXPECT_FALSE(command([&] { return session().newProject(); }));
    EXPECT_EQ(rec().ProjName, "Rozpracovaný");
    EXPECT_TRUE(session().modified());
    EXPECT_EQ(prompts.asked.back(), "Uložit změny? Bez názvu");

    // Uložit: asks for a name, saves, then goes on.
    prompts.answers.push(Prompts::Answer::Save);
    prompts.paths.push(folder + "/projekt"); // the extension is added
    EXPECT_TRUE(command([&] { return session().newProject(); }));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(rec().ProjName, "");
    EXPECT_FALSE(session().modified());
    EXPECT_EQ(session().path(), "");

    // Uložit, but the name dialog cancelled: the command stops.
    type("txtProjName", "Druhý");
    prompts.answers.push(Prompts::Answer::Save);
    EXPECT_FALSE(command([&] { return session().openFile(file); }));
    EXPECT_EQ(rec().ProjName, "Druhý");

    // Neukládat: the changes go, the file opens.
    prompts.answers.push(Prompts::Answer::Discard);
    EXPECT_TRUE(command([&] { return session().openFile(file); }));
    EXPECT_EQ(rec().ProjName, "Rozpracovaný");
    EXPECT_EQ(calc().box("txtProjName").text(), "Rozpracovaný");
    EXPECT_FALSE(session().modified());

    // Closing asks the same; Storno keeps the window.
    type("txtHPV", "2");
    prompts.answers.push(Prompts::Answer::Cancel);
    EXPECT_FALSE(command([&] { return session().confirmClose(); }));
    prompts.answers.push(Prompts::Answer::Save);
    EXPECT_TRUE(command([&] { return session().confirmClose(); }));
    EXPECT_FALSE(session().modified());
}

TEST_F(SessionTest, TheRecentListKeepsTheLastEightNewestFirst)
{
    for (int i = 1; i <= 10; ++i) {
        type("txtProjName", "P" + std::to_string(i));
        ASSERT_TRUE(command([&] { return session().saveTo(folder + "/p" + std::to_string(i) + ".infil"); }));
    }
    ASSERT_EQ(session().recent().size(), 8u);
    EXPECT_EQ(session().recent().front(), folder + "/p10.infil");
    EXPECT_EQ(session().recent().back(), folder + "/p3.infil");
    // Opening one brings it to the front, once.
    ASSERT_TRUE(command([&] { return session().openFile(folder + "/p5.infil"); }));
    EXPECT_EQ(session().recent().front(), folder + "/p5.infil");
    EXPECT_EQ(std::count(session().recent().begin(), session().recent().end(), folder + "/p5.infil"), 1);
    EXPECT_EQ(rec().ProjName, "P5");
    // A file that is gone leaves the list when it fails to open.
    fs::remove(folder + "/p9.infil");
    EXPECT_FALSE(command([&] { return session().openFile(folder + "/p9.infil"); }));
    EXPECT_EQ(std::count(session().recent().begin(), session().recent().end(), folder + "/p9.infil"), 0);
}

TEST_F(SessionTest, TheRecoveryCopyIsWrittenWhileUnsavedAndGoesWhenSaved)
{
    // The state folder may not exist yet.
    session().setRecoveryFolder(folder + "/state/infil/recovery");
    session().recoveryTick();
    EXPECT_TRUE(session().recoveryFile().empty()) << "nothing to recover yet";
    type("txtProjName", "Neuložený");
    session().recoveryTick();
    const std::string copy = session().recoveryFile();
    ASSERT_FALSE(copy.empty());
    EXPECT_TRUE(fs::exists(copy));
    // Another program running now does not offer a copy still in use.
    infil::test::RecordingMessages otherMessages;
    infil::model::Application other("/nonexistent-infil-app", otherMessages);
    infil::model::installDialogs(other);
    other.calc().load();
    ScriptedPrompts otherPrompts;
    other.project().setPrompts(&otherPrompts);
    other.project().setRecoveryFolder(folder + "/state/infil/recovery");
    other.project().start();
    EXPECT_FALSE(other.project().offerRecovery());
    EXPECT_TRUE(otherPrompts.asked.empty());
    other.project().setPrompts(nullptr);

    ASSERT_TRUE(command([&] { return session().saveTo(folder + "/saved.infil"); }));
    EXPECT_FALSE(fs::exists(copy));
}

// A program killed with unsaved changes leaves its copy; the next start offers it.
TEST_F(SessionTest, AfterACrashTheNextStartOffersTheUnsavedProject)
{
    const std::string recovery = folder + "/recovery";
    const std::string original = folder + "/původní.infil";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        infil::test::RecordingMessages quiet;
        infil::model::Application crashing("/nonexistent-infil-app", quiet);
        infil::model::installDialogs(crashing);
        crashing.calc().load();
        crashing.project().setRecoveryFolder(recovery);
        crashing.project().start();
        crashing.userAction([&] { crashing.calc().box("txtProjName").setText("Původní"); });
        crashing.userAction([&] { crashing.project().saveTo(original); });
        crashing.userAction([&] { crashing.calc().box("txtHPV").setText("2,5"); });
        crashing.userAction([&] { crashing.calc().box("txtProjName").setText("Neuložená změna"); });
        crashing.project().recoveryTick();
        ::_exit(crashing.project().recoveryFile().empty() ? 1 : 0); // no clean-up: a crash
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    session().setRecoveryFolder(recovery);
    prompts.yes = true;
    EXPECT_TRUE(command([&] { return session().offerRecovery(); }));
    ASSERT_FALSE(prompts.asked.empty());
    EXPECT_EQ(prompts.asked.back().rfind("Obnovit neuložený projekt z ", 0), 0u) << prompts.asked.back();
    EXPECT_TRUE(prompts.asked.back().ends_with(" (původní.infil)?")) << prompts.asked.back();
    EXPECT_EQ(rec().ProjName, "Neuložená změna");
    EXPECT_EQ(calc().box("txtHPV").text(), "2,5");
    EXPECT_EQ(rec().HPV, 2.5f);
    // It is the original file's project, still unsaved.
    EXPECT_EQ(session().path(), original);
    EXPECT_TRUE(session().modified());
    EXPECT_EQ(session().title(), "původní.infil* - INFIL - Výpočet infilovacích zařízení");
    // The copy now is this program's own; the old one is gone.
    std::size_t copies = 0;
    for (const auto& entry : fs::directory_iterator(recovery))
        copies += entry.path().extension() == ".infil";
    EXPECT_EQ(copies, 1u);

    // Once saved, no copy is left to offer.
    ASSERT_TRUE(command([&] { return session().saveTo(original); }));
    EXPECT_FALSE(command([&] { return session().offerRecovery(); }));
}

} // namespace
