// libFuzzer target: any bytes as a raw data file, with the date and value columns taken from
// the first two bytes. The import never fails and always gives strictly increasing dates.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/project.h"
#include "storage/data_importer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    CProject project;
    CDataImporter importer(project);
    importer.m_dateColumn = static_cast<int8_t>(data[0]) % 12;
    importer.m_valueColumn = static_cast<int8_t>(data[1]) % 12;
    importer.OpenText(std::string(reinterpret_cast<const char*>(data + 2), size - 2), "f.csv");
    CDataSet* ds = importer.Import();
    const auto& points = ds->Points();
    for (size_t i = 1; i < points.size(); ++i) {
        if (points[i - 1].m_serial >= points[i].m_serial) {
            std::abort();
        }
    }
    return 0;
}
