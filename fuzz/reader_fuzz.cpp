// libFuzzer target: any bytes as a project file. Reading never fails, keeps the points in date
// order, and what it read writes and reads back to the same text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/project.h"
#include "storage/project_reader.h"

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
    std::string written;
    project.Write(written);
    return written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadWrite(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
