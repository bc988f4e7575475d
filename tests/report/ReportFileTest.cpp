// The report's bytes and file: code page, line ends, file name, writing and its failures.
#include "Cp1250.h"
#include "ReferenceTables.h"
#include "ReportFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace infil;
using namespace infil::report;
namespace fs = std::filesystem;

namespace {

class Recorder : public MessagePort {
public:
    std::vector<Message> shown;
    void showMessage(const Message& m) override { shown.push_back(m); }
};

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ReportFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("infil-report-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        InitReferenceTables(r);
        InitSubAreaLists(r);
        f.TechIndex = 1;
        r.ProjName = "Most";
        r.ResultsFilePath = ResultsFilePathFor(dir.string(), r.ProjName);
    }
    void TearDown() override { fs::remove_all(dir); }

    WriteOutcome write() { return WriteResultsReport(r, f, c, stamp, messages); }

    fs::path dir;
    ProjectRecord r;
    FormState f;
    ReportControls c;
    ReportStamp stamp{"1.2.2024", "10:00:00"};
    Recorder messages;
};

} // namespace

TEST(Cp1250, CzechLettersHaveTheirCodePageBytes)
{
    EXPECT_EQ(ToWindows1250("ěščřžýáíéúůďťňó"),
              "\xEC\x9A\xE8\xF8\x9E\xFD\xE1\xED\xE9\xFA\xF9\xEF\x9D\xF2\xF3");
    EXPECT_EQ(ToWindows1250("ĚŠČŘŽÝÁÍÉÚŮĎŤŇÓ"),
              "\xCC\x8A\xC8\xD8\x8E\xDD\xC1\xCD\xC9\xDA\xD9\xCF\x8D\xD2\xD3");
    EXPECT_EQ(ToWindows1250("m\u00A0× €"), "m\xA0\xD7 \x80");
    EXPECT_EQ(FromWindows1250("\xC8\xED\x9E\x6B\x6F\x76\x69\x63\x65"), "Čížkovice");
}

TEST(Cp1250, MissingCharactersBecomeReferencesNotLosses)
{
    EXPECT_EQ(ToWindows1250("π ≤ 1 😀"), "&#960; &#8804; 1 &#128512;");
    // Broken UTF-8: a stray continuation byte, a cut sequence, an overlong slash.
    EXPECT_EQ(ToWindows1250("a\x80" "b"), "a&#65533;b");
    EXPECT_EQ(ToWindows1250("x\xC4"), "x&#65533;");
    EXPECT_EQ(ToWindows1250("\xC0\xAF"), "&#65533;&#65533;");
    EXPECT_EQ(FromWindows1250("\x81"), "\uFFFD");
}

TEST(Cp1250, ReportBytesEndEveryLineWithCrLf)
{
    EXPECT_EQ(EncodeReport({"Výška", "", "m<sup>2</sup>"}), "V\xFD\x9Aka\r\n\r\nm<sup>2</sup>\r\n");
}

TEST(ReportFileName, ProjectNameStaysInsideTheApplicationFolder)
{
    EXPECT_EQ(ResultsFilePathFor("/opt/infil", "Most"), "/opt/infil/Infil_Most");
    EXPECT_EQ(ResultsFilePathFor("/opt/infil/", ""), "/opt/infil/Infil_");
    EXPECT_EQ(ResultsFileNameFor("Čistírna Říčany 2"), "Infil_Čistírna Říčany 2");
    EXPECT_EQ(ResultsFileNameFor("../../etc/passwd"), "Infil_.__.__etc_passwd");
    EXPECT_EQ(ResultsFileNameFor(".."), "Infil_._");
    EXPECT_EQ(ResultsFileNameFor("a\\b:c*d?e\"f<g>h|i"), "Infil_a_b_c_d_e_f_g_h_i");
    EXPECT_EQ(ResultsFileNameFor("řádek\r\nnový\x7F"), "Infil_řádek__nový_");
    EXPECT_EQ(ResultsFileNameFor("bad\xFFutf"), "Infil_bad_utf");

    // A very long name is cut at a whole character, well below the file-name limit.
    std::string longName;
    for (int i = 0; i < 300; ++i)
        longName += "ž";
    const std::string part = SafeNamePart(longName);
    EXPECT_EQ(part.size(), 200u);
    EXPECT_EQ(part.substr(198), "ž");
}

TEST_F(ReportFile, WritesThePageBesideTheProgram)
{
    r.Details = "a\r\nb";
    const auto outcome = write();
    EXPECT_TRUE(outcome.written());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(r.Details, "a\r\nb"); // writing changes nothing in the record
    const fs::path file = dir / "Infil_Most";
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(readFile(file), EncodeReport(ResultsReportLines(r, f, c, stamp)));

    // Rewritten whole each time: a shorter page leaves nothing of the longer one.
    r.Details.clear();
    EXPECT_TRUE(write().written());
    EXPECT_EQ(readFile(file), EncodeReport(ResultsReportLines(r, f, c, stamp)));

    DeleteResultsFile(file.string());
    EXPECT_FALSE(fs::exists(file));
    DeleteResultsFile(file.string()); // already gone: no error
    DeleteResultsFile("");
}

TEST_F(ReportFile, EmptyPathWritesNothingAndSaysNothing)
{
    r.ResultsFilePath.clear();
    r.Details = "a\r\nb";
    EXPECT_EQ(write().status, WriteStatus::NoPath);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(r.Details, "a\r\nb");
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(ReportFile, FileHeldByAnotherProgramKeepsItsContent)
{
    const fs::path file = dir / "Infil_Most";
    std::ofstream(file) << "old page";
    const int other = ::open(file.c_str(), O_RDONLY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);

    r.Details = "x\r\ny";
    const auto outcome = write();
    ::close(other);

    EXPECT_EQ(outcome.status, WriteStatus::InUse);
    EXPECT_FALSE(outcome.written());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], (Message{MessageIcon::Stop, "Infil",
                                          "Soubor Infil_Most je otevřený jinou aplikací."}));
    EXPECT_EQ(outcome.inUseName, "Infil_Most");
    EXPECT_EQ(readFile(file), "old page");
}

TEST_F(ReportFile, MissingFolderIsReportedWithItsReason)
{
    r.ResultsFilePath = (dir / "gone" / "Infil_Most").string();
    const auto outcome = write();
    EXPECT_EQ(outcome.status, WriteStatus::Failed);
    EXPECT_EQ(outcome.reason, "složka neexistuje");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(messages.shown[0].text,
              "Výsledky nelze zapsat do souboru " + r.ResultsFilePath + " (složka neexistuje).");
}

// A failed write (here the file-size limit stands in for a full disk) is
// reported, leaves the old report as it was and no partial file behind.
TEST_F(ReportFile, FailedWriteKeepsTheOldFileAndLeavesNothingBehind)
{
    const fs::path file = dir / "Infil_Most";
    std::ofstream(file) << "old page";
    r.Details = std::string(64 * 1024, 'x');

    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto outcome = write();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(outcome.status, WriteStatus::Failed);
    EXPECT_EQ(outcome.reason, "soubor by byl větší, než systém dovoluje");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(readFile(file), "old page");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// Whatever stands at the report's name is replaced, never written through: a
// link to another file, a second name of another file, a pipe (which would
// block an open for writing for good).
TEST_F(ReportFile, ThingsPlantedAtTheNameAreReplacedNotFollowed)
{
    const fs::path file = dir / "Infil_Most";
    const fs::path victim = dir / "victim";
    const std::string expected = EncodeReport(ResultsReportLines(r, f, c, stamp));

    std::ofstream(victim) << "precious";
    fs::create_symlink(victim, file);
    EXPECT_TRUE(write().written());
    EXPECT_FALSE(fs::is_symlink(file));
    EXPECT_EQ(readFile(file), expected);
    EXPECT_EQ(readFile(victim), "precious");

    fs::remove(file);
    fs::create_hard_link(victim, file);
    EXPECT_TRUE(write().written());
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_EQ(fs::hard_link_count(file), 1u);

    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_TRUE(write().written()); // returns at all: nothing waited on the pipe
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file)));
    EXPECT_EQ(readFile(file), expected);

    // A folder cannot be replaced by a file: that is a failure with its reason.
    fs::remove(file);
    fs::create_directory(file);
    const auto outcome = write();
    EXPECT_EQ(outcome.status, WriteStatus::Failed);
    EXPECT_EQ(outcome.reason, "na místě souboru je složka");
    EXPECT_TRUE(messages.shown.size() == 1u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2); // victim, folder
}

TEST(SavedCopy, LogoReferencePointsBesideTheCopy)
{
    const std::string page = "<td><img border=0 src=Webs\\Desc_soubory\\logo.gif></td>x";
    EXPECT_EQ(RelinkLogo(page, "Zpráva 1#_soubory"),
              "<td><img border=0 src=\"Zpr%C3%A1va%201%23_soubory/logo.gif\"></td>x");
    EXPECT_EQ(RelinkLogo("no picture", "a"), "no picture");
}

// The diagrams lie beside the page; a saved copy finds them in its folder. A
// source that would lead into or out of a folder is not a picture beside it.
TEST(SavedCopy, PicturesBesideThePageMoveIntoTheCopysFolder)
{
    const std::string page = "<img border=0 src=Webs\\Desc_soubory\\logo.gif>"
                             "<img src=\"Infil_R%C3%BDha%20u%20haly-delka.png\" width=640>"
                             "<img src=\"..%2Fsecret.png\"><img src=\"Webs/x.png\"><img src=\"bad%2\">"
                             "<img src=\"Infil_R%C3%BDha%20u%20haly-delka.png\">";
    EXPECT_EQ(PicturesBeside(page), std::vector<std::string>{"Infil_Rýha u haly-delka.png"});
    EXPECT_EQ(RelinkPicturesBeside(page, "Zpráva_soubory"),
              "<img border=0 src=Webs\\Desc_soubory\\logo.gif>"
              "<img src=\"Zpr%C3%A1va_soubory/Infil_R%C3%BDha%20u%20haly-delka.png\" width=640>"
              "<img src=\"..%2Fsecret.png\"><img src=\"Webs/x.png\"><img src=\"bad%2\">"
              "<img src=\"Zpr%C3%A1va_soubory/Infil_R%C3%BDha%20u%20haly-delka.png\">");
    EXPECT_EQ(RelinkPicturesBeside("no picture", "a"), "no picture");
}
