// Writes the stored property streams of the selection guide's three captions
// into a folder (the program embeds them from app/ui/guide/).
//
//   veer12-guide FOLDER

#include "GuideCaptions.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

const char* const kUsage = "usage: veer12-guide FOLDER\n"
                           "Writes the stored property streams of the selection guide's three captions\n"
                           "into FOLDER (the program embeds them from app/ui/guide/).\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // Any other option is a mistake, not a folder named like one.
    if (argc != 2 || argv[1][0] == '-') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    for (const auto& caption : veer::guide::guideCaptions()) {
        const auto bytes = veer::guide::guideStream(caption);
        const std::string path = std::string(argv[1]) + "/" + caption.file;
        std::ofstream out(path, std::ios::binary);
        if (bytes.empty() || !out.write(reinterpret_cast<const char*>(bytes.data()),
                                        static_cast<std::streamsize>(bytes.size()))) {
            std::fprintf(stderr, "veer12-guide: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", path.c_str(), bytes.size());
    }
    return 0;
}
