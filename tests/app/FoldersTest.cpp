// Where the program looks for the rain database and where its report working
// file goes: never into the program's folder, one private folder per running
// instance, and nothing left behind when it ends.
#include "AppFixture.h"
#include "model/Folders.h"
#include "rain/StationIntensities.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace infil;
using infil::model::Folders;
namespace fs = std::filesystem;

namespace {

struct TempTree {
    fs::path root;
    TempTree()
    {
        root = fs::temp_directory_path() /
               ("infil-folders-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~TempTree() { fs::remove_all(root); }
    fs::path make(const std::string& folder) const
    {
        fs::create_directories(root / folder);
        return root / folder;
    }
};

// An installed layout: the program and its pages in folders it cannot write,
// the user's runtime folder elsewhere.
Folders installed(const TempTree& t)
{
    Folders f;
    f.program = t.make("usr/bin").string();
    f.data = t.make("usr/share/infil/Webs/Desc_soubory").parent_path().parent_path().string();
    std::ofstream(fs::path(f.data) / "Webs/Desc_soubory/logo.gif") << "GIF89a";
    f.userData = (t.root / "home/.local/share/infil").string();
    f.runtime = t.make("run").string();
    ::chmod(f.runtime.c_str(), 0700);
    return f;
}

std::size_t entries(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class Program {
public:
    explicit Program(const Folders& folders) : app(folders, messages)
    {
        model::installDialogs(app);
        app.calc().load();
        app.record().OdvodNepPlocha = 100;
        app.userAction([&] { app.calc().optSelType[0]->click(); });
        app.userAction([&] { app.calc().cboSelType->setListIndex(1); });
        messages.messages.clear(); // the design's own remarks; only the report's matter here
    }
    std::string report(const std::string& projectName)
    {
        app.record().ProjName = projectName;
        EXPECT_TRUE(app.writeResultsReport());
        return app.record().ResultsFilePath;
    }

    test::RecordingMessages messages;
    model::Application app;
};

} // namespace

TEST(RainDatabasePlaces, NamedFileThenUserThenDataThenProgramWithoutRepeats)
{
    Folders f;
    f.rainDatabase = "/named/rain.mdb";
    f.userData = "/home/u/.local/share/infil";
    f.data = "/usr/share/infil";
    f.program = "/usr/bin";
    EXPECT_EQ(f.rainDatabasePlaces(),
              (std::vector<std::string>{"/named/rain.mdb", "/home/u/.local/share/infil/infil.mdb",
                                        "/usr/share/infil/infil.mdb", "/usr/bin/infil.mdb"}));
    // The build tree and the batch mode's one folder: a single place.
    EXPECT_EQ(Folders::single("/app").rainDatabasePlaces(), std::vector<std::string>{"/app/infil.mdb"});
}

TEST(RainDatabasePlaces, TheFirstPlaceHoldingAFileWins)
{
    TempTree t;
    const std::vector<std::string> places{(t.root / "a/infil.mdb").string(), (t.root / "b/infil.mdb").string(),
                                          (t.root / "c/infil.mdb").string()};
    EXPECT_EQ(model::findRainDatabase(places), places[0]); // none there: the first is named
    t.make("c");
    std::ofstream(places[2]) << "x";
    EXPECT_EQ(model::findRainDatabase(places), places[2]);
    t.make("b/infil.mdb"); // a folder in the way is still what the user put there
    EXPECT_EQ(model::findRainDatabase(places), places[1]);
}

TEST(RainDatabasePlaces, AMissingDatabaseMessageListsEveryPlaceSearched)
{
    ProjectRecord r;
    test::RecordingMessages messages;
    rain::LoadOptions options;
    options.searched = {"/home/u/.local/share/infil/infil.mdb", "/usr/share/infil/infil.mdb"};
    EXPECT_FALSE(rain::LoadStationIntensities(r, 84, options.searched[0], messages, options));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              "Databáze intenzit deště nebyla nalezena.\r\nHledané soubory:\r\n"
              "  /home/u/.local/share/infil/infil.mdb\r\n  /usr/share/infil/infil.mdb\r\n\r\n"
              "Intenzity deště lze zadat ručně volbou „(Vlastní hodnoty)“.\r\n\r\n"
              "Dosavadní intenzity deště zůstávají beze změny.");
}

TEST(ReportFolder, TheReportGoesToAPrivateFolderOfThisInstanceWithItsLogo)
{
    TempTree t;
    const Folders f = installed(t);
    std::string folder;
    {
        Program p(f);
        const std::string path = p.report("Most");
        EXPECT_TRUE(p.messages.messages.empty());
        folder = fs::path(path).parent_path().string();
        EXPECT_EQ(fs::path(folder).parent_path(), fs::path(f.runtime));
        EXPECT_EQ(fs::path(path).filename(), "Infil_Most");
        EXPECT_TRUE(fs::is_regular_file(path));
        struct stat st {};
        ASSERT_EQ(::stat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(st.st_uid, ::getuid());
        // The page's relative logo reference resolves beside it.
        EXPECT_TRUE(fs::is_regular_file(fs::path(folder) / "Webs/Desc_soubory/logo.gif"));
        // Nothing is written where the program lies.
        EXPECT_EQ(entries(f.program), 0u);
        EXPECT_EQ(entries(f.data), 1u);
        EXPECT_EQ(entries(fs::path(f.data) / "Webs/Desc_soubory"), 1u);
    }
    // The instance's folder goes with it, whatever report names it held.
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_EQ(entries(f.runtime), 0u);
}

TEST(ReportFolder, TwoInstancesWithTheSameProjectNeverShareAReport)
{
    TempTree t;
    const Folders f = installed(t);
    auto first = std::make_unique<Program>(f);
    Program second(f);
    const std::string a = first->report("Most");
    const std::string b = second.report("Most");
    EXPECT_NE(a, b);
    first->app.userAction([&] { first->app.calc().unload(); });
    first.reset();
    EXPECT_FALSE(fs::exists(a));
    EXPECT_TRUE(fs::is_regular_file(b));
}

TEST(ReportFolder, WithoutAUsableRuntimeFolderTheSystemTemporaryFolderServes)
{
    TempTree t;
    Folders f = installed(t);
    f.runtime = (t.root / "no-such-folder").string();
    Program p(f);
    const std::string path = p.report("Most");
    EXPECT_TRUE(p.messages.messages.empty());
    EXPECT_TRUE(fs::is_regular_file(path));
    EXPECT_EQ(fs::path(path).parent_path().parent_path(), fs::temp_directory_path());
}

TEST(ReportFolder, EveryNameTheProjectHadIsDeletedAtTheEnd)
{
    TempTree t;
    const fs::path shared = t.make("app");
    Program p(Folders::single(shared.string()));
    const std::string first = p.report("Most");
    const std::string second = p.report("Most přes řeku");
    EXPECT_TRUE(fs::exists(first));
    EXPECT_TRUE(fs::exists(second));
    p.app.userAction([&] { p.app.calc().unload(); });
    p.app.removeReports();
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(second));
}
