#include "storage/text_scanner.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/numeric.h"
#include "model/progress_sink.h"

namespace {

constexpr size_t kChunk = 1 << 16;
// The longest number text read: a double written in full with decimals takes up to 316.
constexpr size_t kLongestNumber = 400;

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

size_t FindChar(std::string_view text, char c, size_t from) {
    if (from >= text.size()) {
        return std::string_view::npos;
    }
    const void* hit = std::memchr(text.data() + from, c, text.size() - from);
    return hit == nullptr ? std::string_view::npos
                          : static_cast<size_t>(static_cast<const char*>(hit) - text.data());
}

// The first occurrence of `key`, as std::string_view::find, but the few characters after a
// first-character hit are compared in place: keys are short, and a library call per candidate
// cost more than the search.
size_t FindText(std::string_view text, std::string_view key) {
    if (key.empty() || key.size() > text.size()) {
        return key.empty() ? 0 : std::string_view::npos;
    }
    const char* data = text.data();
    const size_t starts = text.size() - key.size() + 1;  // where the key can begin
    for (size_t from = 0; from < starts;) {
        const void* hit = std::memchr(data + from, key[0], starts - from);
        if (hit == nullptr) {
            break;
        }
        const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - data);
        size_t k = 1;
        while (k < key.size() && data[at + k] == key[k]) {
            ++k;
        }
        if (k == key.size()) {
            return at;
        }
        from = at + 1;
    }
    return std::string_view::npos;
}

// Clinger's exact case: digits with an optional point and fraction, no exponent, whose digits
// as an integer w fit in 53 bits and whose fraction has at most 22 digits. Then w and 10^n are
// both exact doubles and one correctly rounded division gives the correctly rounded value, the
// double strtod gives. Any other text returns false and is read in full by the caller.
// Appends the digits at `first` to w; returns the end of the digits.
const char* AppendDigits(const char* first, const char* last, uint64_t& w) {
    for (; first != last && IsDigit(*first); ++first) {
        w = w * 10 + static_cast<uint64_t>(*first - '0');
    }
    return first;
}

bool ReadShortDecimal(const char* first, const char* last, double& value) {
    constexpr uint64_t kExactLimit = uint64_t{1} << 53;
    constexpr size_t kMostDigits = 19;  // 10^19 < 2^64: w cannot wrap
    static constexpr std::array<double, 23> kPowers = {
        1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    // At most 19 characters are looked at; a number that goes on beyond them is left to the
    // full reader.
    const char* cut =
        last - first > static_cast<ptrdiff_t>(kMostDigits) ? first + kMostDigits : last;
    uint64_t w = 0;
    const char* end = AppendDigits(first, cut, w);
    size_t fraction = 0;
    if (end != cut && *end == '.') {
        const char* decimals = end + 1;
        end = AppendDigits(decimals, cut, w);
        fraction = static_cast<size_t>(end - decimals);
    }
    bool more = end == cut ? cut != last : (*end == 'e' || *end == 'E');
    if (more || w > kExactLimit) {
        return false;
    }
    value = static_cast<double>(w) / kPowers[fraction];
    return true;
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
    m_openStatus = CStatus::Ok();
    // Not blocking: a FIFO must be refused, not waited on for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        m_openStatus = CStatus::Error("cannot open '" + path + "': " + std::strerror(errno),
                                      missing ? StatusKind::NotFound : StatusKind::Io);
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const bool folder = S_ISDIR(info.st_mode);
        ::close(fd);
        m_openStatus =
            CStatus::Refused("cannot open '" + path + "': " +
                             (folder ? std::strerror(EISDIR) : std::string("not a regular file")));
        errno = folder ? EISDIR : EINVAL;
        return false;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_file = fdopen(fd, "rb");
    if (m_file == nullptr) {
        m_openStatus = CStatus::Error("cannot open '" + path + "': " + std::strerror(errno));
        ::close(fd);
        return false;
    }
    m_fileName = BaseName(path);
    m_fileSize = static_cast<int64_t>(info.st_size);
    return true;
}

void CTextScanner::Watch(const std::atomic<bool>* stop, CProgressSink* progress) {
    m_stop = stop;
    m_progress = progress;
}

void CTextScanner::ReportShareRead() {
    if (m_progress == nullptr || m_fileSize <= 0) {
        return;
    }
    const int32_t share =
        static_cast<int32_t>(std::min<int64_t>(100, m_bytesRead * 100 / m_fileSize));
    if (share > m_sharePosted) {
        m_sharePosted = share;
        m_progress->ReportProgress(share);
    }
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
    m_lineNumber = 0;
    m_atEnd = false;
    m_fileSize = 0;
    m_bytesRead = 0;
    m_sharePosted = 0;
    m_stopped = false;
}

void CTextScanner::SeekToBegin() {
    m_position = 0;
    m_lineNumber = 0;
    m_atEnd = false;
    if (m_file != nullptr) {
        std::rewind(m_file);
        m_buffer.clear();
        m_bytesRead = 0;
    }
}

ETextEncoding CTextScanner::ReadAsUtf8() {
    SeekToBegin();
    if (m_buffer.empty()) {
        Refill();
    }
    const ETextEncoding encoding = DetectEncoding(m_buffer);
    if (encoding != ETextEncoding::Utf8) {
        while (Refill()) {
        }
        m_buffer = ToUtf8(m_buffer, encoding);
        if (m_file != nullptr) {
            std::fclose(m_file);
            m_file = nullptr;
        }
    }
    SeekToBegin();
    return encoding;
}

// Drops what has been read and appends the next chunk of the file; false at its end.
bool CTextScanner::Refill() {
    if (m_file == nullptr || m_atEnd) {
        return false;
    }
    if (m_stop != nullptr && m_stop->load(std::memory_order_relaxed)) {
        m_stopped = true;
        m_atEnd = true;
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
    m_bytesRead += static_cast<int64_t>(got);
    ReportShareRead();
    return got > 0;
}

bool CTextScanner::ReadString(std::string& line) {
    std::string_view view;
    if (!ReadLine(view)) {
        return false;
    }
    line.assign(view);
    return true;
}

bool CTextScanner::ReadLine(std::string_view& line) {
    if (m_bareCrEndsLine) {
        return ReadLineAnyEnd(line);
    }
    size_t scanFrom = m_position;
    while (true) {
        const void* newline =
            std::memchr(m_buffer.data() + scanFrom, '\n', m_buffer.size() - scanFrom);
        if (newline != nullptr) {
            size_t end = static_cast<size_t>(static_cast<const char*>(newline) - m_buffer.data());
            line = std::string_view(m_buffer).substr(m_position, end - m_position);
            m_position = end + 1;
            break;
        }
        size_t pending = m_buffer.size() - m_position;
        if (!Refill()) {
            if (m_position >= m_buffer.size()) {
                return false;
            }
            line = std::string_view(m_buffer).substr(m_position);
            m_position = m_buffer.size();
            break;
        }
        scanFrom = pending;  // Refill moved the unread text to the front
    }
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    ++m_lineNumber;
    return true;
}

// CR, LF and CR LF all end a line. The CR is searched first, and the LF only before it, so a
// file of CRs alone is read in one sweep.
bool CTextScanner::ReadLineAnyEnd(std::string_view& line) {
    while (true) {
        const char* data = m_buffer.data();
        const size_t size = m_buffer.size();
        const void* cr = std::memchr(data + m_position, '\r', size - m_position);
        const size_t crAt =
            cr != nullptr ? static_cast<size_t>(static_cast<const char*>(cr) - data) : size;
        const void* lf = std::memchr(data + m_position, '\n', crAt - m_position);
        if (lf != nullptr) {
            size_t end = static_cast<size_t>(static_cast<const char*>(lf) - data);
            line = std::string_view(m_buffer).substr(m_position, end - m_position);
            m_position = end + 1;
            break;
        }
        // A CR as the last byte read may be the first half of a CR LF.
        if (cr != nullptr && (crAt + 1 < size || m_atEnd || m_file == nullptr)) {
            line = std::string_view(m_buffer).substr(m_position, crAt - m_position);
            m_position = crAt + 1 < size && data[crAt + 1] == '\n' ? crAt + 2 : crAt + 1;
            break;
        }
        if (!Refill()) {
            if (cr != nullptr) {
                continue;  // at the end now: the CR stands alone
            }
            if (m_position >= m_buffer.size()) {
                return false;
            }
            line = std::string_view(m_buffer).substr(m_position);
            m_position = m_buffer.size();
            break;
        }
    }
    ++m_lineNumber;
    return true;
}

int32_t CTextScanner::ToInt(std::string_view text) {
    if (text.empty() || text.size() >= kLongestNumber) {
        return 0;
    }
    const char* c = text.data();
    const char* end = c + text.size();
    while (c != end && IsSpace(*c)) {
        ++c;
    }
    bool negative = false;
    if (c != end && (*c == '+' || *c == '-')) {
        negative = *c == '-';
        ++c;
    }
    // Beyond 2^32 the value is out of the 32-bit range anyway: stop growing there.
    constexpr int64_t kCap = int64_t{1} << 32;
    int64_t value = 0;
    for (; c != end && IsDigit(*c); ++c) {
        value = std::min(value * 10 + (*c - '0'), kCap);
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
    // Plain decimal text, all that the program writes, is read here or by from_chars: the same
    // correctly rounded double as strtod without its copy and locale lookups. Whatever else
    // strtod reads (leading blanks, a second sign, inf, nan, hex, out of range) stays with it.
    if (IsPlainDecimal(first, last)) {
        double value = 0.0;
        if (ReadShortDecimal(first, last, value)) {
            return negative ? -value : value;
        }
        auto result = std::from_chars(first, last, value, std::chars_format::general);
        if (result.ec == std::errc()) {
            return negative ? -value : value;
        }
    }
    return StrtodOf(text);
}

bool CTextScanner::FindAttribute(std::string_view line, std::string_view key,
                                 std::string_view& value) {
    size_t p = FindText(line, key);
    if (p == std::string_view::npos || p == 0) {
        return false;
    }
    value = {};
    size_t open = FindChar(line, '"', p);
    if (open == std::string_view::npos) {
        return true;
    }
    size_t close = FindChar(line, '"', open + 1);
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
