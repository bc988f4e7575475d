// Text readings never crash, and a value formatted for display reads back as
// that value rounded to the shown decimals.
#include "NumberFormat.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

using namespace infil;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)num::convert(text);
    (void)num::valueOf(text);
    (void)num::ruleR(text);
    (void)num::ruleK(text);
    (void)num::ruleI(text);

    if (size >= 5) {
        float v;
        std::memcpy(&v, data, sizeof v);
        const int decimals = data[4] % 4;
        if (std::isfinite(v)) {
            const auto shown = num::fixed(v, decimals);
            const auto back = num::ruleR(shown);
            if (back.action == num::Reading::Action::Store) {
                // The shown text is the 7-digit value rounded; reading it back must
                // land within half a unit of the last shown decimal.
                const double unit = std::pow(10.0, -decimals);
                const double err = std::fabs(back.value - static_cast<double>(v));
                const double tolerance = unit / 2 + std::fabs(static_cast<double>(v)) * 1e-6 + 1e-30;
                if (err > tolerance)
                    std::abort();
            } else if (std::fabs(v) < 3.0e38f) {
                std::abort(); // a shown value must always read back
            }
            const auto sci = num::scientific(v, 1);
            const auto sciBack = num::convert(sci);
            if (!sciBack)
                std::abort();
            const auto p = num::plain(v);
            const auto pBack = num::convert(p);
            // Seven significant digits: close, not always the same float.
            if (!pBack || std::fabs(*pBack - static_cast<double>(v)) >
                              std::fabs(static_cast<double>(v)) * 6e-7)
                std::abort();
        }
    }
    return 0;
}
