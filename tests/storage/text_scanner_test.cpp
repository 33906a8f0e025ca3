#include "storage/text_scanner.h"

#include <gtest/gtest.h>

#include <climits>
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

// atoi and atof, saturated, and 0 for text of 100 characters or more, leading zeros included.
TEST(TextScanner, NumbersFollowAtoiAndAtofAndSaturate) {
    using Case = std::tuple<std::string, int32_t, double>;
    for (const auto& [text, integer, real] :
         {Case{"", 0, 0.0}, Case{"abc", 0, 0.0}, Case{"- 7", 0, 0.0}, Case{"12abc", 12, 12.0},
          Case{" \t -42", -42, -42.0}, Case{"+7", 7, 7}, Case{"3.9", 3, 3.9}, Case{"1,5", 1, 1.0},
          Case{"1.23457e+06", 1, 1234570}, Case{"2147483648", INT_MAX, 2147483648.0},
          Case{"-2147483648", INT_MIN, -2147483648.0}, Case{"-2147483649", INT_MIN, -2147483649.0},
          Case{std::string(98, '9'), INT_MAX, 1e98 - 1},
          Case{std::string(97, '0') + "12", 12, 12.0}, Case{std::string(98, '0') + "12", 0, 0.0}}) {
        EXPECT_EQ(CTextScanner::ToInt(text), integer) << text;
        EXPECT_DOUBLE_EQ(CTextScanner::ToDouble(text), real) << text;
    }
    EXPECT_EQ(CTextScanner::ToInt("-" + std::string(98, '9')), INT_MIN);
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

// Month.day.year with any date separator; values too short for a month keep the serial and
// never read outside the value.
TEST(TextScanner, ReadDateAttribute) {
    const CDataPoint known = MakePoint(8, 6, 2003);
    for (const char* text : {"6.8.2003", "6/8/2003", "6-8-03", "06.08.2003"}) {
        CDataPoint p;
        CTextScanner::ReadDateAttribute(" DATE=\""s + text + "\"", "DATE", p);
        EXPECT_EQ(p.m_serial, known.m_serial) << text;
    }
    for (const char* line : {" START=\"1.1.2001\"", " DATE=\"\"", " DATE=\"5\"", " DATE=\".\"",
                             " DATE=\"..\"", " DATE=\"-5\"", " DATE=\"13.1.2003\"", " DATE=\"5"}) {
        CDataPoint p = known;
        CTextScanner::ReadDateAttribute(line, "DATE", p);
        EXPECT_EQ(p.m_serial, known.m_serial) << line;
    }
}

}  // namespace
