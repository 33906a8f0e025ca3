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

const char kHead[] =
    "<?xml version=\"1.0\"?>\r\n"
    "<QUILLMARK>\r\n"
    "<LIMITS START=\"1.2.2003\" END=\"6.6.2003\" />\r\n"
    "<RANGE  ML=\"20\" MU=\"40\" RR=\"20\" BL=\"60\" BI=\"10\" />\r\n";

void SetExampleWindow(CProject& project) {
    CLimits window;
    window.start = MakePoint(2, 1, 2003);
    window.end = MakePoint(6, 6, 2003);
    project.SetLimits(window);
}

TEST(ProjectWriter, WritesTheExampleProjectByteForByte) {
    CProject project;
    SetExampleWindow(project);
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

    EXPECT_EQ(Written(project),
              std::string(kHead) +
                  "<DATASET NAME=\"Index\">\r\n"
                  "<CURRENCY VALUE=\"USD\" />\r\n"
                  "<COMMENT VALUE=\"daily close\" />\r\n"
                  "<PARAMETERS  ML=\"20\" RC=\"0\" BL=\"60\" IN=\"1000\" TT=\"5\" GN=\"0\" />\r\n"
                  "<RESULT ML=\"25\" RC=\"0.5\" BC=\"55\" GN=\"12.3457\" />\r\n"
                  "<DATAPOINT  DATE=\"6.5.2003\" VALUE=\"8764.13000\" />\r\n"
                  "<DATAPOINT  DATE=\"6.6.2003\" VALUE=\"8923.45000\" />\r\n"
                  "</DATASET>\r\n"
                  "</QUILLMARK>\r\n");
}

// No data set, then two with empty texts, no results or points and the same name.
TEST(ProjectWriter, WritesEveryDataSetAndEmptyTextsAsTwoQuotes) {
    CProject project;
    SetExampleWindow(project);
    EXPECT_EQ(Written(project), std::string(kHead) + "</QUILLMARK>\r\n");
    project.AddDataSet("");
    project.AddDataSet("");
    const std::string block =
        "<DATASET NAME=\"\">\r\n"
        "<CURRENCY VALUE=\"\" />\r\n"
        "<COMMENT VALUE=\"\" />\r\n"
        "<PARAMETERS  ML=\"20\" RC=\"0\" BL=\"60\" IN=\"1000\" TT=\"5\" GN=\"0\" />\r\n"
        "</DATASET>\r\n";
    EXPECT_EQ(Written(project), std::string(kHead) + block + block + "</QUILLMARK>\r\n");
}

TEST(ProjectWriter, DataPointValueIsFixedPointCutToFifteenCharacters) {
    EXPECT_EQ(ValueText(8764.13), "\"8764.13000\"");
    EXPECT_EQ(ValueText(0.0), "\"0.00000\"");
    EXPECT_EQ(ValueText(-12.5), "\"-12.50000\"");
    EXPECT_EQ(ValueText(-0.004), "\"-0.00400\"");
    EXPECT_EQ(ValueText(0.000004), "\"0.00000\"");
    EXPECT_EQ(ValueText(999999999.999994), "\"999999999.99999\"");
    EXPECT_EQ(ValueText(-99999999.99999), "\"-99999999.99999\"");
    // Longer renderings lose decimals, never rounding them.
    EXPECT_EQ(ValueText(1234567890.12345), "\"1234567890.1234\"");
    EXPECT_EQ(ValueText(-1234567890.12345), "\"-1234567890.123\"");
}

// Where the cut would reach the integer part, the integer part is written whole instead.
TEST(ProjectWriter, DataPointValueNeverLosesIntegerDigits) {
    EXPECT_EQ(ValueText(123456789012345.5), "\"123456789012345\"");
    EXPECT_EQ(ValueText(-12345678901234.5), "\"-12345678901234\"");
    EXPECT_EQ(ValueText(1e15), "\"1000000000000000\"");
    EXPECT_EQ(ValueText(-1e14), "\"-100000000000000\"");
    EXPECT_EQ(ValueText(-123456789012345.5), "\"-123456789012345\"");
    EXPECT_EQ(ValueText(1e20), "\"100000000000000000000\"");
}

TEST(ProjectWriter, DatesAreMonthDayYearInFull) {
    std::string out;
    MakePoint(8, 6, 2003).WriteDate(out);
    MakePoint(31, 12, 99).WriteDate(out);
    EXPECT_EQ(out, "\"6.8.2003\"\"12.31.1999\"");
}

// Reals take the %g form; fields a line does not carry (MU, RR, BI, OUT here) stay out.
TEST(ProjectWriter, RealsUseSixSignificantDigits) {
    CStrategyParams params;
    params.RC = 0.1;
    params.IN = 250000;
    params.TT = 0.00001;
    params.GN = 1234567.8;
    params.MU = 41;
    params.RR = 7;
    params.BI = 3;
    params.OUT = 99.5;
    params.BL = -5;
    std::string out;
    params.WriteParameters(out);
    EXPECT_EQ(out,
              "<PARAMETERS  ML=\"20\" RC=\"0.1\" BL=\"-5\" IN=\"250000\" TT=\"1e-05\" "
              "GN=\"1.23457e+06\" />\r\n");
}

}  // namespace
