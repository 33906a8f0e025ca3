// libFuzzer target: any bytes as a project file. Whatever the reader makes of them, the program
// writes a file that reads back to the same project: read, write, read, write gives the same
// text twice.

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
