#include "storage/import_report.h"

#include <algorithm>

void CImportReason::Add(int64_t line, size_t keep) {
    ++count;
    // Rows of one day are counted when the day ends: a number may come after a higher one.
    if (lines.size() < keep) {
        lines.insert(std::upper_bound(lines.begin(), lines.end(), line), line);
    } else if (keep > 0 && line < lines.back()) {
        lines.pop_back();
        lines.insert(std::upper_bound(lines.begin(), lines.end(), line), line);
    }
}

std::string GroupThousands(int64_t n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += ',';
        }
        text += digits[i];
    }
    return n < 0 ? "-" + text : text;
}

namespace {

// "3 values not a number (lines 1034, 2210, 4711)"; nothing when the reason never occurred.
void AppendReason(std::string& text, const CImportReason& reason, const char* one,
                  const char* many) {
    if (reason.count == 0) {
        return;
    }
    if (!text.empty()) {
        text += "; ";
    }
    text += GroupThousands(reason.count) + " " + (reason.count == 1 ? one : many);
    text += reason.lines.size() == 1 && reason.count == 1 ? " (line " : " (lines ";
    for (size_t i = 0; i < reason.lines.size(); ++i) {
        text += (i > 0 ? ", " : "") + GroupThousands(reason.lines[i]);
    }
    text += reason.count > static_cast<int64_t>(reason.lines.size()) ? ", ...)" : ")";
}

std::string Reasons(const CImportReport& r) {
    std::string text;
    AppendReason(text, r.noDate, "line without a date", "lines without a date");
    AppendReason(text, r.badDate, "date not a calendar day", "dates not a calendar day");
    AppendReason(text, r.badMonth, "month name not known", "month names not known");
    AppendReason(text, r.badValue, "value not a number", "values not a number");
    AppendReason(text, r.merged, "row merged into its day's last",
                 "rows merged into their day's last");
    AppendReason(text, r.outOfOrder, "date repeated or out of order",
                 "dates repeated or out of order");
    AppendReason(text, r.blank, "blank line", "blank lines");
    return text;
}

}  // namespace

std::string CImportReport::Counts() const {
    std::string text = GroupThousands(lines) + (lines == 1 ? " line read" : " lines read");
    std::string reasons = Reasons(*this);
    return reasons.empty() ? text : text + "; " + reasons;
}

std::string CImportReport::Summary() const {
    std::string text = name + ": " + GroupThousands(points) + (points == 1 ? " point" : " points");
    std::string reasons = Reasons(*this);
    return reasons.empty() ? text : text + "; " + reasons;
}

std::string CImportReport::HowRead() const {
    std::string text = "fields separated by ";
    switch (separator) {
        case ',':
            text += "commas";
            break;
        case ';':
            text += "semicolons";
            break;
        case '\t':
            text += "tabs";
            break;
        case '|':
            text += "vertical bars";
            break;
        case ' ':
            text += "blanks";
            break;
        default:
            text += "commas and blanks";
    }
    text += decimalMark == ',' ? ", decimal comma" : ", decimal point";
    if (!dateNumbers.empty()) {
        return text + ", dates as " + dateNumbers;
    }
    static constexpr const char* kOrders[] = {"day first", "month first", "year first"};
    text += ", dates ";
    text += kOrders[dateOrder >= 0 && dateOrder <= 2 ? dateOrder : 1];
    return dateOrderGuessed ? text + " (a guess: no date tells)" : text;
}
