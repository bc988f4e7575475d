// What the reader checks before the database library sees a file.
#include "RainTestSupport.h"
#include "rain/DatabaseFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include <sys/stat.h>

namespace infil::test {
namespace {

using rain::FileStatus;

// A Jet header on `pages` pages of the given size; version 1 is Jet 4.
std::vector<unsigned char> jetImage(std::size_t pages, std::size_t pageSize = 4096, unsigned char version = 1,
                                    const char* name = "Standard Jet DB")
{
    std::vector<unsigned char> bytes(pages * pageSize, 0);
    bytes[1] = 0x01;
    std::memcpy(bytes.data() + 4, name, std::strlen(name) + 1);
    bytes[0x14] = version;
    return bytes;
}

void writeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(JetHeader, AcceptsJet3AndJet4MadeOfWholePages)
{
    int page = 0;
    EXPECT_EQ(rain::checkJetImage(jetImage(3), &page), FileStatus::Ok);
    EXPECT_EQ(page, 4096);
    EXPECT_EQ(rain::checkJetImage(jetImage(5, 2048, 0), &page), FileStatus::Ok);
    EXPECT_EQ(page, 2048);
}

TEST(JetHeader, RefusesWhatIsNotAJetDatabase)
{
    EXPECT_EQ(rain::checkJetImage({}), FileStatus::Empty);
    const std::string text = "doba;5;2;1\n5;270.7;331.2;385.8\n";
    EXPECT_EQ(rain::checkJetImage({reinterpret_cast<const unsigned char*>(text.data()), text.size()}),
              FileStatus::NotJet);

    auto wrongTag = jetImage(3);
    wrongTag[0] = 0x01;
    EXPECT_EQ(rain::checkJetImage(wrongTag), FileStatus::NotJet);
    EXPECT_EQ(rain::checkJetImage(jetImage(3, 4096, 1, "Standard Jet XX")), FileStatus::NotJet);

    EXPECT_EQ(rain::checkJetImage(jetImage(3, 4096, 2, "Standard ACE DB")), FileStatus::UnsupportedJet);
    EXPECT_EQ(rain::checkJetImage(jetImage(3, 4096, 5)), FileStatus::UnsupportedJet);
}

TEST(JetHeader, TruncatedImagesAreIncomplete)
{
    auto cut = jetImage(4);
    cut.resize(cut.size() - 100);
    EXPECT_EQ(rain::checkJetImage(cut), FileStatus::Incomplete);
    EXPECT_EQ(rain::checkJetImage(jetImage(2)), FileStatus::Incomplete);
    auto headerOnly = jetImage(1);
    headerOnly.resize(64);
    EXPECT_EQ(rain::checkJetImage(headerOnly), FileStatus::Incomplete);
}

TEST(DatabaseFile, ReadsAGoodFileWhole)
{
    TempDir dir;
    const auto bytes = jetImage(3);
    writeFile(dir / "infil.mdb", bytes);
    const auto image = rain::loadDatabaseImage((dir / "infil.mdb").string());
    EXPECT_EQ(image.status, FileStatus::Ok);
    EXPECT_EQ(image.bytes, bytes);
    EXPECT_EQ(image.pageSize, 4096);
}

TEST(DatabaseFile, TellsWhatIsWrongWithThePath)
{
    TempDir dir;
    EXPECT_EQ(rain::loadDatabaseImage((dir / "infil.mdb").string()).status, FileStatus::Missing);
    EXPECT_EQ(rain::loadDatabaseImage((dir / "no-folder" / "infil.mdb").string()).status, FileStatus::Missing);
    EXPECT_EQ(rain::loadDatabaseImage("").status, FileStatus::Missing);

    std::filesystem::create_directory(dir / "infil.mdb");
    EXPECT_EQ(rain::loadDatabaseImage((dir / "infil.mdb").string()).status, FileStatus::NotAFile);

    writeFile(dir / "empty.mdb", {});
    EXPECT_EQ(rain::loadDatabaseImage((dir / "empty.mdb").string()).status, FileStatus::Empty);

    writeFile(dir / "big.mdb", jetImage(4));
    EXPECT_EQ(rain::loadDatabaseImage((dir / "big.mdb").string(), 3 * 4096).status, FileStatus::TooLarge);
}

TEST(DatabaseFile, APipeUnderTheNameDoesNotHang)
{
    TempDir dir;
    const auto fifo = dir / "infil.mdb";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(rain::loadDatabaseImage(fifo.string()).status, FileStatus::NotAFile);
}

} // namespace
} // namespace infil::test
