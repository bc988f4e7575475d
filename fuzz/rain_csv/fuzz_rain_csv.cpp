// A rain data file of any bytes never crashes the reader, and whatever rows
// it accepts are written and read back unchanged.
#include "rain/RainCsv.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace infil;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const rain::CsvReading reading = rain::readRainCsv(bytes);
    if (reading.status != rain::CsvReading::Status::Read)
        return 0;
    const rain::CsvReading again = rain::readRainCsv(rain::writeRainCsv(reading.rows));
    if (again.status != rain::CsvReading::Status::Read || !again.rejected.empty() ||
        again.rows.size() != reading.rows.size())
        std::abort();
    for (std::size_t i = 0; i < again.rows.size(); ++i)
        if (!(again.rows[i] == reading.rows[i]))
            std::abort();
    return 0;
}
