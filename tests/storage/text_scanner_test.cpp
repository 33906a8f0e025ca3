#include "storage/text_scanner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "model/project.h"
#include "support/series_builder.h"
#include "support/test_files.h"

namespace {

using namespace std::string_literals;

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

// The lines of a text as the scanner should return them: split at LF, one CR before it dropped,
// nothing after a final line end.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find('\n', from);
        std::string line = text.substr(from, end == std::string::npos ? end : end - from);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        from = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

std::vector<std::string> ReadAll(CTextScanner& scanner) {
    std::vector<std::string> lines;
    std::string line;
    while (scanner.ReadString(line)) {
        lines.push_back(line);
    }
    return lines;
}

// Expects the same lines from the text held in memory and from a file that holds it.
void ExpectLines(const TempFolder& folder, const std::string& text) {
    CProject project;
    CTextScanner scanner(project);
    scanner.OpenText(text, "memory");
    EXPECT_EQ(ReadAll(scanner), SplitLines(text));
    ASSERT_TRUE(scanner.Open(folder.File("lines.txt", text)));
    EXPECT_EQ(ReadAll(scanner), SplitLines(text));
}

TEST(TextScanner, ReadsLinesWithEitherLineEnd) {
    TempFolder folder;
    ExpectLines(folder, "");
    ExpectLines(folder, "one\r\ntwo\nthree");  // no final line end
    ExpectLines(folder, "\n\r\n\nlast\r\n");   // empty lines
    ExpectLines(folder, "cr only\r");
    ExpectLines(folder, "nul\0inside\r\n\0\n"s);
}

// Files are read in chunks: lines of several megabytes and line ends split between two chunks
// must come out whole.
TEST(TextScanner, ReadsLongLinesAcrossChunks) {
    TempFolder folder;
    std::string text(65535, 'x');
    text += "\r\n";  // CR last in the first chunk, LF first in the second
    text += std::string(3 << 20, 'y') + "\n";
    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i) {
        size_t length = random() % 4 == 0 ? random() % 200000 : random() % 40;
        text += std::string(length, static_cast<char>('a' + i % 26));
        text += random() % 2 == 0 ? "\r\n" : "\n";
    }
    text += "tail";
    ExpectLines(folder, text);
}

TEST(TextScanner, SeekToBeginReadsAgainAfterTheEnd) {
    TempFolder folder;
    const std::string text = "first\r\nsecond\r\n";
    CProject project;
    CTextScanner scanner(project);
    ASSERT_TRUE(scanner.Open(folder.File("seek.txt", text)));
    EXPECT_EQ(ReadAll(scanner).size(), 2u);
    scanner.SeekToBegin();
    EXPECT_EQ(ReadAll(scanner), SplitLines(text));

    scanner.OpenText(text, "seek.txt");
    std::string line;
    ASSERT_TRUE(scanner.ReadString(line));
    scanner.SeekToBegin();
    EXPECT_EQ(ReadAll(scanner), SplitLines(text));
}

// A file opened after a text replaces it.
TEST(TextScanner, OpenRefusesMissingFilesAndFolders) {
    TempFolder folder;
    CProject project;
    CTextScanner scanner(project);
    scanner.OpenText("from memory\n", "m");
    EXPECT_FALSE(scanner.Open(folder.PathOf("missing.xml")));
    EXPECT_FALSE(scanner.Open(folder.Path()));

    ASSERT_TRUE(scanner.Open(folder.File("quotes.csv", "from file\n")));
    EXPECT_EQ(scanner.GetFileName(), "quotes.csv");
    EXPECT_EQ(ReadAll(scanner), std::vector<std::string>{"from file"});
}

TEST(TextScanner, ToIntFollowsAtoiAndSaturates) {
    EXPECT_EQ(CTextScanner::ToInt(""), 0);
    EXPECT_EQ(CTextScanner::ToInt("abc"), 0);
    EXPECT_EQ(CTextScanner::ToInt("-"), 0);
    EXPECT_EQ(CTextScanner::ToInt("12abc"), 12);
    EXPECT_EQ(CTextScanner::ToInt(" \t -42"), -42);
    EXPECT_EQ(CTextScanner::ToInt("+7"), 7);
    EXPECT_EQ(CTextScanner::ToInt("- 7"), 0);
    EXPECT_EQ(CTextScanner::ToInt("3.9"), 3);
    EXPECT_EQ(CTextScanner::ToInt("2147483647"), kIntMax);
    EXPECT_EQ(CTextScanner::ToInt("2147483648"), kIntMax);
    EXPECT_EQ(CTextScanner::ToInt("-2147483648"), kIntMin);
    EXPECT_EQ(CTextScanner::ToInt("-2147483649"), kIntMin);
    EXPECT_EQ(CTextScanner::ToInt(std::string(98, '9')), kIntMax);
    EXPECT_EQ(CTextScanner::ToInt("-" + std::string(98, '9')), kIntMin);
    // The length limit counts every character, leading zeros included.
    EXPECT_EQ(CTextScanner::ToInt(std::string(97, '0') + "12"), 12);
    EXPECT_EQ(CTextScanner::ToInt(std::string(98, '0') + "12"), 0);
}

TEST(TextScanner, ToDoubleFollowsAtofInTheCLocale) {
    EXPECT_EQ(CTextScanner::ToDouble(""), 0.0);
    EXPECT_EQ(CTextScanner::ToDouble("x1"), 0.0);
    EXPECT_EQ(CTextScanner::ToDouble("  -8764.13000"), -8764.13);
    EXPECT_EQ(CTextScanner::ToDouble("1.23457e+06"), 1234570.0);
    EXPECT_EQ(CTextScanner::ToDouble("12.5abc"), 12.5);
    EXPECT_EQ(CTextScanner::ToDouble("1,5"), 1.0);
    EXPECT_DOUBLE_EQ(CTextScanner::ToDouble("1." + std::string(97, '5')), 14.0 / 9.0);
    EXPECT_EQ(CTextScanner::ToDouble("1." + std::string(98, '5')), 0.0);
}

TEST(TextScanner, AttributeValueLiesBetweenTheNextTwoDoubleQuotes) {
    const std::string line = "<X  NAME = \"Dow Jones\" VALUE=\"12\" QUOTE='4' LAST=\"9\" />";
    EXPECT_EQ(CTextScanner::GetStringAttribute(line, "NAME"), "Dow Jones");
    EXPECT_EQ(CTextScanner::GetIntAttribute(line, "VALUE"), 12);
    EXPECT_EQ(CTextScanner::GetDoubleAttribute(line, "VALUE"), 12.0);
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
    EXPECT_EQ(CTextScanner::GetIntAttribute(" N=\"\"", "N"), 0);
}

CDataPoint DateRead(const std::string& value) {
    CDataPoint p;
    CTextScanner::ReadDateAttribute(" DATE=\"" + value + "\"", "DATE", p);
    return p;
}

TEST(TextScanner, ReadDateAttributeTakesMonthDayYear) {
    const int32_t june8 = MakePoint(8, 6, 2003).m_serial;
    for (const char* text : {"6.8.2003", "6/8/2003", "6-8-03", "06.08.2003"}) {
        CDataPoint p = DateRead(text);
        EXPECT_EQ(p.m_serial, june8) << text;
        EXPECT_EQ(p.m_year, 2003) << text;
    }
    CDataPoint p = DateRead("12.31.99");
    EXPECT_EQ(p.m_serial, MakePoint(31, 12, 1999).m_serial);
    EXPECT_EQ(p.m_year, 1999);
}

// Values too short for a month keep the serial and never read outside the value.
TEST(TextScanner, ReadDateAttributeKeepsTheSerialWithoutAMonth) {
    CDataPoint known = MakePoint(8, 6, 2003);
    CDataPoint p = known;
    CTextScanner::ReadDateAttribute(" START=\"1.1.2001\"", "DATE", p);
    EXPECT_EQ(p.m_serial, known.m_serial);
    EXPECT_EQ(p.m_month, 6);

    for (const char* text : {"", "5", ".", "..", "-5", "13.1.2003"}) {
        p = known;
        CTextScanner::ReadDateAttribute(std::string(" DATE=\"") + text + "\"", "DATE", p);
        EXPECT_EQ(p.m_serial, known.m_serial) << text;
    }
    p = known;
    CTextScanner::ReadDateAttribute(" DATE=\"5", "DATE", p);
    EXPECT_EQ(p.m_serial, known.m_serial);
    EXPECT_EQ(p.m_month, 0);
}

}  // namespace
