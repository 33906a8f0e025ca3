// libFuzzer target: any bytes as a project file. Reading never fails and keeps the points of
// every data set in date order; whatever the reader makes of the bytes, the program writes a
// file that reads back to the same project: read, write, read, write gives the same text twice.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/project.h"
#include "storage/project_reader.h"
#include "storage/project_writer.h"

namespace {

std::string ReadWrite(const std::string& text) {
    CProject project;
    CProjectReader reader(project);
    reader.OpenText(text, "fuzz.xml");
    reader.Read();
    for (const auto& ds : project.DataSets()) {
        const auto& points = ds->Points();
        for (size_t i = 1; i < points.size(); ++i) {
            if (points[i - 1].m_serial >= points[i].m_serial) {
                std::abort();
            }
        }
    }
    return ProjectText(project);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string first = ReadWrite(std::string(reinterpret_cast<const char*>(data), size));
    if (ReadWrite(first) != first) {
        std::abort();
    }
    return 0;
}
