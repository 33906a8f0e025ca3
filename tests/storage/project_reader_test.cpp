#include "storage/project_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "model/project.h"
#include "support/series_builder.h"
#include "support/test_files.h"

namespace {

using namespace std::string_literals;

const char kExample[] =
    "<?xml version=\"1.0\"?>\r\n"
    "<QUILLMARK>\r\n"
    "<LIMITS START=\"1.2.2003\" END=\"6.6.2003\" />\r\n"
    "<RANGE  ML=\"20\" MU=\"40\" RR=\"20\" BL=\"60\" BI=\"10\" />\r\n"
    "<DATASET NAME=\"Index\">\r\n"
    "<CURRENCY VALUE=\"USD\" />\r\n"
    "<COMMENT VALUE=\"daily close\" />\r\n"
    "<PARAMETERS  ML=\"20\" RC=\"0\" BL=\"60\" IN=\"1000\" TT=\"5\" GN=\"0\" />\r\n"
    "<RESULT ML=\"25\" RC=\"0.5\" BC=\"55\" GN=\"12.3457\" />\r\n"
    "<DATAPOINT  DATE=\"6.5.2003\" VALUE=\"8764.13000\" />\r\n"
    "<DATAPOINT  DATE=\"6.6.2003\" VALUE=\"8923.45000\" />\r\n"
    "</DATASET>\r\n"
    "</QUILLMARK>\r\n";

void ReadText(CProject& project, const std::string& text) {
    CProjectReader reader(project);
    reader.OpenText(text, "project.xml");
    EXPECT_TRUE(reader.Read());
}

int32_t Serial(int day, int month, int year) {
    return MakePoint(day, month, year).m_serial;
}

// Most fields show in the text written back; the ones that do not are checked one by one.
TEST(ProjectReader, ReadsTheExampleFileBack) {
    CProject project;
    ReadText(project, kExample);
    EXPECT_EQ(Difference(Written(project), kExample), "");

    EXPECT_EQ(project.m_historyLimits.start.m_serial, Serial(2, 1, 2003));
    EXPECT_EQ(project.m_historyLimits.end.m_serial, Serial(6, 6, 2003));
    ASSERT_EQ(project.DataSetCount(), 1);
    const CDataSet& ds = *project.DataSets()[0];
    EXPECT_EQ(project.Primary(), &ds);
    EXPECT_EQ(project.Current(), &ds);
    ASSERT_EQ(ds.m_results.size(), 1u);
    EXPECT_EQ(ds.m_results[0].GN, 12.3457);  // stored gains survive a save and a load
}

// Indentation, attribute order, extra attributes and blanks around "=" do not matter; tag
// case and the kind of quote do, and a name ends at its first double quote.
TEST(ProjectReader, AcceptsLooseLayoutButOnlyExactTags) {
    CProject project;
    ReadText(project,
             "\t <DATASET EXTRA=\"x\" NAME = \"A \"B\"\">\n"
             "  <CURRENCY VALUE='EUR' />\n"
             "\t<DATAPOINT VALUE=\"3.5\" FOO=\"1\"  DATE=\"6.5.2003\" />\n"
             "<datapoint  DATE=\"6.6.2003\" VALUE=\"1\" />\n"
             "<RESULT GN=\"7\" BC=\"55\" RC=\"0.25\" ML=\"9\" />\n"
             "</DATASET>\n");
    ASSERT_EQ(project.DataSetCount(), 1);
    const CDataSet& ds = *project.DataSets()[0];
    EXPECT_EQ(ds.m_name, "A ");
    EXPECT_EQ(ds.m_currency, "");
    ASSERT_EQ(ds.Points().size(), 1u);
    EXPECT_EQ(ds.Points()[0].m_serial, Serial(5, 6, 2003));
    EXPECT_EQ(ds.Points()[0].GetValue(Raw), 3.5);
    ASSERT_EQ(ds.m_results.size(), 1u);
    EXPECT_EQ(ds.m_results[0].ML, 9);
    EXPECT_EQ(ds.m_results[0].RC, 0.25);
    EXPECT_EQ(ds.m_results[0].BL, 55);
    EXPECT_EQ(ds.m_results[0].GN, 7.0);
}

// Outside a block a line needs 8 characters: "<RANGE " is skipped, "<RANGE  " zeroes the range.
TEST(ProjectReader, SkipsShortLinesOutsideABlock) {
    CProject skipped;
    ReadText(skipped, "<RANGE \n");
    EXPECT_EQ(skipped.m_range.ML, 20);
    CProject read;
    ReadText(read, "<RANGE  \n");
    EXPECT_EQ(read.m_range.ML, 0);
    EXPECT_EQ(read.m_range.BI, 0);
}

TEST(ProjectReader, IgnoresLinesOutsideTheirElement) {
    CProject project;
    SetWindow(project, 1000, 2000);
    ReadText(project,
             "<PARAMETERS  ML=\"5\" />\n"
             "<CURRENCY VALUE=\"EUR\" />\n"
             "<RESULT ML=\"5\" />\n"
             "<DATAPOINT  DATE=\"6.5.2003\" VALUE=\"1\" />\n"
             "</DATASET>\n"
             "<DATASET NAME=\"A\">\n"
             "<LIMITS START=\"1.2.2003\" END=\"6.6.2003\" />\n"
             "<RANGE  ML=\"1\" />\n"
             "<DATASET NAME=\"B\">\n"
             "</DATASET>\n");
    ASSERT_EQ(project.DataSetCount(), 1);
    const CDataSet& ds = *project.DataSets()[0];
    EXPECT_EQ(ds.m_name, "A");
    EXPECT_EQ(ds.m_currency, "");
    EXPECT_EQ(ds.m_params.ML, 20);
    EXPECT_TRUE(ds.m_results.empty());
    EXPECT_TRUE(ds.Points().empty());
    EXPECT_EQ(project.m_viewLimits.start.m_serial, 1000);
    EXPECT_EQ(project.m_range.ML, 20);
}

TEST(ProjectReader, LaterLinesReplaceEarlierOnes) {
    CProject project;
    ReadText(project,
             "<LIMITS START=\"1.2.2003\" END=\"6.6.2003\" />\n"
             "<RANGE  ML=\"1\" MU=\"2\" />\n"
             "<DATASET NAME=\"A\">\n"
             "<CURRENCY VALUE=\"USD\" />\n"
             "<CURRENCY VALUE=\"CHF\" />\n"
             "<COMMENT VALUE=\"one\" />\n"
             "<COMMENT VALUE=\"two\" />\n"
             "<PARAMETERS  ML=\"5\" BL=\"6\" />\n"
             "<PARAMETERS  ML=\"7\" />\n"
             "</DATASET>\n"
             "<LIMITS START=\"3.1.2003\" END=\"4.1.2003\" />\n"
             "<RANGE  ML=\"3\" />\n");
    EXPECT_EQ(project.m_viewLimits.start.m_serial, Serial(1, 3, 2003));
    EXPECT_EQ(project.m_historyLimits.end.m_serial, Serial(1, 4, 2003));
    EXPECT_EQ(project.m_range.ML, 3);
    EXPECT_EQ(project.m_range.MU, 0);
    const CDataSet& ds = *project.DataSets()[0];
    EXPECT_EQ(ds.m_currency, "CHF");
    EXPECT_EQ(ds.m_comment, "two");
    EXPECT_EQ(ds.m_params.ML, 7);
    EXPECT_EQ(ds.m_params.BL, 0);
}

// Absent keys give 0 in every role, BC stands in for BL, and GN is read wherever it is.
TEST(ProjectReader, RecordFieldsComeFromTheirKeysOrZero) {
    CProject project;
    const std::string longNumber = "1." + std::string(98, '0');
    ReadText(project, "<RANGE  ML=\"12abc\" RR=\"" + longNumber +
                          "\" />\n"
                          "<DATASET NAME=\"A\">\n"
                          "<PARAMETERS  BL=\"60\" BC=\"55\" GN=\"3.5\" />\n"
                          "<RESULT BC=\"55\" />\n"
                          "</DATASET>\n");
    EXPECT_EQ(project.m_range.ML, 12);
    EXPECT_EQ(project.m_range.RR, 0);
    EXPECT_EQ(project.m_range.MU, 0);
    EXPECT_EQ(project.m_range.RC, 0.0);
    EXPECT_EQ(project.m_range.IN, 0.0);
    const CDataSet& ds = *project.DataSets()[0];
    EXPECT_EQ(ds.m_params.BL, 60);
    EXPECT_EQ(ds.m_params.GN, 3.5);
    EXPECT_EQ(ds.m_params.IN, 0.0);
    EXPECT_EQ(ds.m_params.TT, 0.0);
    ASSERT_EQ(ds.m_results.size(), 1u);
    EXPECT_EQ(ds.m_results[0].BL, 55);
    EXPECT_EQ(ds.m_results[0].ML, 0);
    EXPECT_EQ(ds.m_results[0].GN, 0.0);
}

// Without its end line a block runs to the end of the file and swallows later blocks' lines.
TEST(ProjectReader, BlockWithoutEndLineRunsToTheEndOfTheFile) {
    CProject project;
    ReadText(project,
             "<DATASET NAME=\"A\">\n"
             "<DATAPOINT  DATE=\"6.5.2003\" VALUE=\"1\" />\n"
             "<DATASET NAME=\"B\">\n"
             "<RESULT ML=\"3\" />\n"
             "<DATAPOINT  DATE=\"6.6.2003\" VALUE=\"2\" />");
    ASSERT_EQ(project.DataSetCount(), 1);
    const CDataSet& ds = *project.DataSets()[0];
    EXPECT_EQ(ds.Points().size(), 2u);
    EXPECT_EQ(ds.m_results.size(), 1u);
}

TEST(ProjectReader, DropsPointsThatDoNotComeLater) {
    CProject project;
    ReadText(project,
             "<DATASET NAME=\"A\">\n"
             "<DATAPOINT  DATE=\"6.5.2003\" VALUE=\"1\" />\n"
             "<DATAPOINT  DATE=\"6.5.2003\" VALUE=\"2\" />\n"
             "<DATAPOINT  DATE=\"6.4.2003\" VALUE=\"3\" />\n"
             "<DATAPOINT  DATE=\"6.7.2003\" VALUE=\"4\" />\n"
             "</DATASET>\n");
    EXPECT_EQ(SlotValues(*project.DataSets()[0], Raw), (std::vector<double>{1, 4}));
}

TEST(ProjectReader, TextWithoutElementsKeepsWindowAndRange) {
    CProject project;
    SetWindow(project, 1000, 2000);
    project.m_range.ML = 33;
    ReadText(project, "just some text\nwith \"quotes\" and NAME=\"x\"\n\0\n"s);
    EXPECT_EQ(project.DataSetCount(), 0);
    EXPECT_EQ(project.m_viewLimits.end.m_serial, 2000);
    EXPECT_EQ(project.m_range.ML, 33);
}

// --- Round trip ------------------------------------------------------------------------------

class RandomProject {
  public:
    explicit RandomProject(uint32_t seed) : m_random(seed) {}

    // Dates as the program makes them: four-digit years from 1900 on.
    void Fill(CProject& project) {
        const int32_t first = Serial(1, 1, 1900);
        const int32_t start = Int(first, Serial(31, 12, 2099) - 5000);
        SetWindow(project, start, start + Int(0, 5000));
        FillRecord(project.m_range);
        for (int sets = Int(1, 4); sets > 0; --sets) {
            CDataSet* ds = project.AddDataSet(Text());
            ds->m_currency = Text();
            ds->m_comment = Text();
            FillRecord(ds->m_params);
            for (int results = Int(0, 10); results > 0; --results) {
                FillRecord(ds->AddResult());
            }
            int32_t serial = Int(first, Serial(31, 12, 2099) - 3000);
            for (int points = Int(0, 300); points > 0; --points) {
                serial += Int(1, 10);
                // Up to five decimals, below 1e8 in magnitude.
                int64_t units = std::uniform_int_distribution<int64_t>(-10000000000000,
                                                                       10000000000000)(m_random);
                ds->AppendPoint(PointAt(serial, static_cast<double>(units) / 1e5));
            }
        }
    }

  private:
    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    // Reals of every magnitude the %g form has to carry.
    double Real() {
        double mantissa = std::uniform_real_distribution<double>(-10, 10)(m_random);
        return Int(0, 5) == 0 ? 0.0 : mantissa * std::pow(10.0, Int(-8, 8));
    }
    // Any single-line text without double quotes, bytes above 127 included.
    std::string Text() {
        std::string text;
        for (int length = Int(0, 20); static_cast<int>(text.size()) < length;) {
            char c = static_cast<char>(Int(1, 255));
            if (c != '"' && c != '\r' && c != '\n') {
                text += c;
            }
        }
        return text;
    }
    void FillRecord(CStrategyParams& record) {
        for (int32_t* field : {&record.ML, &record.MU, &record.RR, &record.BI}) {
            *field = Int(-5, 1000);
        }
        record.BL = Int(-100, 100);
        for (double* field : {&record.RC, &record.IN, &record.TT, &record.GN}) {
            *field = Real();
        }
    }

    std::mt19937 m_random;
};

std::vector<std::pair<int32_t, double>> Points(const CDataSet& ds) {
    std::vector<std::pair<int32_t, double>> points;
    for (const CDataPoint& p : ds.Points()) {
        points.emplace_back(p.m_serial, p.GetValue(Raw));
    }
    return points;
}

// Written, read through a file into a fresh project and written again: the same bytes, and the
// texts and points of the original.
TEST(ProjectReader, RandomProjectsSurviveAWriteAndARead) {
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        CProject original;
        RandomProject(seed).Fill(original);
        const std::string text = Written(original);

        CProject read;
        CProjectReader reader(read);
        ASSERT_TRUE(reader.Open(folder.File("project.xml", text)));
        reader.Read();
        reader.Close();
        ASSERT_EQ(Difference(Written(read), text), "");
        ASSERT_EQ(read.DataSetCount(), original.DataSetCount());
        for (size_t i = 0; i < read.DataSets().size(); ++i) {
            const CDataSet& a = *read.DataSets()[i];
            const CDataSet& b = *original.DataSets()[i];
            EXPECT_EQ(a.m_name + '"' + a.m_currency + '"' + a.m_comment,
                      b.m_name + '"' + b.m_currency + '"' + b.m_comment);
            EXPECT_EQ(Points(a), Points(b));
        }
    }
}

}  // namespace
