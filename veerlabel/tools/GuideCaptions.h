#pragma once
// The three turned captions of the program's selection guide, and their
// stored property streams as this library saves them.

#include <Veer12/Veer12.h>

#include <cstdint>
#include <string>
#include <vector>

namespace veer::guide {

struct GuideCaption {
    const char* file; // name under app/ui/guide/
    std::u16string text;
    bool bold;
    std::uint32_t cx, cy; // extent, HIMETRIC
};

// In control-array order: top, middle, bottom.
const std::vector<GuideCaption>& guideCaptions();

// The stream of a caption; empty when the library refuses to make it.
std::vector<std::uint8_t> guideStream(const GuideCaption& caption);

} // namespace veer::guide
