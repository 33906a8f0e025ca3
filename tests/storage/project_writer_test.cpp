// The project file text: whole files byte for byte, the number formats of their lines, and the
// text handed out in bounded chunks.

#include "storage/project_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "model/project.h"
#include "storage/text_out.h"
#include "support/series_builder.h"
#include "support/test_files.h"

namespace {

std::string ValueText(double value) {
    std::string out = "\"";
    AppendFixedValue(out, value);
    return out + "\"";
}

// The data point value by printf: %15.5f without blanks; beyond 15 characters decimals are
// rounded away (%.*f), or the integer part and its point (14 digits) or the integer part alone
// (more) are kept.
std::string PrintfValue(double value) {
    char text[400];
    std::snprintf(text, sizeof text, "%.5f", value);
    std::string digits = text;
    const size_t point = digits.find('.');
    if (digits.size() <= 15 || point == std::string::npos) {
        return digits;
    }
    if (point >= 14) {
        digits.resize(point == 14 ? 15 : point);
        return digits;
    }
    std::snprintf(text, sizeof text, "%.*f", static_cast<int>(14 - point), value);
    if (std::strlen(text) > 15) {
        return PrintfValue(std::strtod(text, nullptr));  // the rounding carried a digit
    }
    return text;
}

// A real by printf: %g, or with as many more digits as it takes to read back as itself.
std::string PrintfReal(double value) {
    char text[64];
    for (int precision = 6; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value || !std::isfinite(value)) {
            break;
        }
    }
    return text;
}

TEST(ProjectWriter, WritesTheExampleProjectByteForByte) {
    CProject project;
    SetWindow(project, SerialOf(2, 1, 2003), SerialOf(6, 6, 2003));
    CDataSet* ds = project.AddDataSet("Index");
    ds->m_currency = "USD";
    ds->m_comment = "daily close";
    CStrategyResult& result = ds->AddResult();
    result.ML = 25;
    result.RC = 0.5;
    result.BL = 55;
    result.GN = 12.34567;
    ds->AppendPoint(MakePoint(5, 6, 2003, 8764.13));
    ds->AppendPoint(MakePoint(6, 6, 2003, 8923.45));
    CDataSet* empty = project.AddDataSet("");
    empty->m_params.TT = 0.00001;
    empty->m_params.GN = 1234567.8;

    // Reals are written with the digits they need to read back as themselves: six
    // significant digits where those hold the value, more where they would change it.
    std::string expected = kExampleProject;
    for (const auto& [six, exact] : {std::pair{"GN=\"12.3457\"", "GN=\"12.34567\""},
                                     std::pair{"GN=\"1.23457e+06\"", "GN=\"1234567.8\""}}) {
        expected.replace(expected.find(six), std::string(six).size(), exact);
    }
    EXPECT_EQ(ProjectText(project), expected);

    CProject none;
    SetWindow(none, SerialOf(2, 1, 2003), SerialOf(6, 6, 2003));
    EXPECT_EQ(ProjectText(none),
              "<?xml version=\"1.0\"?>\r\n<QUILLMARK>\r\n"
              "<LIMITS START=\"1.2.2003\" END=\"6.6.2003\" />\r\n"
              "<RANGE  ML=\"20\" MU=\"40\" RR=\"20\" BL=\"60\" BI=\"10\" />\r\n</QUILLMARK>\r\n");
}

// Fixed point with five decimals, brought to fifteen characters by rounding decimals away;
// where that would reach the integer part, the integer part is written whole.
// Values without digits are written as printf writes them.
TEST(ProjectWriter, DataPointValueIsRoundedToFifteenCharactersButNeverLosesIntegerDigits) {
    struct Case {
        double value;
        const char* text;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (Case c :
         {Case{-0.0, "\"-0.00000\""}, Case{-0.004, "\"-0.00400\""}, Case{0.5, "\"0.50000\""},
          // Below 1, values that five decimals do not hold keep their digits.
          Case{-0.000001, "\"-0.000001\""}, Case{0.00010523, "\"0.00010523\""},
          Case{999999999.999994, "\"999999999.99999\""},
          Case{-1234567890.12345, "\"-1234567890.123\""},
          Case{9999999999999.96, "\"10000000000000.\""},
          Case{12345678901234.5, "\"12345678901234.\""},
          Case{-123456789012345.5, "\"-123456789012345\""}, Case{1e20, "\"100000000000000000000\""},
          Case{-inf, "\"-inf\""}, Case{-nan, "\"-nan\""}}) {
        EXPECT_EQ(ValueText(c.value), c.text) << c.value;
    }
    for (double huge : {1e308, -std::numeric_limits<double>::max()}) {
        EXPECT_EQ(ValueText(huge), "\"" + PrintfValue(huge) + "\"");
        EXPECT_GT(ValueText(huge).size(), 300u);
    }
}

// The to_chars conversions against printf, byte for byte (but for the values below 1 that
// five decimals lose): any bit pattern (every magnitude,
// subnormals, NaNs), values with five decimals as prices have, and exact halfway cases of both
// conversions, where a rounding difference would show.
TEST(ProjectWriter, NumbersMatchPrintfByteForByte) {
    std::mt19937_64 random(20240611);
    std::uniform_int_distribution<int64_t> cents(-10'000'000'000'000, 10'000'000'000'000);
    std::uniform_int_distribution<int64_t> halves(-(int64_t{1} << 40), int64_t{1} << 40);
    std::vector<double> values;
    for (int i = 0; i < 100'000; ++i) {
        uint64_t bits = random();
        double any = 0.0;
        std::memcpy(&any, &bits, sizeof any);
        values.push_back(any);
        values.push_back(static_cast<double>(cents(random)) / 100000.0);
        values.push_back(static_cast<double>(halves(random)) / 64.0);            // 5-decimal ties
        values.push_back(static_cast<double>(halves(random) % 10'000'000));      // %g ties
        values.push_back(std::ldexp(static_cast<double>(halves(random)), -70));  // tiny
        // Next to a five-decimal half, a few units in the last place either side.
        const double half = (static_cast<double>(cents(random) % 10'000'000'000) + 0.5) / 1e5;
        double below = half;
        double above = half;
        values.push_back(half);
        for (int step = 0; step < 3; ++step) {
            below = std::nextafter(below, -HUGE_VAL);
            above = std::nextafter(above, HUGE_VAL);
            values.push_back(below);
            values.push_back(above);
        }
    }
    int mismatches = 0;
    for (double v : values) {
        std::string fixed;
        AppendFixedValue(fixed, v);
        std::string real;
        AppendReal(real, v);
        // Between -1 and 1 a value five decimals lose is written so that it reads back.
        const bool widened = std::abs(v) < 1.0 &&
                             std::strtod(PrintfValue(v).c_str(), nullptr) != v &&
                             std::strtod(fixed.c_str(), nullptr) == v;
        if ((fixed != PrintfValue(v) && !widened) || real != PrintfReal(v)) {
            ADD_FAILURE() << PrintfReal(v) << ": " << fixed << " / " << real;
            if (++mismatches > 10) {
                return;
            }
        }
    }
}

// A project of several data sets written in small chunks gives the text written in one piece;
// every chunk but the last is at least the chunk size and less than a line more.
TEST(ProjectWriter, ChunkedTextIsTheWholeTextInBoundedPieces) {
    CProject project;
    for (int set = 0; set < 3; ++set) {
        CDataSet* ds = project.AddDataSet("set " + std::to_string(set));
        ds->AddResult().GN = 1.5 * set;
        for (int i = 0; i < 5000; ++i) {
            ds->AppendPoint(PointAt(700000 + i, 1000.0 + i * 0.37 - set));
        }
    }
    constexpr size_t kChunk = 4096;
    std::vector<std::string> chunks;
    CProjectWriter writer(
        [&chunks](std::string_view chunk) { return chunks.emplace_back(chunk), true; }, kChunk);
    ASSERT_TRUE(writer.Write(project));
    ASSERT_GT(chunks.size(), 100u);
    std::string joined;
    for (size_t i = 0; i < chunks.size(); ++i) {
        if (i + 1 < chunks.size()) {
            EXPECT_TRUE(chunks[i].size() >= kChunk && chunks[i].size() < kChunk + 60) << i;
        }
        joined += chunks[i];
    }
    EXPECT_EQ(joined, ProjectText(project));

    // A sink that refuses stops the writer: nothing more is produced.
    int calls = 0;
    CProjectWriter refused([&calls](std::string_view) { return ++calls < 3; }, kChunk);
    EXPECT_FALSE(refused.Write(project));
    EXPECT_EQ(calls, 3);
}

}  // namespace
