#include "storage/text_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "model/project.h"
#include "support/series_builder.h"
#include "support/test_files.h"

namespace {

using namespace std::string_literals;

std::vector<std::string> ReadAll(CTextScanner& scanner) {
    std::vector<std::string> lines;
    for (std::string line; scanner.ReadString(line);) {
        lines.push_back(line);
    }
    return lines;
}

// The same lines from memory and from a file: split at LF, one CR before it dropped, nothing
// after a final line end. Files are read in chunks: lines of several megabytes and line ends
// split between two chunks must come out whole. Missing files and folders are not opened.
TEST(TextScanner, ReadsLinesWithEitherLineEndAndAnyLength) {
    std::string longText(65535, 'x');
    longText += "\r\n";  // CR last in the first chunk, LF first in the second
    longText += std::string(3 << 20, 'y') + "\n";
    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i) {
        longText += std::string(random() % 4 == 0 ? random() % 200000 : random() % 40, 'a');
        longText += random() % 2 == 0 ? "\r\n" : "\n";
    }
    longText += "tail";
    TempFolder folder;
    CProject project;
    CTextScanner scanner(project);
    EXPECT_FALSE(scanner.Open(folder.PathOf("missing.xml")));
    EXPECT_FALSE(scanner.Open(folder.Path()));
    for (const std::string& text : {""s, "one\r\ntwo\nthree"s, "\n\r\n\nlast\r\n"s, "cr only\r"s,
                                    "nul\0inside\r\n\0\n"s, longText}) {
        std::vector<std::string> expected;
        for (size_t from = 0; from < text.size();) {
            const size_t end = std::min(text.find('\n', from), text.size());
            std::string line = text.substr(from, end - from);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            expected.push_back(line);
            from = end + 1;
        }
        scanner.OpenText(text, "memory");
        EXPECT_EQ(ReadAll(scanner), expected) << text.substr(0, 20);
        ASSERT_TRUE(scanner.Open(folder.File("lines.txt", text)));
        EXPECT_EQ(scanner.GetFileName(), "lines.txt");
        EXPECT_EQ(ReadAll(scanner), expected) << text.substr(0, 20);
    }
}

// atoi and atof, saturated, and 0 for text of 400 characters or more, leading zeros included.
TEST(TextScanner, NumbersFollowAtoiAndAtofAndSaturate) {
    using Case = std::tuple<std::string, int32_t, double>;
    for (const auto& [text, integer, real] :
         {Case{"", 0, 0.0}, Case{"abc", 0, 0.0}, Case{"- 7", 0, 0.0}, Case{"12abc", 12, 12.0},
          Case{" \t -42", -42, -42.0}, Case{"+7", 7, 7}, Case{"3.9", 3, 3.9}, Case{"1,5", 1, 1.0},
          Case{"1.23457e+06", 1, 1234570}, Case{"2147483648", INT_MAX, 2147483648.0},
          Case{"-2147483648", INT_MIN, -2147483648.0}, Case{"-2147483649", INT_MIN, -2147483649.0},
          Case{std::string(98, '9'), INT_MAX, 1e98 - 1},
          Case{std::string(397, '0') + "12", 12, 12.0}, Case{std::string(398, '0') + "12", 0, 0.0},
          Case{"1" + std::string(308, '0') + ".00000", INT_MAX, 1e308}}) {
        EXPECT_EQ(CTextScanner::ToInt(text), integer) << text;
        EXPECT_DOUBLE_EQ(CTextScanner::ToDouble(text), real) << text;
    }
    EXPECT_EQ(CTextScanner::ToInt("-" + std::string(98, '9')), INT_MIN);
}

// atof as the C library has it, the reference for ToDouble.
double Atof(const std::string& text) {
    return text.empty() || text.size() >= 400 ? 0.0 : std::strtod(text.c_str(), nullptr);
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// ToDouble reads exactly what atof reads, to the bit: signs, blanks, points without digits on
// one side, exponents cut short, hex, inf and nan, overflow, underflow, subnormals, long digit
// strings, and random mixtures of the characters of all of these.
TEST(TextScanner, ToDoubleReadsEveryTextAsAtofDoes) {
    std::vector<std::string> texts = {"1" + std::string(80, '0') + "e-80",
                                      "0." + std::string(90, '0') + "1",
                                      "1" + std::string(308, '7')};
    const std::string kTexts =
        "0|-0|-0.0e5|.5|-.5|+.5|5.|.|-.|.e5|1.e5|1e|1e+|1e-x|1E5|1e400|-1e400|1e-400|4.9e-324|"
        "2.2250738585072011e-308|0x1p3|0X1P-2|-0x10|0x|00x1|inf|-Infinity|nan|-nan|nan(12)|+-5|"
        "--5| 5|\t-5|\n+.5e1|5 |1,5|12abc|0.1|8764.13000|9007199254740993|0.30000000000000004441";
    for (size_t from = 0, to = 0; to < kTexts.size(); from = to + 1) {
        to = std::min(kTexts.find('|', from), kTexts.size());
        texts.push_back(kTexts.substr(from, to - from));
    }
    std::mt19937 random(7);
    const std::string alphabet = "0123456789012345678901234567890123456789.eE+- xXpnaif";
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        for (int n = 1 + static_cast<int>(random() % 30); n > 0; --n) {
            text += alphabet[random() % alphabet.size()];
        }
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        ASSERT_TRUE(SameBits(CTextScanner::ToDouble(text), Atof(text))) << text;
    }
}

TEST(TextScanner, AttributeValueLiesBetweenTheNextTwoDoubleQuotes) {
    const std::string line = "<X  NAME = \"Dow Jones\" VALUE=\"12\" QUOTE='4' LAST=\"9\" />";
    EXPECT_EQ(CTextScanner::GetStringAttribute(line, "NAME"), "Dow Jones");
    EXPECT_EQ(CTextScanner::GetIntAttribute(line, "VALUE"), 12);
    EXPECT_EQ(CTextScanner::GetStringAttribute(line, "MISSING"), "");
    // Single quotes do not delimit: the value is taken from the next double quotes.
    EXPECT_EQ(CTextScanner::GetStringAttribute(line, "QUOTE"), "9");
    // The first occurrence of the key text wins, attribute name or not.
    EXPECT_EQ(CTextScanner::GetStringAttribute("<Y ANAME=\"a\" NAME=\"b\">", "NAME"), "a");

    std::string_view value = "unchanged";
    EXPECT_FALSE(CTextScanner::FindAttribute("NAME=\"x\" NAME=\"y\"", "NAME", value));
    EXPECT_TRUE(CTextScanner::FindAttribute(" NAME=\"unclosed", "NAME", value));
    EXPECT_EQ(value, "");
    value = "unchanged";
    EXPECT_TRUE(CTextScanner::FindAttribute(" NAME=bare", "NAME", value));
    EXPECT_EQ(value, "");
}

}  // namespace
