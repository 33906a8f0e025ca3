#include "storage/project_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "model/data_set.h"
#include "model/limits.h"
#include "model/project.h"
#include "storage/text_out.h"

namespace {

// The elements a line may begin with.
enum class Element {
    None,
    Root,
    Limits,
    Range,
    DataSet,
    DataSetEnd,
    Parameters,
    Currency,
    Comment,
    Result,
    DataPoint
};

// The element of a line: the tag at its start, after blanks. Texts inside a line never count,
// so a comment that mentions "</DATASET>" is just a comment.
Element ElementOf(std::string_view line) {
    static constexpr std::pair<std::string_view, Element> kTags[] = {
        {"DATAPOINT", Element::DataPoint}, {"/DATASET", Element::DataSetEnd},
        {"DATASET", Element::DataSet},     {"PARAMETERS", Element::Parameters},
        {"RESULT", Element::Result},       {"CURRENCY", Element::Currency},
        {"COMMENT", Element::Comment},     {"LIMITS", Element::Limits},
        {"RANGE", Element::Range},         {"QUILLMARK", Element::Root}};
    const size_t open = line.find_first_not_of(" \t");
    if (open == std::string_view::npos || line[open] != '<') {
        return Element::None;
    }
    const std::string_view name = line.substr(open + 1);
    for (const auto& [tag, element] : kTags) {
        if (name.starts_with(tag)) {
            return element;
        }
    }
    return Element::None;
}

void AddLine(std::vector<int64_t>& lines, int64_t line) {
    if (lines.size() < CReadReport::kFirstLines) {
        lines.push_back(line);
    }
}

std::string LineList(const std::vector<int64_t>& lines, int64_t count) {
    std::string text = lines.size() == 1 ? " (line " : " (lines ";
    for (size_t i = 0; i < lines.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(lines[i]);
    }
    return text + (count > static_cast<int64_t>(lines.size()) ? ", ...)" : ")");
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

// Whether a date names a day: a month of the year and a serial that the fields give. A point
// whose month is out of range keeps its old serial under fields that name no day.
bool NamesADay(const CDataPoint& point) {
    return point.m_month >= 1 && point.m_month <= 12 &&
           DateToSerial(point.m_day, point.m_month, point.m_year) == point.m_serial;
}

// Whether value text reads as the double that the writer's value field writes for it: plain
// decimal text of at most five decimals and fifteen characters, which the field holds whole.
// Other text (more decimals, exponents, "12abc") is read through the field's format.
bool FitsValueField(std::string_view value) {
    if (value.empty() || value.size() > 15) {
        return false;
    }
    const size_t from = value.front() == '-' ? 1 : 0;
    const size_t point = value.find('.');
    const size_t decimals = point == std::string_view::npos ? 0 : value.size() - point - 1;
    for (size_t i = from; i < value.size(); ++i) {
        if (!IsDigit(value[i]) && i != point) {
            return false;
        }
    }
    return value.size() > from && decimals <= 5;
}

double ValueAsWritten(std::string_view value) {
    double number = CTextScanner::ToDouble(value);
    if (!FitsValueField(value) && std::isfinite(number)) {
        std::string written;
        AppendFixedValue(written, number);
        number = CTextScanner::ToDouble(written);
    }
    return number;
}

}  // namespace

struct CProjectReader::PendingPoint {
    size_t before = 0;  // how many points were kept before it
    int64_t line = 0;
    CDataPoint point;
};

std::string CReadReport::Summary() const {
    std::string text;
    if (droppedPoints > 0) {
        text += std::to_string(droppedPoints) +
                (droppedPoints == 1 ? " point out of date order" : " points out of date order") +
                LineList(droppedLines, droppedPoints);
    }
    if (badDates > 0) {
        text += (text.empty() ? "" : " and ") + std::to_string(badDates) +
                (badDates == 1 ? " line without a valid date" : " lines without a valid date") +
                LineList(badDateLines, badDates);
    }
    if (badValues > 0) {
        text += (text.empty() ? "" : " and ") + std::to_string(badValues) +
                (badValues == 1 ? " line whose value is not a finite number"
                                : " lines whose value is not a finite number") +
                LineList(badValueLines, badValues);
    }
    if (!text.empty()) {
        text += (droppedPoints + badDates + badValues == 1 ? " was" : " were") +
                std::string(" not read.");
    }
    if (badNumbers > 0) {
        text += (text.empty() ? "" : " ") + std::to_string(badNumbers) +
                (badNumbers == 1 ? " line with a number that is not finite"
                                 : " lines with a number that is not finite") +
                LineList(badNumberLines, badNumbers) + (badNumbers == 1 ? " was" : " were") +
                " not read in full.";
    }
    return text;
}

bool CProjectReader::Read() {
    m_report = CReadReport();
    m_windowStartRead = false;
    m_windowEndRead = false;
    std::string_view line;
    while (ReadLine(line)) {
        if (line.size() < 8) {
            continue;
        }
        switch (ElementOf(line)) {
            case Element::Root:
                ++m_report.projectLines;
                break;
            case Element::Limits:
                ++m_report.projectLines;
                ReadLimits(line);
                break;
            case Element::Range:
                ++m_report.projectLines;
                ReadRecord(line, m_project.m_range);
                break;
            case Element::DataSet:
                ++m_report.projectLines;
                ReadDataSet(line);
                break;
            default:
                break;
        }
    }
    CompleteWindow();
    return true;
}

void CProjectReader::ReadLimits(std::string_view line) {
    CLimits limits;
    for (auto [key, date, read] : {std::tuple{"START", &limits.start, &m_windowStartRead},
                                   {"END", &limits.end, &m_windowEndRead}}) {
        std::string_view value;
        *read = false;
        if (FindAttribute(line, key, value)) {
            const DateParts parts = SplitDate(value);
            date->SetStoredDate(ToInt(parts.b), ToInt(parts.a), ToInt(parts.c));
            *read = NamesADay(*date);
        }
    }
    m_project.SetWindow(limits);
}

void CProjectReader::CompleteWindow() {
    if (m_windowStartRead && m_windowEndRead) {
        return;
    }
    CLimits window;
    m_project.GetLimits(window);
    const CDataSet* primary = m_project.Primary();
    const CLimits fallback = DefaultWindow();
    CDataPoint first = fallback.start;
    CDataPoint last = fallback.end;
    if (primary != nullptr && !primary->Points().empty()) {
        first = primary->Points().front();
        last = primary->Points().back();
    }
    if (!m_windowStartRead) {
        window.start.CopyDate(first);
    }
    if (!m_windowEndRead) {
        window.end.CopyDate(last);
    }
    m_project.SetWindow(window);
}

void CProjectReader::ReadDataSet(std::string_view line) {
    CDataSet* ds = m_project.AddDataSet(DecodeText(GetStringAttribute(line, "NAME")));
    std::vector<PendingPoint> refused;
    m_pointLines.Clear();
    std::string_view row;
    while (ReadLine(row)) {
        if (row.size() < 5) {
            continue;
        }
        int32_t date[3];
        std::string_view value;
        if (ParseWrittenDataPoint(row, date, value)) {
            AddDataPoint(*ds, date[1], date[0], date[2], value, refused);
            continue;
        }
        const Element element = ElementOf(row);
        if (element == Element::DataSetEnd) {
            break;
        }
        switch (element) {
            case Element::Parameters:
                ReadRecord(row, ds->m_params);
                break;
            case Element::Currency:
                ds->m_currency = DecodeText(GetStringAttribute(row, "VALUE"));
                break;
            case Element::Comment:
                ds->m_comment = DecodeText(GetStringAttribute(row, "VALUE"));
                break;
            case Element::Result:
                ReadResult(row, *ds);
                break;
            case Element::DataPoint:
                ReadDataPoint(row, *ds, refused);
                break;
            default:
                break;
        }
    }
    if (!refused.empty()) {
        KeepLongestOrderedRun(*ds, refused);
    }
    m_report.points += static_cast<int64_t>(ds->Points().size());
}

bool CProjectReader::ReadRecord(std::string_view line, CStrategyParams& record) {
    record.ML = GetIntAttribute(line, "ML");
    record.MU = GetIntAttribute(line, "MU");
    record.RR = GetIntAttribute(line, "RR");
    record.BL = GetIntAttribute(line, line.find("BL") != std::string_view::npos ? "BL" : "BC");
    record.BI = GetIntAttribute(line, "BI");
    bool finite = true;
    for (auto [key, field] : {std::pair{"RC", &record.RC},
                              {"IN", &record.IN},
                              {"TT", &record.TT},
                              {"GN", &record.GN}}) {
        const double number = GetDoubleAttribute(line, key);
        if (std::isfinite(number)) {
            *field = number;
        } else {
            finite = false;
        }
    }
    if (!finite) {
        ++m_report.badNumbers;
        AddLine(m_report.badNumberLines, LineNumber());
    }
    return finite;
}

void CProjectReader::ReadResult(std::string_view line, CDataSet& ds) {
    CStrategyResult result;
    if (ReadRecord(line, result)) {
        ds.AddResult() = result;
    }
}

void CProjectReader::ReadDataPoint(std::string_view line, CDataSet& ds,
                                   std::vector<PendingPoint>& refused) {
    std::string_view date;
    if (!FindAttribute(line, "DATE", date)) {
        ++m_report.badDates;
        AddLine(m_report.badDateLines, LineNumber());
        return;
    }
    std::string_view value;
    FindAttribute(line, "VALUE", value);
    const DateParts parts = SplitDate(date);
    AddDataPoint(ds, ToInt(parts.b), ToInt(parts.a), ToInt(parts.c), value, refused);
}

void CProjectReader::AddDataPoint(CDataSet& ds, int32_t day, int32_t month, int32_t year,
                                  std::string_view value, std::vector<PendingPoint>& refused) {
    CDataPoint point;
    point.SetStoredDate(day, month, year);
    // A line whose date gives no serial (a value too short, a month outside the year, a date
    // too far out) is skipped. Kept, the point would sit at the default serial under date
    // fields that name another day.
    if (!NamesADay(point)) {
        ++m_report.badDates;
        AddLine(m_report.badDateLines, LineNumber());
        return;
    }
    // Not a number, or beyond the double range: no value the strategy or the charts could use,
    // and the file would not read back as what was shown.
    const double number = ValueAsWritten(value);
    if (!std::isfinite(number)) {
        ++m_report.badValues;
        AddLine(m_report.badValueLines, LineNumber());
        return;
    }
    point.SetValue(Raw, number);
    if (ds.AppendPoint(point)) {
        m_pointLines.Push(LineNumber());
    } else {
        refused.push_back({ds.Points().size(), LineNumber(), point});
    }
}

// The points of the block in file order are the kept ones with the refused ones slotted in
// where they came. The longest increasing run through them is kept, and of several the one
// that takes the earliest points (so of points on one day the first, as a plain append would):
// first the length of the longest run starting at each point (patience sorting from the end),
// then a walk from the front that takes every point that can still start the rest.
void CProjectReader::CLineRuns::Clear() {
    m_runs.clear();
    m_count = 0;
}

void CProjectReader::CLineRuns::Push(int64_t line) {
    if (m_runs.empty() ||
        m_runs.back().line + static_cast<int64_t>(m_count - m_runs.back().first) != line) {
        m_runs.push_back({m_count, line});
    }
    ++m_count;
}

int64_t CProjectReader::CLineRuns::At(size_t index) const {
    const auto after = std::upper_bound(m_runs.begin(), m_runs.end(), index,
                                        [](size_t i, const Run& run) { return i < run.first; });
    const Run& run = *std::prev(after);
    return run.line + static_cast<int64_t>(index - run.first);
}

void CProjectReader::KeepLongestOrderedRun(CDataSet& ds, std::vector<PendingPoint>& refused) {
    std::vector<PendingPoint> all;
    all.reserve(ds.Points().size() + refused.size());
    size_t next = 0;
    for (size_t kept = 0; kept <= ds.Points().size(); ++kept) {
        for (; next < refused.size() && refused[next].before == kept; ++next) {
            all.push_back(std::move(refused[next]));
        }
        if (kept < ds.Points().size()) {
            all.push_back({0, m_pointLines.At(kept), ds.Points()[kept]});
        }
    }
    refused.clear();
    std::vector<int32_t> heads;  // by run length - 1: the latest serial that starts such a run
    std::vector<size_t> runFrom(all.size());
    for (size_t i = all.size(); i-- > 0;) {
        const int32_t serial = all[i].point.m_serial;
        // Runs that can follow this point start later in the file with a later date.
        auto at = std::lower_bound(heads.begin(), heads.end(), serial, std::greater<>());
        runFrom[i] = static_cast<size_t>(at - heads.begin()) + 1;
        if (at == heads.end()) {
            heads.push_back(serial);
        } else {
            *at = serial;
        }
    }
    ds.ClearPoints();
    size_t needed = heads.size();
    for (size_t i = 0; i < all.size(); ++i) {
        const bool later =
            ds.Points().empty() || all[i].point.m_serial > ds.Points().back().m_serial;
        if (needed > 0 && runFrom[i] == needed && later) {
            ds.AppendPoint(all[i].point);
            --needed;
        } else {
            Dropped(all[i].line);
        }
    }
}

void CProjectReader::Dropped(int64_t line) {
    ++m_report.droppedPoints;
    AddLine(m_report.droppedLines, line);
}
