// Reading and writing the open rain data format: round trips, every kind of
// bad row, spreadsheet exports, and files that are no rain data at all.
#include "rain/RainCsv.h"

#include "Cp1250.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace infil::rain {
namespace {

const std::string kHeader = "stanice,nazev,periodicita,i5,i10,i15,i20,i30,i45,i60,i90,i120,zdroj\n";

RainRow brno(int periodicity, float first = 270.7f)
{
    RainRow row;
    row.station = 84;
    row.periodicity = periodicity;
    for (std::size_t i = 0; i < 9; ++i)
        row.intensities[i] = first - 20.0f * static_cast<float>(i);
    row.source = "Trupl 1958, tab. 12";
    return row;
}

std::string reasonsOf(const CsvReading& reading)
{
    std::string all;
    for (const auto& r : reading.rejected)
        all += std::to_string(r.line) + ": " + r.reason + "\n";
    return all;
}

TEST(RainCsv, WrittenRowsReadBackBitForBit)
{
    RainRow gaps = brno(5);
    gaps.intensities[7].reset(); // a slot the source does not give
    gaps.intensities[8].reset();
    RainRow hamry;
    hamry.station = 6;
    hamry.periodicity = 7;
    hamry.intensities = {0.1f, 1e-3f, 123.456f, 1999.99f, 0.0f, 3.4028e-5f, 77.7f, 16777217.0f / 16384, 1.0f / 3};
    hamry.source = "ČHMÚ 2024, objednávka \"123\"; list 2";

    const std::string text = writeRainCsv({brno(1), gaps, hamry});
    EXPECT_EQ(text.substr(0, kHeader.size()), kHeader);
    const CsvReading back = readRainCsv(text);
    ASSERT_EQ(back.status, CsvReading::Status::Read) << back.problem;
    EXPECT_TRUE(back.rejected.empty()) << reasonsOf(back);
    ASSERT_EQ(back.rows.size(), 3u);
    EXPECT_EQ(back.rows[0], brno(1));
    EXPECT_EQ(back.rows[1], gaps);
    EXPECT_EQ(back.rows[2], hamry);
    EXPECT_EQ(back.rows[2].line, 4);
}

TEST(RainCsv, ExactTextGivesEverySingleBackThroughTheProgramsReader)
{
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> intensity(0.0f, 2000.0f);
    for (int i = 0; i < 20000; ++i) {
        const float value = i % 2 ? intensity(random) : std::ldexp(intensity(random), -(i % 40));
        RainRow row = brno(1);
        row.intensities[0] = value;
        const CsvReading back = readRainCsv(writeRainCsv({row}));
        ASSERT_EQ(back.rows.size(), 1u) << exactText(value);
        float got = *back.rows[0].intensities[0];
        ASSERT_EQ(std::memcmp(&got, &value, sizeof value), 0) << exactText(value);
    }
}

TEST(RainCsv, EveryKindOfBadRowIsRefusedWithItsReasonAndTheRestKept)
{
    const std::string text = kHeader +
                             "84,Brno,0.2,270.7,200,180,160,130,100,80,60,50,Trupl\n"       // 2 good
                             "99,,0.2,1,2,3,4,5,6,7,8,9,Trupl\n"                            // 3 unknown station
                             "84.5,,0.2,1,2,3,4,5,6,7,8,9,Trupl\n"                          // 4 not whole
                             "84,,0.3,1,2,3,4,5,6,7,8,9,Trupl\n"                            // 5 periodicity
                             "84,,1,1,-2,3,4,5,6,7,8,9,Trupl\n"                             // 6 negative
                             "84,,0.5,1,2,x3,4,5,6,7,8,9,Trupl\n"                           // 7 not a number
                             "84,,0.1,1,2,3,4,5,6,7,8\n"                                    // 8 missing columns
                             "84,,0.2,9,9,9,9,9,9,9,9,9,Jiný zdroj\n"                       // 9 duplicate of 2
                             "84,Praha,5,1,2,3,4,5,6,7,8,9,Trupl\n"                         // 10 wrong name
                             "84,,2,1,2,3,4,5,6,7,8,2500,Trupl\n"                           // 11 implausible
                             "84,,0.05,,,,,,,,,,Trupl\n"                                    // 12 no intensity
                             "84,,0.05,1,2,3,4,5,6,7,8,9,\n"                                // 13 no source
                             "6,Hamry,1,270,7,200,180,160,130,100,80,60,50,Trupl\n"         // 14 unquoted comma
                             "6,Hamry,1,\"270,7\",200,180,160,130,100,80,60,50,Trupl\n";    // 15 good
    const CsvReading reading = readRainCsv(text);
    ASSERT_EQ(reading.status, CsvReading::Status::Read) << reading.problem;
    ASSERT_EQ(reading.rows.size(), 2u);
    EXPECT_EQ(reading.rows[0].line, 2);
    EXPECT_EQ(reading.rows[1].line, 15);
    EXPECT_EQ(*reading.rows[1].intensities[0], 270.7f);
    EXPECT_TRUE(reading.dialect.decimalComma);

    const std::vector<std::pair<int, std::string>> expected = {
        {3, "neznámá stanice 99"},
        {4, "není celé číslo"},
        {5, "periodicita 0.3 není jedna z 5, 2, 1, 0.5, 0.2, 0.1, 0.05"},
        {6, "intenzita i10 je záporná (-2)"},
        {7, "intenzita i15 „x3“ není číslo"},
        {8, "chybí sloupce i120, zdroj"},
        {9, "už je na řádku 2"},
        {10, "stanice 84 je Brno, ne „Praha“"},
        {11, "intenzita i120 2500 l/(s.ha) je nepřípustně velká"},
        {12, "není uvedena žádná intenzita"},
        {13, "chybí zdroj"},
        {14, "v uvozovkách"},
    };
    ASSERT_EQ(reading.rejected.size(), expected.size()) << reasonsOf(reading);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(reading.rejected[i].line, expected[i].first);
        EXPECT_NE(reading.rejected[i].reason.find(expected[i].second), std::string::npos)
            << reading.rejected[i].reason;
    }
}

TEST(RainCsv, SpreadsheetExportWithSemicolonsDecimalCommasAndWindows1250)
{
    // Columns in another order, an extra column, capitals, CR LF, a quoted
    // source holding the separator, and the source in the Czech code page.
    const std::string utf8 = "Periodicita;Stanice;Poznámka;I5;I10;I15;I20;I30;I45;I60;I90;I120;Zdroj\r\n"
                             "0,2;84;x;270,7;200;180;160;130;100;80;60;50,5;\"Trupl; tab. 12 (č. 3)\"\r\n"
                             ";;;;;;;;;;;;\r\n"
                             "1;6;;1 234,5;1;1;1;1;1;1;1;1;Měření obce\r\n";
    const CsvReading reading = readRainCsv(report::ToWindows1250(utf8));
    ASSERT_EQ(reading.status, CsvReading::Status::Read) << reading.problem;
    EXPECT_TRUE(reading.rejected.empty()) << reasonsOf(reading);
    ASSERT_EQ(reading.rows.size(), 2u);
    EXPECT_EQ(reading.rows[0].station, 84);
    EXPECT_EQ(reading.rows[0].periodicity, 5);
    EXPECT_EQ(*reading.rows[0].intensities[0], 270.7f);
    EXPECT_EQ(*reading.rows[0].intensities[8], 50.5f);
    EXPECT_EQ(reading.rows[0].source, "Trupl; tab. 12 (č. 3)");
    EXPECT_EQ(*reading.rows[1].intensities[0], 1234.5f);
    EXPECT_EQ(reading.rows[1].source, "Měření obce");
    EXPECT_EQ(reading.dialect.describe(),
              "oddělovač „;“, desetinná čárka, kódování Windows-1250, konce řádků CR LF");

    // The same file as UTF-8 with a byte order mark.
    const CsvReading bom = readRainCsv("\xEF\xBB\xBF" + utf8);
    ASSERT_EQ(bom.rows.size(), 2u);
    EXPECT_EQ(bom.rows[1].source, "Měření obce");
    EXPECT_EQ(bom.dialect.describe(), "oddělovač „;“, desetinná čárka, kódování UTF-8 s BOM, konce řádků CR LF");
}

TEST(RainCsv, FilesThatAreNoRainDataAreRefusedWhole)
{
    std::string binary = "\x89PNG\r\n\x1a\n";
    binary.push_back('\0');
    EXPECT_EQ(readRainCsv(binary).status, CsvReading::Status::NotText);

    const CsvReading prose = readRainCsv("Dear reader,\nthis is a letter, not a table.\n");
    EXPECT_EQ(prose.status, CsvReading::Status::NoHeader);
    EXPECT_NE(prose.problem.find("nemá záhlaví"), std::string::npos);

    const CsvReading partial = readRainCsv("stanice,periodicita,i5,i10,i15,i20,i30,i45,i60,i120,zdroj\n");
    EXPECT_EQ(partial.status, CsvReading::Status::NoHeader);
    EXPECT_EQ(partial.problem, "V záhlaví chybí sloupec i90.");

    const CsvReading twice = readRainCsv(kHeader.substr(0, kHeader.size() - 1) + ",i5\n");
    EXPECT_EQ(twice.status, CsvReading::Status::NoHeader);

    std::string huge = kHeader;
    while (huge.size() <= kMaxRainCsvBytes)
        huge += "84,,0.2,1,2,3,4,5,6,7,8,9,Trupl\n";
    EXPECT_EQ(readRainCsv(huge).status, CsvReading::Status::TooLarge);

    // Empty and header-only files are read and hold nothing.
    EXPECT_EQ(readRainCsv(kHeader).rows.size(), 0u);
    EXPECT_EQ(readRainCsv("").status, CsvReading::Status::NoHeader);
}

TEST(RainCsv, UnterminatedQuoteAndControlCharactersInTheSource)
{
    const CsvReading reading = readRainCsv(kHeader + "84,,0.2,1,2,3,4,5,6,7,8,9,\"Trupl\n");
    ASSERT_EQ(reading.rejected.size(), 1u);
    EXPECT_EQ(reading.rejected[0].reason, "uvozovky nejsou uzavřeny");

    const CsvReading broken = readRainCsv(kHeader + "84,,0.2,1,2,3,4,5,6,7,8,9,\"Trupl\n1958\"\n");
    ASSERT_EQ(broken.rejected.size(), 1u);
    EXPECT_NE(broken.rejected[0].reason.find("zalomení řádku"), std::string::npos);
}

} // namespace
} // namespace infil::rain
