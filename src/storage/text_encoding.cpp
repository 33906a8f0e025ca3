#include "storage/text_encoding.h"

#include <array>
#include <cstdint>

namespace {

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

constexpr uint32_t kReplacement = 0xFFFD;

std::string FromUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() / 2);
    auto unit = [&](size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<uint32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (size_t i = 2; i < bytes.size(); i += 2) {  // after the byte order mark
        if (i + 1 >= bytes.size()) {
            AppendUtf8(out, kReplacement);
            break;
        }
        uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size()) {
            const uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(out, code >= 0xD800 && code < 0xE000 ? kReplacement : code);
    }
    return out;
}

// Bytes 0x80 to 0x9F of Windows-1252; the five it leaves unassigned stay their C1 codes.
constexpr std::array<uint16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string FromWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            AppendUtf8(out, b < 0xA0 ? kHigh[b - 0x80] : b);
        }
    }
    return out;
}

// The length of the UTF-8 sequence at `i`, 0 when it is broken, or the bytes left when it is
// cut by the end.
size_t SequenceLength(std::string_view text, size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = lead < 0x80                   ? 1
                    : lead >= 0xC2 && lead < 0xE0 ? 2
                    : lead >= 0xE0 && lead < 0xF0 ? 3
                    : lead >= 0xF0 && lead < 0xF5 ? 4
                                                  : 0;
    for (size_t k = 1; k < length; ++k) {
        if (i + k >= text.size()) {
            return text.size() - i;
        }
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

}  // namespace

ETextEncoding DetectEncoding(std::string_view start) {
    if (start.starts_with("\xFF\xFE")) {
        return ETextEncoding::Utf16LittleEndian;
    }
    if (start.starts_with("\xFE\xFF")) {
        return ETextEncoding::Utf16BigEndian;
    }
    for (size_t i = 0; i < start.size();) {
        if (static_cast<unsigned char>(start[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t length = SequenceLength(start, i);
        if (length == 0) {
            return ETextEncoding::Windows1252;
        }
        i += length;
    }
    return ETextEncoding::Utf8;
}

std::string ToUtf8(std::string_view bytes, ETextEncoding encoding) {
    switch (encoding) {
        case ETextEncoding::Utf16LittleEndian:
            return FromUtf16(bytes, false);
        case ETextEncoding::Utf16BigEndian:
            return FromUtf16(bytes, true);
        case ETextEncoding::Windows1252:
            return FromWindows1252(bytes);
        case ETextEncoding::Utf8:
            break;
    }
    return std::string(bytes);
}
