#include "storage/project_reader.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "model/data_set.h"
#include "model/limits.h"
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

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a run of one to `most` digits at `i` followed by `end`, moving past both.
bool TakeNumber(std::string_view line, size_t& i, size_t most, char end, int32_t& number) {
    number = 0;
    const size_t start = i;
    while (i < line.size() && IsDigit(line[i]) && i - start < most) {
        number = number * 10 + (line[i] - '0');
        ++i;
    }
    if (i == start || i >= line.size() || line[i] != end) {
        return false;
    }
    ++i;
    return true;
}

// The date and value of a DATAPOINT line exactly as the writer writes it,
// <DATAPOINT  DATE="m.d.y" VALUE="v" />, with plain digits and a plain decimal value. Such a
// line reads as the general way reads it, without searching for its tag and keys; any other
// line gives false and goes the general way.
bool ParseWrittenDataPoint(std::string_view line, int32_t (&date)[3], std::string_view& value) {
    constexpr std::string_view kHead = "<DATAPOINT  DATE=\"";
    constexpr std::string_view kMiddle = " VALUE=\"";
    constexpr std::string_view kTail = "\" />";
    if (!line.starts_with(kHead)) {
        return false;
    }
    size_t i = kHead.size();
    if (!TakeNumber(line, i, 2, '.', date[0]) || !TakeNumber(line, i, 2, '.', date[1]) ||
        !TakeNumber(line, i, 4, '"', date[2]) || line.substr(i, kMiddle.size()) != kMiddle) {
        return false;
    }
    i += kMiddle.size();
    if (line.size() < i + kTail.size() || !line.ends_with(kTail)) {
        return false;
    }
    value = line.substr(i, line.size() - i - kTail.size());
    const size_t digitsFrom = value.starts_with('-') ? 1 : 0;
    if (value.size() <= digitsFrom || value.size() > 24) {
        return false;
    }
    for (size_t k = digitsFrom; k < value.size(); ++k) {
        if (!IsDigit(value[k]) && value[k] != '.') {
            return false;
        }
    }
    return true;
}

}  // namespace

bool CProjectReader::Read() {
    std::string_view line;
    while (ReadLine(line)) {
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

void CProjectReader::ReadLimits(std::string_view line) {
    CLimits limits;
    ReadDateAttribute(line, "START", limits.start);
    ReadDateAttribute(line, "END", limits.end);
    m_project.SetWindow(limits);
}

void CProjectReader::ReadDataSet(std::string_view line) {
    CDataSet* ds = m_project.AddDataSet(GetStringAttribute(line, "NAME"));
    std::string_view row;
    while (ReadLine(row)) {
        if (row.size() < 5) {
            continue;
        }
        int32_t date[3];
        std::string_view value;
        if (ParseWrittenDataPoint(row, date, value)) {
            AddDataPoint(*ds, date[1], date[0], date[2], value);
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

void CProjectReader::ReadRecord(std::string_view line, CStrategyParams& record) {
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

void CProjectReader::ReadDataPoint(std::string_view line, CDataSet& ds) {
    std::string_view date;
    if (!FindAttribute(line, "DATE", date)) {
        return;
    }
    std::string_view value;
    FindAttribute(line, "VALUE", value);
    const DateParts parts = SplitDate(date);
    AddDataPoint(ds, ToInt(parts.b), ToInt(parts.a), ToInt(parts.c), value);
}

void CProjectReader::AddDataPoint(CDataSet& ds, int32_t day, int32_t month, int32_t year,
                                  std::string_view value) {
    CDataPoint point;
    point.SetDate(day, month, year);
    // A line whose date gives no serial (no DATE, a value too short, a month outside the year,
    // a date too far out) is skipped. Kept, the point would sit at the default serial under
    // date fields that name another day, and the file saved from it would load that point on
    // that day, ahead of the points after it, which would then be dropped.
    if (point.m_month < 1 || point.m_month > 12 ||
        DateToSerial(point.m_day, point.m_month, point.m_year) != point.m_serial) {
        return;
    }
    point.SetValue(Raw, ToDouble(value));
    ds.AppendPoint(point);
}
