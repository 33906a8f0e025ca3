#include "storage/data_importer.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "model/data_set.h"
#include "model/month_names.h"
#include "model/project.h"
#include "storage/text_out.h"

namespace {

constexpr size_t kShortestDataLine = 8;
// Lines looked at for the separator and the decimal mark, and dates kept for the spacing test:
// enough for any layout, bounded however long the file.
constexpr size_t kFormatLines = 64;
constexpr size_t kSpacingDates = 4096;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

char ToUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

// The first line's byte order mark is no part of its first field.
std::string_view WithoutMark(std::string_view line, int64_t number) {
    if (number == 1 && line.starts_with(kByteOrderMark)) {
        line.remove_prefix(kByteOrderMark.size());
    }
    return line;
}

// Column headers carry this word; data lines never do. Short lines hold no date and value.
bool IsDataLine(std::string_view line) {
    return line.size() >= kShortestDataLine && line.find("Date") == std::string_view::npos;
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
    return part.size() == 4 && AllDigits(part);
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

// Two-digit years: 51 to 999 are 19xx, 1 to 50 are 20xx. Zero is left to SetDate, which makes
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

// The date without a time of day after it ("2020-01-02 09:30:00", "2020-01-02T09:30:00Z",
// "1/2/2020 9:30 AM"); `timed` tells whether there was one, `clean` whether what followed the
// date was a time at all.
std::string_view CutTime(std::string_view text, bool& timed, bool& clean) {
    timed = false;
    clean = true;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        const bool t = text[i] == 'T' && IsDigit(text[i - 1]) && IsDigit(text[i + 1]);
        if (text[i] != ' ' && !t) {
            continue;
        }
        std::string_view rest = CTextScanner::Trim(text.substr(i + 1));
        std::string_view time = rest.substr(0, rest.find(' '));
        timed = IsTimeOfDay(time);
        clean = timed;
        return text.substr(0, i);
    }
    return text;
}

// Day serials of the ambiguous dates read one way, with the steadiness of their spacing: how
// many steps go the file's main way, and how far the step lengths stray from their median.
struct CSpacing {
    int64_t oneWay = 0;
    double spread = 0.0;
};

CSpacing Spacing(const std::vector<int32_t>& serials) {
    std::vector<int64_t> steps;
    int64_t up = 0;
    int64_t down = 0;
    for (size_t i = 1; i < serials.size(); ++i) {
        int64_t step = static_cast<int64_t>(serials[i]) - serials[i - 1];
        if (step != 0) {
            (step > 0 ? up : down) += 1;
            steps.push_back(std::abs(step));
        }
    }
    CSpacing spacing;
    spacing.oneWay = std::max(up, down);
    if (steps.empty()) {
        return spacing;
    }
    std::vector<int64_t> sorted = steps;
    std::nth_element(sorted.begin(),
                     sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    const int64_t median = sorted[sorted.size() / 2];
    double total = 0.0;
    for (int64_t step : steps) {
        total += static_cast<double>(std::abs(step - median));
    }
    spacing.spread = total / static_cast<double>(steps.size());
    return spacing;
}

}  // namespace

CDataSet* CDataImporter::Import() {
    m_report = CImportReport();
    // Settings may hold anything; a column below 1 means the first.
    m_dateColumn = std::max(m_dateColumn, 1);
    m_valueColumn = std::max(m_valueColumn, 1);
    m_report.name = DataSetName(GetFileName());
    DetectLayout();
    CDataSet* ds = m_project.AddDataSet(m_report.name);
    SeekToBegin();
    std::string_view line;
    while (ReadLine(line)) {
        ImportLine(WithoutMark(line, LineNumber()), *ds);
    }
    CloseDay(*ds);
    m_report.dataSet = ds;
    m_report.points = static_cast<int64_t>(ds->Points().size());
    m_report.skipped = m_report.lines - m_report.points;
    return ds;
}

void CDataImporter::DetectLayout() {
    SeekToBegin();
    std::string_view first;
    // A CR inside the first LF-ended line (or a file of one CR-ended line) means CRs end lines.
    if (ReadLine(first) && first.find('\r') != std::string_view::npos) {
        SetBareCrEndsLine(true);
    }
    DetectFormat();
    DetectDateOrder();
    m_report.dateOrder = m_dateOrder;
}

void CDataImporter::DetectFormat() {
    SeekToBegin();
    std::vector<std::string> lines;
    std::string_view line;
    while (lines.size() < kFormatLines && ReadLine(line)) {
        line = WithoutMark(line, LineNumber());
        if (IsDataLine(line)) {
            lines.emplace_back(line);
        }
    }
    m_splitter = CFieldSplitter(CFieldSplitter::Detect(lines));
    int64_t points = 0;
    int64_t commas = 0;
    for (const std::string& text : lines) {
        m_splitter.Split(text, Needed(), static_cast<size_t>(m_dateColumn - 1));
        char vote = CNumberStyle::Vote(Field(static_cast<size_t>(m_valueColumn)));
        points += vote == '.' ? 1 : 0;
        commas += vote == ',' ? 1 : 0;
    }
    // Undecided semicolon files are the exports of decimal-comma locales.
    const bool comma =
        commas > points || (commas == 0 && points == 0 && m_splitter.Separator() == ';');
    m_style = CNumberStyle(comma ? ',' : '.');
    m_report.separator = m_splitter.Separator();
    m_report.decimalMark = m_style.DecimalMark();
}

void CDataImporter::DetectDateOrder() {
    SeekToBegin();
    m_ambiguous.clear();
    std::string_view line;
    while (ReadLine(line)) {
        line = WithoutMark(line, LineNumber());
        if (IsDataLine(line) && !ProbeDateOrder(line)) {
            return;
        }
    }
    DecideOrderBySpacing();
}

bool CDataImporter::ProbeDateOrder(std::string_view line) {
    m_splitter.Split(line, static_cast<size_t>(m_dateColumn),
                     static_cast<size_t>(m_dateColumn - 1));
    bool timed = false;
    bool clean = true;
    DateParts parts =
        SplitDate(CutTime(Trim(Field(static_cast<size_t>(m_dateColumn))), timed, clean));
    if (IsIsoYear(parts.a)) {
        return true;
    }
    const int32_t a = ToInt(parts.a);
    const int32_t b = ToInt(parts.b);
    if (a > 12) {
        m_dateOrder = kDayFirst;
        return false;
    }
    if (b > 12) {
        m_dateOrder = kMonthFirst;
        return false;
    }
    if (m_ambiguous.size() < kSpacingDates && a >= 1 && b >= 1 && AllDigits(Trim(parts.c))) {
        m_ambiguous.push_back({a, b, ExpandYear(ToInt(parts.c))});
    }
    return true;
}

// No date had a day above 12: the reading whose dates run one way with the steadiest spacing
// wins (a monthly file on the 1st gives one date a month day first, and jumps month first).
void CDataImporter::DecideOrderBySpacing() {
    if (m_ambiguous.empty()) {
        return;  // year-first dates only, or no dates: the order does not matter
    }
    std::vector<int32_t> monthFirst;
    std::vector<int32_t> dayFirst;
    for (const CAmbiguousDate& d : m_ambiguous) {
        CDataPoint point;
        point.SetDate(d.b, d.a, d.year);
        monthFirst.push_back(point.m_serial);
        point.SetDate(d.a, d.b, d.year);
        dayFirst.push_back(point.m_serial);
    }
    const CSpacing m = Spacing(monthFirst);
    const CSpacing d = Spacing(dayFirst);
    if (d.oneWay > m.oneWay || (d.oneWay == m.oneWay && d.spread < m.spread)) {
        m_dateOrder = kDayFirst;
    } else if (m.oneWay > d.oneWay || m.spread < d.spread) {
        m_dateOrder = kMonthFirst;
    } else {
        m_dateOrder = kMonthFirst;
        m_report.dateOrderGuessed = true;
    }
}

void CDataImporter::ImportLine(std::string_view line, CDataSet& ds) {
    ++m_report.lines;
    const int64_t number = LineNumber();
    constexpr size_t kKeep = CImportReport::kFirstLines;
    if (Trim(line).empty()) {
        m_report.blank.Add(number, kKeep);
        return;
    }
    if (!IsDataLine(line)) {
        m_report.noDate.Add(number, kKeep);
        KeepPreview(line, false);
        return;
    }
    m_splitter.Split(line, Needed(), static_cast<size_t>(m_dateColumn - 1));
    CDataPoint point;
    bool timed = false;
    const EDate date = ReadDate(Field(static_cast<size_t>(m_dateColumn)), point, timed);
    KeepPreview(line, date != EDate::NoDate);
    if (date != EDate::Ok) {
        (date == EDate::NoDate ? m_report.noDate : m_report.badDate).Add(number, kKeep);
        return;
    }
    double value = 0.0;
    if (!m_style.Read(Field(static_cast<size_t>(m_valueColumn)), value)) {
        m_report.badValue.Add(number, kKeep);
        return;
    }
    point.SetValue(Raw, value);
    Offer(point, timed, ds);
}

// Rows of the day being read are gathered; a new day closes it.
void CDataImporter::Offer(const CDataPoint& point, bool timed, CDataSet& ds) {
    if (m_day.rows > 0 && point.m_serial == m_day.first.m_serial) {
        if (static_cast<size_t>(m_day.rows) < m_day.lines.size()) {
            m_day.lines[static_cast<size_t>(m_day.rows)] = LineNumber();
        }
        ++m_day.rows;
        m_day.allTimed = m_day.allTimed && timed;
        m_day.last = point;  // only days of several rows pay for this copy
        m_day.lastLine = LineNumber();
        return;
    }
    if (m_day.rows > 0 && m_direction == 0) {
        m_direction = point.m_serial > m_day.first.m_serial ? 1 : -1;
    }
    CloseDay(ds);
    m_day.rows = 1;
    m_day.allTimed = timed;
    m_day.first = point;
    m_day.lines[0] = LineNumber();
    m_day.lastLine = LineNumber();
}

// Intraday rows give the day's last in time: the last row of an ascending file, the first of a
// descending one. Repeated dates without times keep the first row met, as they always have.
void CDataImporter::CloseDay(CDataSet& ds) {
    if (m_day.rows == 0) {
        return;
    }
    const bool keepLast = m_day.rows > 1 && m_day.allTimed && m_direction >= 0;
    CImportReason& dropped = m_day.allTimed ? m_report.merged : m_report.outOfOrder;
    const size_t known = std::min<size_t>(static_cast<size_t>(m_day.rows), m_day.lines.size());
    const size_t kept = keepLast ? static_cast<size_t>(m_day.rows) - 1 : 0;
    for (size_t i = 0; i < known; ++i) {
        if (i != kept) {
            dropped.Add(m_day.lines[i], CImportReport::kFirstLines);
        }
    }
    dropped.count += m_day.rows - static_cast<int64_t>(known) - (kept >= known ? 1 : 0);
    Place(keepLast ? m_day.last : m_day.first, keepLast ? m_day.lastLine : m_day.lines[0], ds);
    m_day.rows = 0;
}

// The previous day, not the set, tells which way the file runs: an ascending file grows the
// set at its end, a descending one at its front; a date against the order is dropped unless it
// lies outside the dates held.
void CDataImporter::Place(const CDataPoint& point, int64_t line, CDataSet& ds) {
    const int32_t serial = point.m_serial;
    const bool taken = serial > m_lastSerial ? ds.AppendPoint(point) : ds.PrependPoint(point);
    if (!taken) {
        m_report.outOfOrder.Add(line, CImportReport::kFirstLines);
    }
    m_lastSerial = serial;
}

std::vector<std::string> CDataImporter::HeaderNames(std::string_view line) {
    std::vector<std::string> names;
    for (size_t from = 0; from <= line.size();) {
        const size_t comma = std::min(line.find(',', from), line.size());
        names.emplace_back(Trim(line.substr(from, comma - from)));
        from = comma + 1;
    }
    return names;
}

void CDataImporter::KeepPreview(std::string_view line, bool dated) {
    if (m_rows.size() >= m_previewRows) {
        return;
    }
    m_splitter.Split(line, 0, static_cast<size_t>(m_dateColumn - 1));
    std::vector<std::string> fields(m_splitter.Fields().begin(), m_splitter.Fields().end());
    if (!dated) {
        // A header in the classic comma-and-blank layout names its columns between commas:
        // "Adj Close" is one column's name, though the values split at blanks too.
        if (m_report.separator == 0) {
            fields = HeaderNames(line);
        }
        m_lastNoDate = std::move(fields);
        return;
    }
    if (m_rows.empty()) {
        m_headers = m_lastNoDate;
    }
    m_rows.push_back(std::move(fields));
    m_splitter.Split(line, Needed(), static_cast<size_t>(m_dateColumn - 1));
}

CDataImporter::EDate CDataImporter::ReadDate(std::string_view text, CDataPoint& point,
                                             bool& timed) const {
    bool clean = true;
    text = CutTime(Trim(text), timed, clean);
    if (!clean) {
        return EDate::NoDate;
    }
    DateParts parts = SplitDate(text);
    std::string_view dayText;
    std::string_view monthText;
    std::string_view yearText;
    int32_t month = 0;
    if (IsIsoYear(parts.a)) {
        yearText = parts.a;
        monthText = parts.b;
        dayText = parts.c;
        month = ParseMonthAnyCase(monthText);
    } else if (m_dateOrder == kMonthFirst) {
        monthText = parts.a;
        dayText = parts.b;
        yearText = parts.c;
        month = ParseMonth(monthText);
    } else {
        dayText = parts.a;
        monthText = parts.b;
        yearText = parts.c;
        month = ParseMonthAnyCase(monthText);
    }
    dayText = Trim(dayText);
    yearText = Trim(yearText);
    if (!AllDigits(dayText) || !AllDigits(yearText) ||
        (month == 0 && !AllDigits(Trim(monthText)))) {
        return EDate::NoDate;  // words, notes, a month name we do not know
    }
    const int32_t day = ToInt(dayText);
    point.SetDate(day, month, ExpandYear(ToInt(yearText)));
    const bool calendarDay = month >= 1 && day >= 1 && day <= point.GetDaysInMonth() &&
                             DateToSerial(day, month, point.m_year) == point.m_serial;
    return calendarDay ? EDate::Ok : EDate::BadDate;
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
    if (text.empty() || text.size() > 2 || text.front() == '0' || !AllDigits(text)) {
        return 0;
    }
    int32_t month = ToInt(text);
    return month <= 12 ? month : 0;
}

// The field of a column counted from 1; empty when the line has fewer fields.
std::string_view CDataImporter::Field(size_t column) const {
    const auto& fields = m_splitter.Fields();
    return column >= 1 && column <= fields.size() ? fields[column - 1] : std::string_view();
}

size_t CDataImporter::Needed() const {
    return static_cast<size_t>(std::max(m_dateColumn, m_valueColumn));
}
