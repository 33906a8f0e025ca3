#pragma once

#include <string>
#include <string_view>

// The encodings raw data files come in besides UTF-8: UTF-16 with a byte order mark (the
// "Unicode text" of spreadsheets) and Windows-1252 (older exports of Western European
// programs, with the euro sign as byte 0x80).
enum class ETextEncoding { Utf8, Utf16LittleEndian, Utf16BigEndian, Windows1252 };

// What the first bytes of a file say: UTF-16 when they start with its byte order mark,
// Windows-1252 when they hold a byte sequence that is not UTF-8 (a sequence cut by the end of
// `start` does not count), else UTF-8.
ETextEncoding DetectEncoding(std::string_view start);

// The text in UTF-8; UTF-16's byte order mark is dropped, an unpaired surrogate or a last odd
// byte becomes U+FFFD. UTF-8 text is returned as it is.
std::string ToUtf8(std::string_view bytes, ETextEncoding encoding);
