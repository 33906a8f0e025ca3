#include "storage/month_words.h"

namespace {

// Full names and the abbreviations that are no beginning of a full name, each with its month.
struct CMonthWord {
    std::string_view word;
    int32_t month;
};

constexpr CMonthWord kWords[] = {
    // English
    {"january", 1},
    {"february", 2},
    {"march", 3},
    {"april", 4},
    {"may", 5},
    {"june", 6},
    {"july", 7},
    {"august", 8},
    {"september", 9},
    {"october", 10},
    {"november", 11},
    {"december", 12},
    // German (with "ae" for a missing umlaut)
    {"januar", 1},
    {"februar", 2},
    {"marz", 3},
    {"maerz", 3},
    {"mrz", 3},
    {"mai", 5},
    {"juni", 6},
    {"juli", 7},
    {"oktober", 10},
    {"dezember", 12},
    {"jaenner", 1},
    {"janner", 1},
    // French
    {"janvier", 1},
    {"fevrier", 2},
    {"mars", 3},
    {"avril", 4},
    {"juin", 6},
    {"juillet", 7},
    {"aout", 8},
    {"septembre", 9},
    {"octobre", 10},
    {"novembre", 11},
    {"decembre", 12},
    {"fev", 2},
    {"juil", 7},
    // Spanish
    {"enero", 1},
    {"febrero", 2},
    {"marzo", 3},
    {"abril", 4},
    {"mayo", 5},
    {"junio", 6},
    {"julio", 7},
    {"agosto", 8},
    {"septiembre", 9},
    {"setiembre", 9},
    {"octubre", 10},
    {"noviembre", 11},
    {"diciembre", 12},
    // Italian
    {"gennaio", 1},
    {"febbraio", 2},
    {"aprile", 4},
    {"maggio", 5},
    {"giugno", 6},
    {"luglio", 7},
    {"settembre", 9},
    {"ottobre", 10},
    {"dicembre", 12},
    // Portuguese
    {"janeiro", 1},
    {"fevereiro", 2},
    {"marco", 3},
    {"maio", 5},
    {"junho", 6},
    {"julho", 7},
    {"setembro", 9},
    {"outubro", 10},
    {"dezembro", 12},
    // Dutch
    {"januari", 1},
    {"februari", 2},
    {"maart", 3},
    {"mrt", 3},
    {"mei", 5},
    {"augustus", 8},
    // Abbreviations that begin no name above, or do so for another month
    {"jan", 1},
    {"feb", 2},
    {"mar", 3},
    {"apr", 4},
    {"jun", 6},
    {"jul", 7},
    {"aug", 8},
    {"sep", 9},
    {"sept", 9},
    {"oct", 10},
    {"nov", 11},
    {"dec", 12},
    {"dic", 12},
};

constexpr size_t kShortestBeginning = 3;
constexpr size_t kLongestWord = 12;

// The ASCII letter of a UTF-8 Latin-1 letter (the second byte after 0xC3), or 0.
char FoldLatin1(unsigned char second) {
    using namespace std::string_view_literals;
    static constexpr std::string_view kFolds =
        "aaaaaaaceeeeiiii"        // C0..CF
        "\0nooooo\0ouuuuy\0s"     // D0..DF
        "aaaaaaaceeeeiiii"        // E0..EF
        "\0nooooo\0ouuuuy\0y"sv;  // F0..FF
    const size_t at = static_cast<size_t>(second) - 0x80;
    return at < kFolds.size() ? kFolds[at] : 0;
}

}  // namespace

std::string FoldedWord(std::string_view word) {
    if (word.ends_with('.')) {
        word.remove_suffix(1);
    }
    std::string folded;
    for (size_t i = 0; i < word.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(word[i]);
        if (c >= 'A' && c <= 'Z') {
            folded += static_cast<char>(c - 'A' + 'a');
        } else if (c >= 'a' && c <= 'z') {
            folded += static_cast<char>(c);
        } else if (c == 0xC3 && i + 1 < word.size()) {
            const char letter = FoldLatin1(static_cast<unsigned char>(word[++i]));
            if (letter == 0) {
                return {};
            }
            folded += letter;
        } else {
            return {};
        }
    }
    return folded;
}

bool LooksLikeMonthWord(std::string_view word) {
    const std::string folded = FoldedWord(word);
    return folded.size() >= kShortestBeginning && folded.size() <= kLongestWord;
}

int32_t MonthFromWord(std::string_view word) {
    const std::string folded = FoldedWord(word);
    if (folded.size() < kShortestBeginning || folded.size() > kLongestWord) {
        return 0;
    }
    int32_t month = 0;
    for (const CMonthWord& w : kWords) {
        if (w.word == folded) {
            return w.month;  // a whole name or abbreviation settles it
        }
        if (w.word.starts_with(folded)) {
            if (month != 0 && month != w.month) {
                return 0;  // "jui": juin or juillet
            }
            month = w.month;
        }
    }
    return month;
}
