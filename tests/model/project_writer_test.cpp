// The project file text: whole files byte for byte and the number formats of their lines.

#include "model/project.h"

#include <gtest/gtest.h>

#include <string>

#include "support/series_builder.h"
#include "support/test_files.h"

namespace {

std::string ValueText(double value) {
    CDataPoint p;
    p.SetValue(Raw, value);
    std::string out;
    p.WriteValue(out);
    return out;
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

    EXPECT_EQ(Written(project), kExampleProject);
}

// Fixed point with five decimals, cut to fifteen characters by losing decimals, never by
// rounding; where the cut would reach the integer part, the integer part is written whole.
TEST(ProjectWriter, DataPointValueIsCutToFifteenCharactersButNeverLosesIntegerDigits) {
    struct Case {
        double value;
        const char* text;
    };
    for (Case c : {Case{0.0, "\"0.00000\""}, Case{-0.004, "\"-0.00400\""},
                   Case{0.000004, "\"0.00000\""}, Case{999999999.999994, "\"999999999.99999\""},
                   Case{1234567890.12345, "\"1234567890.1234\""},
                   Case{-1234567890.12345, "\"-1234567890.123\""},
                   Case{123456789012345.5, "\"123456789012345\""},
                   Case{-12345678901234.5, "\"-12345678901234\""},
                   Case{-123456789012345.5, "\"-123456789012345\""},
                   Case{1e15, "\"1000000000000000\""}, Case{1e20, "\"100000000000000000000\""}}) {
        EXPECT_EQ(ValueText(c.value), c.text) << c.value;
    }
}

}  // namespace
