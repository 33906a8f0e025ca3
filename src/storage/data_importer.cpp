#include "storage/data_importer.h"

#include <algorithm>
#include <limits>

#include "model/data_set.h"
#include "model/month_names.h"
#include "model/project.h"
#include "storage/text_out.h"

namespace {

constexpr size_t kShortestDataLine = 8;

// Column headers carry this word; data lines never do.
bool IsDataLine(std::string_view line) {
    return line.size() >= kShortestDataLine && line.find("Date") == std::string_view::npos;
}

char ToUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The file name in upper case without its extension, fit to stand between quotes in a project
// file.
std::string DataSetName(const std::string& fileName) {
    std::string name = fileName;
    for (char& c : name) {
        c = ToUpper(c);
    }
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return SanitiseQuotedText(name);
}

// A first date part of exactly four digits starts a year-month-day date.
bool IsIsoYear(std::string_view part) {
    part = CTextScanner::Trim(part);
    return part.size() == 4 && std::all_of(part.begin(), part.end(), IsDigit);
}

// Month names in the second date part are accepted in any case. No month text is longer than
// three characters, so a longer one needs no copy.
int32_t ParseMonthAnyCase(std::string_view text) {
    text = CTextScanner::Trim(text);
    char upper[3];
    if (text.size() > sizeof upper) {
        return 0;
    }
    std::transform(text.begin(), text.end(), upper, ToUpper);
    return CDataImporter::ParseMonth(std::string_view(upper, text.size()));
}

// Two-digit years: 51 to 99 are 19xx, 1 to 50 are 20xx. Zero is left to SetDate, which makes
// it 2000.
int32_t ExpandYear(int32_t year) {
    if (year >= 51 && year <= 999) {
        return year + 1900;
    }
    if (year >= 1 && year <= 50) {
        return year + 2000;
    }
    return year;
}

// SetDate leaves the serial alone for a month it does not know or a date too far out for 32
// bits; the stored date then disagrees with the serial.
bool HasValidDate(const CDataPoint& point) {
    return point.m_month >= 1 && point.m_month <= 12 &&
           DateToSerial(point.m_day, point.m_month, point.m_year) == point.m_serial;
}

// The text between two column bounds; bounds left over from a longer line may lie beyond this
// one, so both are clamped to it.
std::string_view Column(std::string_view line, int32_t start, int32_t end) {
    size_t from = std::min<size_t>(static_cast<size_t>(std::max(start, 0)), line.size());
    size_t to = std::min<size_t>(static_cast<size_t>(std::max(end, 0)), line.size());
    return to > from ? line.substr(from, to - from) : std::string_view();
}

// Column bounds are 32-bit; a position beyond that range is clamped, and Column clamps again.
int32_t Position(size_t i) {
    constexpr size_t kLargest = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::min(i, kLargest));
}

}  // namespace

CDataSet* CDataImporter::Import() {
    std::string name = DataSetName(GetFileName());
    DetectDateOrder();
    CDataSet* ds = m_project.AddDataSet(name);
    SeekToBegin();
    std::string line;
    while (ReadString(line)) {
        if (IsDataLine(line)) {
            FindColumns(line);
            ImportLine(line, *ds);
        }
    }
    return ds;
}

void CDataImporter::DetectDateOrder() {
    SeekToBegin();
    std::string line;
    while (ReadString(line)) {
        if (IsDataLine(line) && !ProbeDateOrder(line)) {
            return;
        }
    }
}

bool CDataImporter::FindColumns(std::string_view line) {
    // Settings may hold anything; a column below 1 means the first.
    const int64_t dateColumn = std::max<int64_t>(m_dateColumn, 1);
    const int64_t valueColumn = std::max<int64_t>(m_valueColumn, 1);
    const int64_t lastNeeded = std::max(dateColumn, valueColumn) + 1;
    m_dateEnd = 0;
    m_valueEnd = 0;
    int64_t field = 0;
    bool afterSeparator = true;
    for (size_t i = 0; i < line.size() && field < lastNeeded; ++i) {
        bool separator = IsFieldSeparator(line[i]);
        if (!separator && afterSeparator) {
            ++field;
            // A field after the first starts at 2 or later, so the end bounds stay positive.
            int32_t at = Position(i);
            if (field == dateColumn) {
                m_dateStart = at;
            }
            if (field == dateColumn + 1) {
                m_dateEnd = at - 1;
            }
            if (field == valueColumn) {
                m_valueStart = at;
            }
            if (field == valueColumn + 1) {
                m_valueEnd = at - 1;
            }
        }
        afterSeparator = separator;
    }
    if (m_dateEnd == 0) {
        m_dateEnd = Position(line.size());
    }
    if (m_valueEnd == 0) {
        m_valueEnd = Position(line.size());
    }
    return true;
}

bool CDataImporter::ProbeDateOrder(std::string_view line) {
    FindColumns(line);
    DateParts parts = SplitDate(Trim(DateText(line)));
    if (IsIsoYear(parts.a)) {
        return true;
    }
    if (ToInt(parts.a) > 12) {
        m_dateOrder = kDayFirst;
        return false;
    }
    if (ToInt(parts.b) > 12) {
        m_dateOrder = kMonthFirst;
        return false;
    }
    return true;
}

void CDataImporter::ImportLine(std::string_view line, CDataSet& ds) {
    CDataPoint point;
    ParseDate(DateText(line), point);
    if (!HasValidDate(point)) {
        ++m_skipped;
        return;
    }
    point.SetValue(Raw, ToDouble(ValueText(line)));
    // The previous line, not the set, tells which way the file runs.
    int32_t serial = point.m_serial;
    if (serial > m_lastSerial) {
        ds.AppendPoint(point);
    } else {
        ds.PrependPoint(point);
    }
    m_lastSerial = serial;
}

void CDataImporter::ParseDate(std::string_view text, CDataPoint& point) const {
    DateParts parts = SplitDate(Trim(text));
    int32_t day = 0;
    int32_t month = 0;
    int32_t year = 0;
    if (IsIsoYear(parts.a)) {
        year = ToInt(parts.a);
        month = ParseMonthAnyCase(parts.b);
        day = ToInt(parts.c);
    } else if (m_dateOrder == kMonthFirst) {
        month = ParseMonth(parts.a);
        day = ToInt(parts.b);
        year = ToInt(parts.c);
    } else {
        day = ToInt(parts.a);
        month = ParseMonthAnyCase(parts.b);
        year = ToInt(parts.c);
    }
    point.SetDate(day, month, ExpandYear(year));
}

int32_t CDataImporter::ParseMonth(std::string_view text) {
    text = Trim(text);
    for (size_t i = 1; i < MonthNames.size(); ++i) {
        if (text == MonthNames[i]) {
            return static_cast<int32_t>(i);
        }
    }
    // A number from 1 to 12 with at most one leading zero.
    if (text.size() > 1 && text.front() == '0') {
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 2 || text.front() == '0' ||
        !std::all_of(text.begin(), text.end(), IsDigit)) {
        return 0;
    }
    int32_t month = ToInt(text);
    return month <= 12 ? month : 0;
}

std::string_view CDataImporter::DateText(std::string_view line) const {
    return Column(line, m_dateStart, m_dateEnd);
}

std::string_view CDataImporter::ValueText(std::string_view line) const {
    return Column(line, m_valueStart, m_valueEnd);
}
