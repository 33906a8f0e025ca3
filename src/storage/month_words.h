#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Month names as price files of the major European languages write them (English, German,
// French, Spanish, Italian, Portuguese, Dutch): full names, their abbreviations and any
// beginning of three letters or more that names one month only ("Sept", "janv.", "févr",
// "Okt"). Case and accents do not matter; a final "." is an abbreviation's.

// 1 to 12 for a month name, 0 for a word that names no month ("Total", "jui", which could
// be juin or juillet).
int32_t MonthFromWord(std::string_view word);

// Whether the text is a word that could be meant as a month name: letters (UTF-8 accented
// ones included) and at most a final ".", 3 to 12 letters. Unknown words of this shape in a
// date's place are reported as month names not known.
bool LooksLikeMonthWord(std::string_view word);

// The word in lower-case ASCII, accents dropped ("Févr." gives "fevr"); empty when it holds a
// character that is no letter.
std::string FoldedWord(std::string_view word);
