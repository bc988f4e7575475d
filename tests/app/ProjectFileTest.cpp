// Project files: what a file written by hand opens to, what is refused and
// with which message, what a newer program's keys become, and how the bytes
// reach the disk.
#include "project/FileAccess.h"
#include "project/ProjectFile.h"
#include "project/Session.h"
#include "scenario/ScenarioRunner.h"

#include "AppFixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using infil::project::Json;
using infil::project::ProjectData;
using infil::project::ReadError;

namespace {

// A folder of its own for each test, removed afterwards.
class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/infil-project-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, ignored);
        fs::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// The example of docs/project-format.md: a reader of the documentation gets
// exactly what the program opens.
Json documentedExample()
{
    const std::string doc = readAll(std::string(INFIL_SOURCE_DIR) + "/docs/project-format.md");
    const std::size_t start = doc.find("```json\n");
    const std::size_t end = doc.find("```", start + 8);
    return Json::parse(doc.substr(start + 8, end - start - 8));
}

std::string decodeError(const std::string& bytes)
{
    const auto result = infil::project::decode(bytes);
    const auto* error = std::get_if<ReadError>(&result);
    return error ? error->reason : std::string();
}

class ProjectFileTest : public infil::test::AppTest {};

TEST_F(ProjectFileTest, AFileWrittenByHandOpensToTheDocumentedState)
{
    TempFolder folder;
    const std::string path = folder.file("rýha.infil");
    writeAll(path, documentedExample().dump(2));
    bool opened = false;
    user([&] { opened = app.project().openFile(path); });
    ASSERT_TRUE(opened) << (messages.messages.empty() ? "" : messages.messages.back().text);

    EXPECT_EQ(rec().ProjName, "Rýha u haly");
    EXPECT_EQ(rec().Details, "Vsakovací rýha podél haly.\r\nHladina podzemní vody dle sondy S2.");
    EXPECT_EQ(rec().SubAreaSizes.slotCount(), 2);
    EXPECT_EQ(rec().SubAreaKinds[1], "asfalt");
    EXPECT_EQ(rec().OdvodNepPlocha, 1000.0f);
    EXPECT_EQ(rec().SoucFiltrace, 1e-5f);
    EXPECT_EQ(rec().HPV, 4.0f);
    EXPECT_EQ(calc().state().TechIndex, 4);
    EXPECT_EQ(calc().shownPane(), 4);
    EXPECT_EQ(calc().box("txtSoucFiltrace").text(), "1.0E-05");
    EXPECT_EQ(calc().box("txtSirkaRyhy", 4).text(), "0.5");
    EXPECT_EQ(calc().box("txtTypPudyPodlozi").text(), "Jemný písek");
    // Computed again on opening, as the file says they were shown.
    EXPECT_TRUE(calc().resultsCurrent(4));
    EXPECT_FALSE(calc().box("txtDelkaRyhy", 4).text().empty());
    EXPECT_GT(rec().DelkaRyhy, 0.0f);
    EXPECT_FALSE(app.project().modified());
    EXPECT_EQ(app.project().path(), path);
}

TEST_F(ProjectFileTest, SavedResultsAreNeverTakenFromTheFile)
{
    Json doc = documentedExample();
    doc["results"] = {{"technology", 4}, {"current", true},
                      {"values", {{{"name", "DelkaRyhy"}, {"value", 1}, {"text", "1.0"}}}}};
    doc["design"]["computed"] = false;
    const auto result = infil::project::decode(doc.dump());
    ASSERT_TRUE(std::holds_alternative<ProjectData>(result));
    user([&] {
        auto fresh = app.freshCopy(messages);
        infil::project::restore(*fresh, std::get<ProjectData>(result));
        app.adopt(*fresh);
    });
    EXPECT_EQ(calc().box("txtDelkaRyhy", 4).text(), "");
    EXPECT_FALSE(calc().resultsCurrent(4));
    EXPECT_EQ(rec().DelkaRyhy, 0.0f);
}

// The window refuses the centralised mode without a drained area and keeps
// its option ticked: such a project saves and opens again as it was.
TEST_F(ProjectFileTest, ARefusedCentralisedModeOpensAgain)
{
    TempFolder folder;
    const std::string path = folder.file("odmítnuto.infil");
    user([&] { calc().box("txtSoucFiltrace").setText("1e-5"); });
    user([&] { calc().optSelType.at(1)->setValue(true); });
    ASSERT_TRUE(calc().optSelType.at(1)->value());
    const auto refused = calc().state();
    ASSERT_NE(refused.TechIndex, 6);
    user([&] { app.project().saveTo(path); });
    ASSERT_TRUE(fs::exists(path));
    messages.messages.clear();

    bool opened = false;
    user([&] { opened = app.project().openFile(path); });
    EXPECT_TRUE(opened) << (messages.messages.empty() ? "" : messages.messages.back().text);
    EXPECT_TRUE(calc().optSelType.at(1)->value());
    EXPECT_EQ(calc().state().TechIndex, refused.TechIndex);
    EXPECT_EQ(calc().state().DesignMode, refused.DesignMode);
    EXPECT_EQ(calc().shownPane(), 0);
    EXPECT_FALSE(app.project().modified());
}

TEST(ProjectFile, BadFilesAreRefusedNamingTheKeyOrTheReason)
{
    Json example = documentedExample();
    auto with = [&](const std::function<void(Json&)>& change) {
        Json doc = example;
        change(doc);
        return doc.dump();
    };
    const struct {
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"", "obsah není platný zápis JSON"},
        {"{\"format\": \"infil-project\",\n  \"version\": 1,,}", "obsah není platný zápis JSON (řádek 2"},
        {"[1, 2]", "soubor není projekt programu Infil"},
        {R"({"format": "something-else", "version": 1})", "soubor není projekt programu Infil"},
        {with([](Json& d) { d["version"] = 2; }), "projekt uložila novější verze programu (formát verze 2)"},
        {with([](Json& d) { d["version"] = "1"; }), "klíč „version“ má být celé číslo"},
        {R"({"format": "infil-project", "version": 0})", "klíč „version“ má být celé číslo od 1"},
        {R"({"format": "infil-project", "version": -1})", "klíč „version“ má být celé číslo od 1"},
        {R"({"format": "infil-project", "version": 18446744073709551615})", "projekt uložila novější verze"},
        {with([](Json& d) { d.erase("rain"); }), "chybí klíč „rain“"},
        {with([](Json& d) { d["rain"].erase("intensities"); }), "chybí klíč „rain.intensities“"},
        {with([](Json& d) { d["rain"]["intensities"][3] = "150"; }), "klíč „rain.intensities[3]“ má být číslo"},
        {with([](Json& d) { d["rain"]["intensities"].erase(8); }), "klíč „rain.intensities“ má být pole 9 hodnot"},
        {with([](Json& d) { d["trench"]["width"] = 1e39; }), "číslo v klíči „trench.width“ je mimo rozsah"},
        {with([](Json& d) { d["trench"]["width"] = true; }), "klíč „trench.width“ má být číslo"},
        {with([](Json& d) { d["design"]["technology"] = 9; }), "klíč „design.technology“ má být celé číslo od 0 do 6"},
        {with([](Json& d) { d["design"]["mode"] = "centralised"; }), "klíč „design.technology“ má být 6 pro centralizované"},
        {with([](Json& d) { d["design"]["mode"] = "both"; }), "klíč „design.mode“ má být"},
        {with([](Json& d) { d["shaft"]["count"] = 70000; }), "klíč „shaft.count“ má být celé číslo"},
        {with([](Json& d) { d["shaft"]["product"] = "Šachta X"; }), "klíč „shaft.product“ nenese název výrobku"},
        {with([](Json& d) { d["drainedArea"]["parts"][0].erase("surface"); }),
         "chybí klíč „drainedArea.parts[0].surface“"},
        {with([](Json& d) { d["project"]["name"] = std::string(5000, 'x'); }),
         "text v klíči „project.name“ je delší, než program dovoluje"},
        {with([](Json& d) { d["project"]["name"] = std::string("a\0b", 3); }),
         "text v klíči „project.name“ obsahuje řídicí znak"},
        {with([](Json& d) { d["drainedArea"]["parts"] = Json::array(); for (int i = 0; i < 10001; ++i) d["drainedArea"]["parts"].push_back(d["drainedArea"]["parts"].size()); }),
         "klíč „drainedArea.parts“ má více položek, než program dovoluje"},
        {R"({"format": "infil-project", "version": 1, "x": )" + std::string(100, '[') + std::string(100, ']') + "}",
         "soubor je vnořen hlouběji"},
        // JSON has no NaN or infinity; a number beyond a double is refused as well.
        {with([](Json& d) { d["groundwaterDepth"] = "NaN"; }), "klíč „groundwaterDepth“ má být číslo"},
        {R"({"format": "infil-project", "version": 1, "n": NaN})", "obsah není platný zápis JSON"},
        {std::string(R"({"format": "infil-project", "version": 1, "groundwaterDepth": 1e400})"),
         "obsah není platný zápis JSON"},
    };
    for (const auto& c : cases) {
        const std::string reason = decodeError(c.bytes);
        EXPECT_EQ(reason.rfind(c.reason, 0), 0u) << c.bytes.substr(0, 120) << "\n gave: " << reason;
    }
}

TEST_F(ProjectFileTest, ABadFileLeavesTheOpenProjectAsItWas)
{
    TempFolder folder;
    user([&] { calc().box("txtProjName").setText("Můj projekt"); });
    const std::string bad = folder.file("bad.infil");
    Json doc = documentedExample();
    doc["soil"]["kf"] = "1e-5";
    writeAll(bad, doc.dump());
    bool opened = true;
    user([&] { opened = app.project().openFile(bad); });
    EXPECT_FALSE(opened);
    EXPECT_EQ(rec().ProjName, "Můj projekt");
    EXPECT_EQ(calc().box("txtProjName").text(), "Můj projekt");
    ASSERT_FALSE(messages.messages.empty());
    EXPECT_EQ(messages.messages.back().text,
              "Projekt nelze otevřít ze souboru " + bad + " (klíč „soil.kf“ má být číslo).");
}

TEST(ProjectFile, WhatIsNoRegularFileOrTooLargeIsRefusedWithoutReadingIt)
{
    TempFolder folder;
    std::string reason;
    const std::size_t limit = infil::project::kMaxFileBytes;

    EXPECT_FALSE(infil::project::readFileLimited(folder.path(), limit, &reason));
    EXPECT_EQ(reason, "na tomto místě je složka, ne soubor");

    // A pipe would block a reader that waits for a writer; it is refused at once.
    const std::string fifo = folder.file("pipe.infil");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(infil::project::readFileLimited(fifo, limit, &reason));
    EXPECT_EQ(reason.rfind("na tomto místě není obyčejný soubor", 0), 0u) << reason;

    EXPECT_FALSE(infil::project::readFileLimited(folder.file("none.infil"), limit, &reason));
    EXPECT_EQ(reason, "soubor neexistuje");

    // A gigabyte file costs nothing: its size is checked before a byte is read.
    const std::string huge = folder.file("huge.infil");
    {
        const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t(1) << 30), 0);
        ::close(fd);
    }
    EXPECT_FALSE(infil::project::readFileLimited(huge, limit, &reason));
    EXPECT_EQ(reason.rfind("soubor je větší, než projekt může být (1 073 741 824 bajtů", 0), 0u) << reason;

    if (::geteuid() != 0) { // root reads whatever it likes
        const std::string locked = folder.file("locked.infil");
        writeAll(locked, "{}");
        ::chmod(locked.c_str(), 0);
        EXPECT_FALSE(infil::project::readFileLimited(locked, limit, &reason));
        EXPECT_EQ(reason, "přístup odepřen");
    }
}

TEST_F(ProjectFileTest, KeysOfANewerMinorVersionAreKeptWhenSavedAgain)
{
    TempFolder folder;
    Json doc = documentedExample();
    doc["minorVersion"] = 3;
    doc["carbon"] = {{"footprint", 12.5}};
    doc["trench"]["geotextile"] = "PP 300 g/m²";
    doc["rain"]["climateFactor"] = 1.1;
    const std::string path = folder.file("newer.infil");
    writeAll(path, doc.dump());
    bool done = false;
    user([&] { done = app.project().openFile(path); });
    ASSERT_TRUE(done);
    user([&] { calc().box("txtHPV").setText("5"); });
    user([&] { done = app.project().save(); });
    ASSERT_TRUE(done);

    const Json saved = Json::parse(readAll(path));
    EXPECT_EQ(saved["minorVersion"], 3);
    EXPECT_EQ(saved["carbon"]["footprint"], 12.5);
    EXPECT_EQ(saved["trench"]["geotextile"], "PP 300 g/m²");
    EXPECT_EQ(saved["rain"]["climateFactor"], 1.1);
    EXPECT_EQ(saved["groundwaterDepth"], 5);
    EXPECT_EQ(saved["trench"]["width"], 0.5);
}

TEST_F(ProjectFileTest, EveryFloatComesBackToTheBit)
{
    // Values whose shortest decimal lies near a rounding boundary.
    const float values[] = {0.1f, 1.0f / 3.0f, 3.4028235e38f, 1.17549435e-38f, 1e-45f, -0.0f, 16777217.0f, 0.35f};
    for (const float v : values) {
        ProjectData d = infil::project::capture(app);
        d.record.HPV = v;
        const std::string bytes = infil::project::encode(infil::project::toJson(d, app));
        const auto back = infil::project::decode(bytes);
        ASSERT_TRUE(std::holds_alternative<ProjectData>(back)) << bytes;
        const float read = std::get<ProjectData>(back).record.HPV;
        EXPECT_EQ(std::memcmp(&read, &v, sizeof v), 0) << v;
    }
}

// ---------------------------------------------------------------------------
// Writing

TEST(ProjectFileWriting, ReplacesTheFileWholeAndKeepsItsPermissions)
{
    TempFolder folder;
    const std::string path = folder.file("p.infil");
    writeAll(path, "old");
    ::chmod(path.c_str(), 0640);
    std::string reason;
    ASSERT_TRUE(infil::project::writeFileAtomically(path, "new", &reason)) << reason;
    EXPECT_EQ(readAll(path), "new");
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // Saving through a link writes the file it names; the link stays.
    const std::string link = folder.file("link.infil");
    fs::create_symlink(path, link);
    ASSERT_TRUE(infil::project::writeFileAtomically(link, "newer", &reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readAll(path), "newer");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
}

TEST(ProjectFileWriting, AFailedWriteLeavesTheOldFileAndNoTemporaryOne)
{
    TempFolder folder;
    const std::string path = folder.file("p.infil");
    writeAll(path, "old");
    infil::project::WriteCalls full = infil::project::systemWriteCalls();
    full.write = [](int, const void*, std::size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    std::string reason;
    EXPECT_FALSE(infil::project::writeFileAtomically(path, std::string(10000, 'x'), &reason, full));
    EXPECT_EQ(reason, "na disku není dost místa");
    EXPECT_EQ(readAll(path), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);

    infil::project::WriteCalls crashing = infil::project::systemWriteCalls();
    crashing.rename = [](const char*, const char*) {
        errno = EIO;
        return -1;
    };
    EXPECT_FALSE(infil::project::writeFileAtomically(path, "new", &reason, crashing));
    EXPECT_EQ(readAll(path), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

// A small file system of its own: a real full disk and a real read-only one.
// Mounting needs root; elsewhere these cases are skipped (the injected
// failure above covers the logic).
class MountedFolder {
public:
    MountedFolder(const std::string& options)
    {
        char pattern[] = "/tmp/infil-mount-XXXXXX";
        path_ = ::mkdtemp(pattern);
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~MountedFolder()
    {
        if (mounted_)
            ::umount(path_.c_str());
        ::rmdir(path_.c_str());
    }
    bool mounted() const { return mounted_; }
    void readOnly() { mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0 && mounted_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
    bool mounted_ = false;
};

class ProjectSaving : public infil::test::AppTest {};

TEST_F(ProjectSaving, AFullDiskSaysSoAndKeepsTheUnsavedMark)
{
    MountedFolder disk("size=64k");
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a small file system needs root";
    const std::string path = disk.file("p.infil");
    app.project().start();
    user([&] { calc().box("txtProjName").setText("První"); });
    bool saved = false;
    user([&] { saved = app.project().saveTo(path); });
    ASSERT_TRUE(saved);
    const std::string first = readAll(path);
    // Notes larger than the disk's room.
    user([&] { calc().box("txtDetails").setText(std::string(100000, 'n')); });
    ASSERT_TRUE(app.project().modified());
    user([&] { saved = app.project().save(); });
    EXPECT_FALSE(saved);
    EXPECT_TRUE(app.project().modified());
    EXPECT_EQ(app.project().title(), "p.infil* - INFIL - Výpočet infilovacích zařízení");
    EXPECT_EQ(readAll(path), first);
    ASSERT_FALSE(messages.messages.empty());
    EXPECT_EQ(messages.messages.back().text,
              "Projekt nelze uložit do souboru " + path + " (na disku není dost místa).");
}

TEST_F(ProjectSaving, AReadOnlyFolderSaysSo)
{
    std::string path;
    std::string expected;
    MountedFolder disk("size=64k");
    TempFolder folder;
    if (::geteuid() == 0) {
        if (!disk.mounted())
            GTEST_SKIP() << "no read-only file system can be made here";
        disk.readOnly();
        path = disk.file("p.infil");
        expected = "disk je jen pro čtení";
    } else {
        ::chmod(folder.path().c_str(), 0555);
        path = folder.file("p.infil");
        expected = "přístup odepřen";
    }
    app.project().start();
    user([&] { calc().box("txtProjName").setText("Projekt"); });
    bool saved = true;
    user([&] { saved = app.project().saveTo(path); });
    EXPECT_FALSE(saved);
    EXPECT_TRUE(app.project().modified());
    ASSERT_FALSE(messages.messages.empty());
    EXPECT_EQ(messages.messages.back().text, "Projekt nelze uložit do souboru " + path + " (" + expected + ").");
}

} // namespace

namespace {

TEST(ProjectBatch, TheProjectOptionOpensAFileBeforeTheSteps)
{
    const std::string project = std::string(INFIL_SOURCE_DIR) + "/tests/project/trench.infil";
    auto run = [](const std::optional<std::string>& file, std::string* err) {
        std::istringstream in(R"({"steps": [["text", "txtHPV", "3"]]})");
        std::ostringstream out, errors;
        infil::scenario::Options options;
        options.appDir = "/nonexistent-infil-app";
        options.now = "2026-12-08T10:15:30";
        options.project = file;
        const int rc = infil::scenario::run(in, options, out, errors);
        *err = errors.str();
        return std::make_pair(rc, rc == 0 ? Json::parse(out.str()) : Json());
    };
    std::string err;
    const auto [rc, doc] = run(project, &err);
    ASSERT_EQ(rc, 0) << err;
    EXPECT_EQ(doc["project"]["file"], project);
    EXPECT_EQ(doc["project"]["modified"], true); // the step changed it
    EXPECT_EQ(doc["boxes"]["txtProjName"], "Rýha u skladu");
    EXPECT_EQ(doc["boxes"]["txtHPV"], "3");
    EXPECT_EQ(doc["form"]["pane"], 4);

    const auto [failed, none] = run(project + ".missing", &err);
    EXPECT_EQ(failed, 2);
    EXPECT_EQ(err, "scenario: --project: Projekt nelze otevřít ze souboru " + project +
                       ".missing (soubor neexistuje).\n");
}

} // namespace
