// libFuzzer target: any bytes as a raw data file, with the date and value columns taken from
// the first two bytes and, from the third, a prefix that steers the input into the splitter's
// corners (a byte order mark alone, quotes left open, a 1 MB field, separators only). The
// import never fails, gives strictly increasing calendar dates with finite values, and
// accounts for every line.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/project.h"
#include "storage/data_importer.h"
#include "storage/field_splitter.h"

namespace {

std::string Steered(uint8_t how, std::string text) {
    switch (how % 8) {
        case 0:
            return "\xEF\xBB\xBF" + text;
        case 1:
            return "\"Date\";\"Close\"\n\"2020-01-02\";\"" + text;
        case 2:
            return "2020-01-02,\"" + std::string(1 << 20, '7') + text;
        case 3:
            return std::string(how, ",;\t| \""[how % 6]) + "\n" + text;
        case 4:
            return "Date\tClose\n02.01.2020\t" + text;
        default:
            return text;
    }
}

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    CProject project;
    CDataImporter importer(project);
    importer.m_dateColumn = static_cast<int8_t>(data[0]) % 12;
    importer.m_valueColumn = static_cast<int8_t>(data[1]) % 12;
    importer.OpenText(
        Steered(data[2], std::string(reinterpret_cast<const char*>(data + 3), size - 3)), "f.csv");
    CDataSet* ds = importer.Import();
    const auto& points = ds->Points();
    for (size_t i = 0; i < points.size(); ++i) {
        Check(std::isfinite(points[i].GetValue(Raw)));
        Check(points[i].m_day >= 1 && points[i].m_day <= points[i].GetDaysInMonth());
        Check(i == 0 || points[i - 1].m_serial < points[i].m_serial);
    }
    const CImportReport& r = importer.Report();
    Check(r.lines == r.points + r.blank.count + r.noDate.count + r.badDate.count +
                         r.badMonth.count + r.badValue.count + r.merged.count + r.outOfOrder.count);

    // The splitter alone, on every separator: no field reaches beyond the line's bytes.
    const std::string line(reinterpret_cast<const char*>(data + 3), size - 3);
    for (char separator : {'\0', ' ', ',', ';', '\t', '|'}) {
        CFieldSplitter splitter(separator);
        splitter.Split(line, 0, data[2] % 4);
        size_t total = 0;
        for (std::string_view field : splitter.Fields()) {
            total += field.size();
        }
        Check(total <= line.size());
    }
    return 0;
}
