#include "storage/text_scanner.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "model/numeric.h"

namespace {

constexpr size_t kChunk = 1 << 16;
constexpr size_t kLongestNumber = 100;

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Starts with a digit, or a point and a digit, but not with the 0x of a hex number.
bool IsPlainDecimal(const char* first, const char* last) {
    if (first == last) {
        return false;
    }
    if (*first == '.') {
        return last - first > 1 && IsDigit(first[1]);
    }
    bool hex = *first == '0' && last - first > 1 && (first[1] == 'x' || first[1] == 'X');
    return IsDigit(*first) && !hex;
}

double StrtodOf(std::string_view text) {
    char buffer[kLongestNumber];
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return std::strtod(buffer, nullptr);
}

}  // namespace

CTextScanner::~CTextScanner() {
    Close();
}

bool CTextScanner::Open(const std::string& path) {
    Close();
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        errno = EISDIR;
        return false;
    }
    m_file = std::fopen(path.c_str(), "rb");
    if (m_file == nullptr) {
        return false;
    }
    m_fileName = BaseName(path);
    return true;
}

void CTextScanner::OpenText(std::string text, std::string fileName) {
    Close();
    m_buffer = std::move(text);
    m_fileName = BaseName(fileName);
}

void CTextScanner::Close() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_buffer.clear();
    m_position = 0;
    m_atEnd = false;
}

void CTextScanner::SeekToBegin() {
    m_position = 0;
    m_atEnd = false;
    if (m_file != nullptr) {
        std::rewind(m_file);
        m_buffer.clear();
    }
}

// Drops what has been read and appends the next chunk of the file; false at its end.
bool CTextScanner::Refill() {
    if (m_file == nullptr || m_atEnd) {
        return false;
    }
    m_buffer.erase(0, m_position);
    m_position = 0;
    size_t used = m_buffer.size();
    m_buffer.resize(used + kChunk);
    size_t got = std::fread(m_buffer.data() + used, 1, kChunk, m_file);
    m_buffer.resize(used + got);
    if (got == 0) {
        m_atEnd = true;
    }
    return got > 0;
}

bool CTextScanner::ReadString(std::string& line) {
    size_t scanFrom = m_position;
    while (true) {
        const void* newline =
            std::memchr(m_buffer.data() + scanFrom, '\n', m_buffer.size() - scanFrom);
        if (newline != nullptr) {
            size_t end = static_cast<size_t>(static_cast<const char*>(newline) - m_buffer.data());
            line.assign(m_buffer, m_position, end - m_position);
            m_position = end + 1;
            break;
        }
        size_t pending = m_buffer.size() - m_position;
        if (!Refill()) {
            if (m_position >= m_buffer.size()) {
                return false;
            }
            line.assign(m_buffer, m_position, std::string::npos);
            m_position = m_buffer.size();
            break;
        }
        scanFrom = pending;  // Refill moved the unread text to the front
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

int32_t CTextScanner::ToInt(std::string_view text) {
    if (text.empty() || text.size() >= kLongestNumber) {
        return 0;
    }
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{1} << 32) {
            value = int64_t{1} << 32;  // already beyond the 32-bit range: saturate below
        }
    }
    return SaturateToInt32(negative ? -value : value);
}

double CTextScanner::ToDouble(std::string_view text) {
    if (text.empty() || text.size() >= kLongestNumber) {
        return 0.0;
    }
    const char* first = text.data();
    const char* last = first + text.size();
    bool negative = false;
    if (*first == '+' || *first == '-') {
        negative = *first == '-';
        ++first;
    }
    // Plain decimal text, all that the program writes, goes through from_chars: the same
    // correctly rounded double as strtod without its copy and locale lookups. Whatever else
    // strtod reads (leading blanks, a second sign, inf, nan, hex, out of range) stays with it.
    if (IsPlainDecimal(first, last)) {
        double value = 0.0;
        auto result = std::from_chars(first, last, value, std::chars_format::general);
        if (result.ec == std::errc()) {
            return negative ? -value : value;
        }
    }
    return StrtodOf(text);
}

bool CTextScanner::FindAttribute(std::string_view line, std::string_view key,
                                 std::string_view& value) {
    size_t p = line.find(key);
    if (p == std::string_view::npos || p == 0) {
        return false;
    }
    value = {};
    size_t open = line.find('"', p);
    if (open == std::string_view::npos) {
        return true;
    }
    size_t close = line.find('"', open + 1);
    if (close != std::string_view::npos) {
        value = line.substr(open + 1, close - open - 1);
    }
    return true;
}

std::string CTextScanner::GetStringAttribute(std::string_view line, std::string_view key) {
    std::string_view value;
    return FindAttribute(line, key, value) ? std::string(value) : std::string();
}

int32_t CTextScanner::GetIntAttribute(std::string_view line, std::string_view key) {
    std::string_view value;
    return FindAttribute(line, key, value) ? ToInt(value) : 0;
}

double CTextScanner::GetDoubleAttribute(std::string_view line, std::string_view key) {
    std::string_view value;
    return FindAttribute(line, key, value) ? ToDouble(value) : 0.0;
}

CTextScanner::DateParts CTextScanner::SplitDate(std::string_view text) {
    auto separatorFrom = [&](size_t from) -> size_t {
        for (size_t i = from; i < text.size(); ++i) {
            if (IsDateSeparator(text[i])) {
                return i;
            }
        }
        return 0;
    };
    auto part = [&](size_t from, size_t count) {
        return from >= text.size() ? std::string_view() : text.substr(from, count);
    };
    size_t s1 = separatorFrom(1);
    size_t s2 = s1 != 0 ? separatorFrom(s1 + 1) : 0;
    DateParts parts;
    parts.a = text.substr(0, s1);
    parts.b = s2 > s1 + 1 ? part(s1 + 1, s2 - s1 - 1) : std::string_view();
    parts.c = part(s2 + 1, std::string_view::npos);
    return parts;
}

std::string_view CTextScanner::Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

void CTextScanner::ReadDateAttribute(std::string_view line, std::string_view key,
                                     CDataPoint& point) {
    std::string_view value;
    if (!FindAttribute(line, key, value)) {
        return;
    }
    DateParts parts = SplitDate(value);
    point.SetDate(ToInt(parts.b), ToInt(parts.a), ToInt(parts.c));
}
