// libFuzzer target: any bytes as a project file. Reading never fails and keeps the points of
// every data set in date order; whatever the reader makes of the bytes reads back as itself:
// saved and read again, it is the same project field by field, the commands compute the same
// from it, and a second save writes the same text.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/project.h"
#include "support/project_compare.h"

namespace {

void CheckDateOrder(const std::string& text) {
    CProject project;
    ReadProjectText(project, text);
    for (const auto& ds : project.DataSets()) {
        const auto& points = ds->Points();
        for (size_t i = 1; i < points.size(); ++i) {
            if (points[i - 1].m_serial >= points[i].m_serial) {
                std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckDateOrder(text);
    if (const std::string difference = RoundTripDifference(text); !difference.empty()) {
        std::fprintf(stderr, "does not read back as itself: %s\n", difference.c_str());
        std::abort();
    }
    return 0;
}
