#include "storage/project_reader.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "model/limits.h"
#include "model/data_set.h"
#include "model/project.h"

namespace {

bool Contains(std::string_view line, std::string_view tag) {
    return line.find(tag) != std::string_view::npos;
}

// The tags looked for on a line, as bits in the order of their handlers.
template <size_t N>
using TagList = std::array<std::string_view, N>;

constexpr TagList<3> kTopTags = {"<LIMITS", "<RANGE", "<DATASET"};
enum TopTag : uint32_t { kLimits = 1, kRange = 2, kDataSet = 4 };

constexpr TagList<6> kBlockTags = {"<PARAMETERS", "<CURRENCY",  "<COMMENT",
                                   "<RESULT",     "<DATAPOINT", "</DATASET"};
enum BlockTag : uint32_t {
    kParameters = 1,
    kCurrency = 2,
    kComment = 4,
    kResult = 8,
    kDataPoint = 16,
    kDataSetEnd = 32
};

// Which of the tags the line contains anywhere. Every tag begins with '<', so on a line with a
// single '<' only the tags starting there can match: one comparison each instead of a search
// of the line per tag. That is every line the program writes apart from texts holding a '<'.
template <size_t N>
uint32_t FindTags(std::string_view line, const TagList<N>& tags) {
    size_t open = line.find('<');
    if (open == std::string_view::npos) {
        return 0;
    }
    bool single = line.find('<', open + 1) == std::string_view::npos;
    std::string_view rest = line.substr(open);
    uint32_t found = 0;
    for (size_t i = 0; i < N; ++i) {
        bool here = rest.size() > 1 && rest[1] == tags[i][1] && rest.starts_with(tags[i]);
        if (single ? here : Contains(line, tags[i])) {
            found |= uint32_t{1} << i;
        }
    }
    return found;
}

}  // namespace

bool CProjectReader::Read() {
    std::string line;
    while (ReadString(line)) {
        if (line.size() < 8) {
            continue;
        }
        uint32_t tags = FindTags(line, kTopTags);
        if (tags & kLimits) {
            ReadLimits(line);
        }
        if (tags & kRange) {
            ReadRecord(line, m_project.m_range);
        }
        if (tags & kDataSet) {
            ReadDataSet(line);
        }
    }
    return true;
}

void CProjectReader::ReadLimits(const std::string& line) {
    CLimits limits;
    ReadDateAttribute(line, "START", limits.start);
    ReadDateAttribute(line, "END", limits.end);
    m_project.SetWindow(limits);
}

void CProjectReader::ReadDataSet(const std::string& line) {
    CDataSet* ds = m_project.AddDataSet(GetStringAttribute(line, "NAME"));
    std::string row;
    while (ReadString(row)) {
        if (row.size() < 5) {
            continue;
        }
        uint32_t tags = FindTags(row, kBlockTags);
        if (tags & kParameters) {
            ReadRecord(row, ds->m_params);
        }
        if (tags & kCurrency) {
            ds->m_currency = GetStringAttribute(row, "VALUE");
        }
        if (tags & kComment) {
            ds->m_comment = GetStringAttribute(row, "VALUE");
        }
        if (tags & kResult) {
            ReadRecord(row, ds->AddResult());
        }
        if (tags & kDataPoint) {
            ReadDataPoint(row, *ds);
        }
        if (tags & kDataSetEnd) {
            return;
        }
    }
}

void CProjectReader::ReadRecord(const std::string& line, CStrategyParams& record) {
    record.ML = GetIntAttribute(line, "ML");
    record.MU = GetIntAttribute(line, "MU");
    record.RC = GetDoubleAttribute(line, "RC");
    record.RR = GetIntAttribute(line, "RR");
    record.BL = GetIntAttribute(line, Contains(line, "BL") ? "BL" : "BC");
    record.BI = GetIntAttribute(line, "BI");
    record.IN = GetDoubleAttribute(line, "IN");
    record.TT = GetDoubleAttribute(line, "TT");
    record.GN = GetDoubleAttribute(line, "GN");
}

void CProjectReader::ReadDataPoint(const std::string& line, CDataSet& ds) {
    CDataPoint point;
    ReadDateAttribute(line, "DATE", point);
    // A line whose date gives no serial (no DATE, a value too short, a month outside the year,
    // a date too far out) is skipped. Kept, the point would sit at the default serial under
    // date fields that name another day, and the file saved from it would load that point on
    // that day, ahead of the points after it, which would then be dropped.
    if (point.m_month < 1 || point.m_month > 12 ||
        DateToSerial(point.m_day, point.m_month, point.m_year) != point.m_serial) {
        return;
    }
    point.SetValue(Raw, GetDoubleAttribute(line, "VALUE"));
    ds.AppendPoint(point);
}
