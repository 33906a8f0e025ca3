#include "storage/data_importer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "model/data_set.h"
#include "model/month_names.h"
#include "model/project.h"
#include "storage/text_out.h"

namespace {

constexpr size_t kShortestDataLine = 8;
// Lines looked at for the separator, the decimal mark and a time column; dates kept for the
// date order; lines read at most by the first pass. Enough for any layout, bounded however
// long the file.
constexpr size_t kSampleLines = 200;
constexpr size_t kSampleLineBytes = 1 << 16;  // of each sampled line: plenty for its columns
constexpr size_t kOrderDates = 4096;
constexpr size_t kProbeLines = 100000;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

char ToUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

char ToLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
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

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), ToLower);
    return lower;
}

bool ReadsAsNumber(std::string_view text) {
    double value = 0.0;
    return CNumberStyle('.').Read(text, value) || CNumberStyle(',').Read(text, value);
}

// Whether every comma of the lines stands between a digit and exactly three digits, as
// thousands marks in a report aligned with blanks do ("2020-01-02    3,257.85").
bool CommasGroupThousands(const std::vector<std::string>& lines) {
    bool any = false;
    for (const std::string& line : lines) {
        for (size_t i = line.find(','); i != std::string::npos; i = line.find(',', i + 1)) {
            const bool digits = i > 0 && IsDigit(line[i - 1]) && i + 3 < line.size() + 1 &&
                                AllDigits(std::string_view(line).substr(i + 1, 3)) &&
                                (i + 4 >= line.size() || !IsDigit(line[i + 4]));
            if (!digits) {
                return false;
            }
            any = true;
        }
    }
    return any;
}

// How steadily serials run: how many steps go the main way, and how far the step lengths stray
// from their median.
struct CSpacing {
    int64_t oneWay = 0;
    double spread = 0.0;
    int64_t median = 0;
};

constexpr int64_t kDailyStep = 7;
constexpr double kLongestStepDays = 92.0;
constexpr int64_t kMonthlyStep = 28;

CSpacing Spacing(const std::vector<int64_t>& serials) {
    std::vector<int64_t> steps;
    int64_t up = 0;
    int64_t down = 0;
    for (size_t i = 1; i < serials.size(); ++i) {
        int64_t step = serials[i] - serials[i - 1];
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
    spacing.median = median;
    double total = 0.0;
    for (int64_t step : steps) {
        total += static_cast<double>(std::abs(step - median));
    }
    spacing.spread = total / static_cast<double>(steps.size());
    return spacing;
}

// "lines 3, 5, 9, ..." of a reason.
std::string LineList(const CImportReason& reason) {
    std::string text = reason.count == 1 ? "line " : "lines ";
    for (size_t i = 0; i < reason.lines.size(); ++i) {
        text += (i > 0 ? ", " : "") + GroupThousands(reason.lines[i]);
    }
    return reason.count > static_cast<int64_t>(reason.lines.size()) ? text + ", ..." : text;
}

std::string Number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
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
    Judge();
    return ds;
}

void CDataImporter::DetectLayout() {
    static constexpr const char* kEncodings[] = {"UTF-8", "UTF-16", "UTF-16", "Windows-1252"};
    m_report.encoding = kEncodings[static_cast<size_t>(ReadAsUtf8())];
    std::string_view first;
    // A CR inside the first LF-ended line (or a file of one CR-ended line) means CRs end lines.
    if (ReadLine(first) && first.find('\r') != std::string_view::npos) {
        SetBareCrEndsLine(true);
    }
    const std::vector<std::string> sample = SampleLines();
    DetectSeparator(sample);
    FindHeader(sample);
    DetectTimeColumn(sample);
    DetectDecimalMark(sample);
    DetectDates();
    m_report.dateOrder = m_layout.order;
    m_dateOrder = m_layout.order;
}

std::vector<std::string> CDataImporter::SampleLines() {
    SeekToBegin();
    std::vector<std::string> lines;
    std::string_view line;
    while (lines.size() < kSampleLines && ReadLine(line)) {
        line = WithoutMark(line, LineNumber());
        if (!Trim(line).empty()) {
            lines.emplace_back(line.substr(0, kSampleLineBytes));
        }
    }
    return lines;
}

bool CDataImporter::LooksDated(std::string_view dateText) const {
    CNumberDate number;
    if (ReadNumberDate(dateText, number)) {
        return true;
    }
    double value = 0.0;
    if (WholeNumberKind(Trim(dateText), value) != CDateLayout::ENumbers::None) {
        return true;
    }
    CCivilDate date;
    bool timed = false;
    return ReadDateText(dateText, CDateLayout(), date, timed) != EDateText::NoDate;
}

// Each separator splits the first lines; the one under which most lines hold a date in the
// date column and a number in the value column wins, in the order tried on a tie: a stray
// semicolon in a note wins nothing, and a name with a blank ("FTSE 100") keeps its column when
// commas alone separate.
void CDataImporter::DetectSeparator(const std::vector<std::string>& sample) {
    std::vector<char> candidates = {'\t', ';', '|', ','};
    bool commas = false;
    // The lines dated when blanks alone separate: their commas decide whether blanks may.
    std::vector<std::string> blankDated;
    CFieldSplitter blanks(' ');
    for (const std::string& line : sample) {
        commas = commas || line.find(',') != std::string::npos;
        blanks.Split(line, static_cast<size_t>(m_dateColumn),
                     static_cast<size_t>(m_dateColumn - 1));
        if (IsDataLine(line) && static_cast<size_t>(m_dateColumn) <= blanks.Fields().size() &&
            LooksDated(blanks.Fields()[static_cast<size_t>(m_dateColumn - 1)])) {
            blankDated.push_back(line);
        }
    }
    m_commasGroupThousands = CommasGroupThousands(blankDated);
    if (!commas || m_commasGroupThousands) {
        candidates.push_back(' ');
    }
    if (commas) {
        candidates.push_back(0);
    }
    const size_t needed = Needed();
    int64_t best = -1;
    char chosen = candidates.back();
    for (char candidate : candidates) {
        CFieldSplitter splitter(candidate);
        int64_t score = 0;
        for (const std::string& line : sample) {
            if (!IsDataLine(line)) {
                continue;
            }
            splitter.Split(line, needed, static_cast<size_t>(m_dateColumn - 1));
            const auto& fields = splitter.Fields();
            auto field = [&](int32_t column) {
                return static_cast<size_t>(column) <= fields.size()
                           ? fields[static_cast<size_t>(column - 1)]
                           : std::string_view();
            };
            if (LooksDated(field(m_dateColumn))) {
                score += ReadsAsNumber(field(m_valueColumn)) ? 1001 : 1;
            }
        }
        if (score > best) {
            best = score;
            chosen = candidate;
        }
    }
    m_splitter = CFieldSplitter(chosen);
    m_report.separator = chosen;
}

// The header is the last line before the first dated one; its names of the date column and of
// the column after it say what whole numbers and digits there are.
void CDataImporter::FindHeader(const std::vector<std::string>& sample) {
    const size_t column = static_cast<size_t>(m_dateColumn);
    const std::string* header = nullptr;
    for (const std::string& line : sample) {
        m_splitter.Split(line, column, column - 1);
        if (IsDataLine(line) && LooksDated(Field(column))) {
            break;
        }
        header = &line;
    }
    if (header != nullptr) {
        m_splitter.Split(*header, column + 1, column - 1);
        m_dateHeader = Lower(Field(column));
        m_timeHeader = Lower(Field(column + 1));
    }
}

// A column of times of day right after the dates joins them ("2024-01-02,08:00,..."), as do
// compact times under a TIME header ("<DATE>,<TIME>" exports).
void CDataImporter::DetectTimeColumn(const std::vector<std::string>& sample) {
    m_timeColumn = 0;
    const size_t column = static_cast<size_t>(m_dateColumn) + 1;
    if (m_report.separator == 0 || m_report.separator == ' ' ||
        column == static_cast<size_t>(m_valueColumn)) {
        return;  // blanks already keep a time in the date's field
    }
    int64_t dated = 0;
    int64_t times = 0;
    for (const std::string& line : sample) {
        m_splitter.Split(line, column, static_cast<size_t>(m_dateColumn - 1));
        if (!IsDataLine(line) || !LooksDated(Field(static_cast<size_t>(m_dateColumn)))) {
            continue;
        }
        ++dated;
        const std::string_view time = Trim(Field(column));
        const bool compact = (time.size() == 4 || time.size() == 6) && AllDigits(time) &&
                             m_timeHeader.find("time") != std::string::npos;
        times += IsTimeOfDay(time) || compact ? 1 : 0;
    }
    if (dated > 0 && times * 10 >= dated * 9) {
        m_timeColumn = column;
        m_report.timeColumn = static_cast<int32_t>(column);
    }
}

// In a file split at commas whose values are not quoted, the decimal mark is a point. Else
// only numbers in dated lines vote: first those of the value column, then the line's other
// numbers. When nothing decides and a value reads two ways ("132.697"), the import is refused
// with both readings.
void CDataImporter::DetectDecimalMark(const std::vector<std::string>& sample) {
    if (m_decimalMarkChoice == '.' || m_decimalMarkChoice == ',') {
        m_style = CNumberStyle(m_decimalMarkChoice);
        m_report.decimalMark = m_decimalMarkChoice;
        return;
    }
    int64_t value[2] = {0, 0};  // votes for '.' and ','
    int64_t other[2] = {0, 0};
    std::string ambiguous;
    const bool commas = m_report.separator == ',' || m_report.separator == 0;
    bool unquotedCommas = commas;
    for (const std::string& line : sample) {
        m_splitter.Split(line, 0, static_cast<size_t>(m_dateColumn - 1));
        if (!IsDataLine(line) || !LooksDated(Field(static_cast<size_t>(m_dateColumn)))) {
            continue;
        }
        unquotedCommas =
            unquotedCommas && !m_splitter.Quoted(static_cast<size_t>(m_valueColumn - 1));
        const auto& fields = m_splitter.Fields();
        for (size_t i = 0; i < fields.size(); ++i) {
            const size_t column = i + 1;
            if (column == static_cast<size_t>(m_dateColumn) || column == m_timeColumn ||
                !ReadsAsNumber(fields[i])) {
                continue;
            }
            const char vote = CNumberStyle::Vote(Trim(fields[i]));
            int64_t* votes = column == static_cast<size_t>(m_valueColumn) ? value : other;
            votes[0] += vote == '.' ? 1 : 0;
            votes[1] += vote == ',' ? 1 : 0;
            if (column == static_cast<size_t>(m_valueColumn) && ambiguous.empty() &&
                CNumberStyle::Ambiguous(fields[i])) {
                ambiguous = Trim(fields[i]);
            }
        }
    }
    char mark = '.';
    if (unquotedCommas) {
        mark = '.';  // a decimal comma would have split the values
    } else if (value[0] != value[1]) {
        mark = value[1] > value[0] ? ',' : '.';
    } else if (other[0] != other[1]) {
        mark = other[1] > other[0] ? ',' : '.';
    } else if (m_report.separator == ' ' && m_commasGroupThousands) {
        mark = '.';  // blanks separate, commas group thousands
    } else if (!ambiguous.empty()) {
        double asPoint = 0.0;
        double asComma = 0.0;
        CNumberStyle('.').Read(ambiguous, asPoint);
        CNumberStyle(',').Read(ambiguous, asComma);
        m_report.refusal = "the decimal mark is not decided by the file: '" + ambiguous +
                           "' could be " + Number(asPoint) + " or " + Number(asComma) +
                           "; choose the decimal mark";
        m_report.mayForce = false;
    } else if (m_report.separator == ';') {
        mark = ',';  // no value holds a mark at all: the exports of decimal-comma locales
    }
    m_style = CNumberStyle(mark);
    m_report.decimalMark = mark;
}

// The first pass: the dates of three numbers and the whole-number dates of the first lines.
void CDataImporter::DetectDates() {
    SeekToBegin();
    std::vector<CNumberDate> numbers;
    std::vector<std::pair<CDateLayout::ENumbers, double>> wholes;
    std::string_view line;
    size_t probed = 0;
    const size_t column = static_cast<size_t>(m_dateColumn);
    while (probed < kProbeLines && numbers.size() < kOrderDates && wholes.size() < kOrderDates &&
           ReadLine(line)) {
        line = WithoutMark(line, LineNumber());
        if (!IsDataLine(line)) {
            continue;
        }
        ++probed;
        m_splitter.Split(line, column, column - 1);
        const std::string_view text = Trim(Field(column));
        if (text.size() == 10 && text[4] == '-' && AllDigits(text.substr(0, 4))) {
            continue;  // ISO dates need no order
        }
        CNumberDate number;
        double whole = 0.0;
        if (ReadNumberDate(text, number)) {
            numbers.push_back(number);
        } else if (const auto kind = WholeNumberKind(text, whole);
                   kind != CDateLayout::ENumbers::None) {
            wholes.emplace_back(kind, whole);
        }
    }
    DecideOrder(numbers);
    DecideWholeNumbers(wholes);
}

// Of the three orders, the one under which the most dates are calendar days; among those, the
// one whose dates run one way most steadily (a monthly file on the 1st gives one date a month
// day first, and jumps month first; "24.06.28" year first runs day by day). A tie is a guess,
// month first when it can be.
void CDataImporter::DecideOrder(const std::vector<CNumberDate>& dates) {
    if (m_dateOrderChoice >= kDayFirst && m_dateOrderChoice <= kYearFirst) {
        m_layout.order = m_dateOrderChoice;
        return;
    }
    if (dates.empty()) {
        return;  // year-first dates only, or no dates: the order does not matter
    }
    struct CCandidate {
        int32_t order;
        size_t valid = 0;
        CSpacing spacing;
    };
    std::array<CCandidate, 3> candidates = {CCandidate{kMonthFirst, 0, {}},
                                            CCandidate{kDayFirst, 0, {}},
                                            CCandidate{kYearFirst, 0, {}}};
    size_t mostValid = 0;
    for (CCandidate& c : candidates) {
        std::vector<int64_t> serials;
        for (const CNumberDate& number : dates) {
            CCivilDate date;
            if (NumberDateIn(number, c.order, date)) {
                serials.push_back(DateToSerial(date.day, date.month, date.year));
            }
        }
        c.valid = serials.size();
        c.spacing = Spacing(serials);
        mostValid = std::max(mostValid, c.valid);
    }
    // Equally steady readings: days a few apart (a daily file) beat a month apart.
    auto better = [](const CCandidate& a, const CCandidate& b) {
        if (a.spacing.oneWay != b.spacing.oneWay) {
            return a.spacing.oneWay > b.spacing.oneWay;
        }
        if (a.spacing.spread != b.spacing.spread) {
            return a.spacing.spread < b.spacing.spread;
        }
        return a.spacing.median <= kDailyStep && b.spacing.median >= kMonthlyStep;
    };
    const CCandidate* best = nullptr;
    bool tie = false;
    for (const CCandidate& c : candidates) {
        if (c.valid != mostValid || mostValid == 0) {
            continue;
        }
        if (best == nullptr || better(c, *best)) {
            best = &c;
            tie = false;
        } else if (!better(*best, c)) {
            tie = true;
        }
    }
    if (best != nullptr) {
        m_layout.order = best->order;
        m_report.dateOrderGuessed = tie;
    }
}

// Whole numbers are dates only when every one of the first is of one kind and they run one way
// by steps of at most a quarter (a column of volumes does neither); spreadsheet day numbers only
// under a header that says date.
void CDataImporter::DecideWholeNumbers(
    const std::vector<std::pair<CDateLayout::ENumbers, double>>& dates) {
    if (dates.empty()) {
        return;
    }
    const CDateLayout::ENumbers kind = dates.front().first;
    int64_t up = 0;
    int64_t down = 0;
    for (size_t i = 0; i < dates.size(); ++i) {
        if (dates[i].first != kind) {
            return;
        }
        if (i > 0) {
            up += dates[i].second > dates[i - 1].second ? 1 : 0;
            down += dates[i].second < dates[i - 1].second ? 1 : 0;
        }
    }
    if (up > 0 && down > 0) {
        return;
    }
    // Nor do candles years apart: a series steps by days, weeks or months.
    std::vector<double> steps;
    const double day = kind == CDateLayout::ENumbers::EpochSeconds        ? 86400.0
                       : kind == CDateLayout::ENumbers::EpochMilliseconds ? 86400000.0
                                                                          : 1.0;
    for (size_t i = 1; i < dates.size(); ++i) {
        steps.push_back(std::abs(dates[i].second - dates[i - 1].second) / day);
    }
    if (!steps.empty()) {
        std::nth_element(steps.begin(),
                         steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2),
                         steps.end());
        if (steps[steps.size() / 2] > kLongestStepDays) {
            return;
        }
    }
    const bool dateHeader = m_dateHeader.find("date") != std::string::npos ||
                            m_dateHeader.find("datum") != std::string::npos ||
                            m_dateHeader.find("fecha") != std::string::npos ||
                            m_dateHeader.find("data") != std::string::npos;
    if (kind == CDateLayout::ENumbers::SpreadsheetDays && !dateHeader) {
        return;
    }
    static constexpr const char* kNames[] = {"", "epoch seconds", "epoch milliseconds",
                                             "spreadsheet days"};
    m_layout.numbers = kind;
    m_report.dateNumbers = kNames[static_cast<size_t>(kind)];
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
    CCivilDate date;
    bool timed = false;
    std::string_view word;
    const EDateText read =
        ReadDateText(Field(static_cast<size_t>(m_dateColumn)), m_layout, date, timed, &word);
    KeepPreview(line, read != EDateText::NoDate);
    if (read != EDateText::Ok) {
        if (read == EDateText::UnknownMonth) {
            m_report.badMonth.Add(number, kKeep);
            if (m_report.unknownMonth.empty()) {
                m_report.unknownMonth = word;
            }
        } else {
            (read == EDateText::NoDate ? m_report.noDate : m_report.badDate).Add(number, kKeep);
        }
        return;
    }
    CDataPoint point;
    point.SetStoredDate(date.day, date.month, date.year);
    if (DateToSerial(date.day, date.month, date.year) != point.m_serial) {
        m_report.badDate.Add(number, kKeep);  // beyond the day serials
        return;
    }
    if (m_timeColumn != 0 && !Trim(Field(m_timeColumn)).empty()) {
        timed = true;
    }
    double value = 0.0;
    const std::string_view valueText = Field(static_cast<size_t>(m_valueColumn));
    if (!m_style.Read(valueText, value)) {
        m_report.badValue.Add(number, kKeep);
        if (std::any_of(valueText.begin(), valueText.end(), IsDigit)) {
            m_unreadNumbers.Add(number, kKeep);
        }
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
        if (!timed && point.GetValue(Raw) != m_day.first.GetValue(Raw)) {
            ++m_report.repeatedOtherValue;
        }
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

// A reason that leaves out a large part of the dated rows makes the import a failure the user
// may still accept: any unknown month name; more than a fifth of the rows with values that hold
// digits but do not read as numbers (a thousands mark not understood) or dates that are no
// calendar day; more than half without a value at all (gaps marked ".", "null" or empty, as
// series with weekends have); days repeated with other values and no time on more than half.
void CDataImporter::Judge() {
    if (!m_report.refusal.empty() || m_report.points == 0) {
        return;
    }
    const CImportReport& r = m_report;
    const int64_t dated = r.points + r.badDate.count + r.badMonth.count + r.badValue.count +
                          r.merged.count + r.outOfOrder.count;
    auto large = [dated](const CImportReason& reason) { return reason.count * 5 > dated; };
    std::string why;
    if (r.badMonth.count > 0) {
        why = "month name '" + r.unknownMonth + "' not known (" + LineList(r.badMonth) +
              "); write the months as numbers or in English, German, French, Spanish, Italian, "
              "Portuguese or Dutch";
    } else if (large(m_unreadNumbers)) {
        why = GroupThousands(m_unreadNumbers.count) + " of " + GroupThousands(dated) +
              " dated rows hold a value that does not read as a number in column " +
              std::to_string(m_valueColumn) + " (" + LineList(m_unreadNumbers) +
              "); check the value column and the decimal mark";
    } else if (r.badValue.count * 2 > dated) {
        why = GroupThousands(r.badValue.count) + " of " + GroupThousands(dated) +
              " dated rows hold no number in column " + std::to_string(m_valueColumn) + " (" +
              LineList(r.badValue) + "); check the value column";
    } else if (large(r.badDate)) {
        why = GroupThousands(r.badDate.count) + " of " + GroupThousands(dated) +
              " dates are no calendar day (" + LineList(r.badDate) + "); check the date order";
    } else if (r.repeatedOtherValue * 2 > dated) {
        why = "most dates repeat with other values and no time of day (" + LineList(r.outOfOrder) +
              "); check the date column, or add a column of times";
    }
    if (!why.empty()) {
        m_report.refusal = why;
        m_report.mayForce = true;
    }
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
    return std::max(
        {static_cast<size_t>(m_dateColumn), static_cast<size_t>(m_valueColumn), m_timeColumn});
}
