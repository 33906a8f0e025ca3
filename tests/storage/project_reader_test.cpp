#include "storage/project_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "model/project.h"
#include "support/series_builder.h"
#include "support/test_files.h"

namespace {

using namespace std::string_literals;

void ReadText(CProject& project, const std::string& text) {
    CProjectReader reader(project);
    reader.OpenText(text, "project.xml");
    EXPECT_TRUE(reader.Read());
}

// Most fields show in the text written back; the ones that do not are checked one by one.
TEST(ProjectReader, ReadsTheExampleFileBack) {
    CProject project;
    ReadText(project, kExampleProject);
    EXPECT_EQ(Written(project), kExampleProject);
    EXPECT_EQ(project.m_historyLimits.start.m_serial, SerialOf(2, 1, 2003));
    ASSERT_EQ(project.DataSetCount(), 2);
    EXPECT_EQ(project.Primary(), project.DataSets()[0].get());
    EXPECT_EQ(project.Current(), project.Primary());
    EXPECT_EQ(project.Primary()->m_results.at(0).GN, 12.3457);  // stored gains survive
}

TEST(ProjectReader, LinesCountOnlyInsideTheirElementAndLaterOnesReplaceEarlierOnes) {
    CProject project;
    ReadText(project,
             "<LIMITS START=\"1.2.2003\" END=\"6.6.2003\" />\n"
             "<RANGE  ML=\"1\" MU=\"2\" />\n"
             "<LIMITS START=\"3.1.2003\" END=\"4.1.2003\" />\n"
             "<RANGE  ML=\"3\" />\n"
             "<RANGE \n"
             "<DATASET NAME=\"A\">\n"
             "<LIMITS START=\"5.1.2003\" END=\"6.1.2003\" />\n"
             "<RANGE  ML=\"9\" />\n"
             "<DATASET NAME=\"B\">\n"
             "<CURRENCY VALUE=\"USD\" />\n"
             "<CURRENCY VALUE=\"CHF\" />\n"
             "<PARAMETERS  ML=\"5\" BL=\"6\" />\n"
             "<PARAMETERS  ML=\"7\" BL=\"60\" BC=\"55\" GN=\"3.5\" />\n"
             "<datapoint  DATE=\"6.9.2003\" VALUE=\"7\" />\n"
             "<DATAPOINT  DATE=\"6.5.2003\" VALUE=\"1\" />\n"
             "<DATAPOINT  DATE=\"6.5.2003\" VALUE=\"2\" />\n"
             "<DATAPOINT  DATE=\"6.4.2003\" VALUE=\"3\" />\n"
             "<DATAPOINT  DATE=\"6.7.2003\" VALUE=\"4\" />\n"
             "</DATASET>\n"
             "<CURRENCY VALUE=\"EUR\" />\n"
             "<PARAMETERS  ML=\"5\" />\n"
             "<RESULT ML=\"5\" />\n"
             "<DATAPOINT  DATE=\"6.8.2003\" VALUE=\"9\" />\n"
             "</DATASET>\n"
             "<DATASET NAME=\"C\">\n"
             "<DATAPOINT  VALUE=\"5\" />\n"
             "<DATASET NAME=\"D\">\n"
             "<RESULT BC=\"56\" />\n"
             "<DATAPOINT  DATE=\"6.6.2003\" VALUE=\"2\" />");
    EXPECT_EQ(project.m_viewLimits.start.m_serial, SerialOf(1, 3, 2003));
    EXPECT_EQ(project.m_historyLimits.end.m_serial, SerialOf(1, 4, 2003));
    // Outside a block a line needs 8 characters: "<RANGE " is skipped. Absent keys give 0.
    EXPECT_EQ(std::pair(project.m_range.ML, project.m_range.MU), std::pair(3, 0));
    // The nested DATASET line is no data set; C, without its end line, runs to the end of the
    // text and takes D's lines; a point without a date is no point.
    ASSERT_EQ(project.DataSetCount(), 2);
    const CDataSet& a = *project.DataSets()[0];
    EXPECT_EQ(std::tuple(a.m_currency, a.m_params.ML, a.m_params.BL, a.m_params.GN, a.m_params.IN),
              std::tuple("CHF"s, 7, 60, 3.5, 0.0));
    EXPECT_TRUE(a.m_results.empty());
    // Points must come later; tags count only in upper case.
    EXPECT_EQ(SlotValues(a, Raw), (std::vector<double>{1, 4}));
    const CDataSet& c = *project.DataSets()[1];
    ASSERT_EQ(c.m_results.size(), 1u);
    EXPECT_EQ(c.m_results[0].BL, 56);  // BC stands in for BL
    EXPECT_EQ(c.Points().size(), 1u);
}

// A tag counts wherever it stands on the line, and every tag on a line counts: texts the program
// writes may hold tag text, and then the line is read once for each tag in it.
TEST(ProjectReader, EveryTagAnywhereOnALineCounts) {
    CProject project;
    ReadText(project,
             "  \t<RANGE  ML=\"3\" />\n"
             "x <LIMITS START=\"1.2.2003\" END=\"6.6.2003\" />\n"
             "<DATASET NAME=\"a <RANGE\">\n"
             "<COMMENT VALUE=\"see <CURRENCY\" />\n"
             "\t\t<DATAPOINT  DATE=\"6.5.2003\" VALUE=\"1.5\" />\n"
             "junk<DATAPOINT  DATE=\"6.6.2003\" VALUE=\"+2\" />\n"
             "<COMMENT VALUE=\"<DATAPOINT  DATE=\"6.7.2003\" VALUE=\"3\" />\" />\n"
             "<DATAPOINT  DATE=\"6.8.2003\" VALUE=\" 4e1\" /></DATASET>\n"
             "<DATASET NAME=\"b\"></DATASET>\n");
    EXPECT_EQ(project.m_viewLimits.start.m_serial, SerialOf(2, 1, 2003));
    // The first VALUE on the second COMMENT line is the comment, which reads as the value 0.
    // The DATASET line names the RANGE tag too: ML is read from it, as absent, 0.
    EXPECT_EQ(project.m_range.ML, 0);
    ASSERT_EQ(project.DataSetCount(), 2);
    const CDataSet& a = *project.DataSets()[0];
    EXPECT_EQ(a.m_name, "a <RANGE");
    EXPECT_EQ(a.m_currency, "see <CURRENCY");
    EXPECT_EQ(a.m_comment, "<DATAPOINT  DATE=");
    EXPECT_EQ(SlotValues(a, Raw), (std::vector<double>{1.5, 2, 0, 40}));
    EXPECT_TRUE(project.DataSets()[1]->Points().empty());
}

// Random projects as the program makes them, written, read into a fresh project and written
// again, give the same bytes and values. Damaged and random text must never make the
// reader fail or break the date order of a data set, and whatever it reads must save and load
// again to the same text.
TEST(ProjectReader, RandomProjectsRoundTripAndDamagedOnesReadSafely) {
    std::mt19937 rng(20030608);
    const auto Int = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    // Reals of every magnitude the %g form has to carry.
    const auto Real = [&] {
        const double mantissa = std::uniform_real_distribution<double>(-10, 10)(rng);
        return Int(0, 5) == 0 ? 0.0 : mantissa * std::pow(10.0, Int(-8, 8));
    };
    // Any single-line text without double quotes or tags, bytes above 127 included.
    const auto Text = [&] {
        std::string text;
        for (int length = Int(0, 20); static_cast<int>(text.size()) < length;) {
            const char c = static_cast<char>(Int(1, 255));
            text += c == '"' || c == '<' || c == '\r' || c == '\n' ? 'q' : c;
        }
        return text;
    };
    const auto Record = [&](CStrategyParams& record) {
        for (int32_t* field : {&record.ML, &record.MU, &record.RR, &record.BI}) {
            *field = Int(-5, 1000);
        }
        record.BL = Int(-100, 100);
        for (double* field : {&record.RC, &record.IN, &record.TT, &record.GN}) {
            *field = Real();
        }
    };
    // Pieces, split at '|', that steer mutations toward the places the reader looks at.
    std::vector<std::string> pieces;
    const std::string kPieces =
        "\r\n|\n|\"|<|\0|.|99999999999|-1e308|<DATASET NAME=\"|</DATASET>|<DATAPOINT  DATE=\"|"
        "<RESULT|<LIMITS|<RANGE |<PARAMETERS |<CURRENCY| VALUE=\"| DATE=\"| BC=\"| GN=\""s;
    for (size_t from = 0, to = 0; to < kPieces.size(); from = to + 1) {
        to = std::min(kPieces.find('|', from), kPieces.size());
        pieces.push_back(kPieces.substr(from, to - from));
    }
    constexpr int kCases = 750;
    int checked = 0;
    std::string seedText;
    for (int i = 0; i < kCases; ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        if (i % 15 == 0) {
            // Dates with four-digit years from 1900 on; values with up to five decimals, below
            // 1e8 in magnitude.
            CProject original;
            const int32_t first = SerialOf(1, 1, 1900), last = SerialOf(31, 12, 2099) - 5000;
            const int32_t start = Int(first, last);
            SetWindow(original, start, start + Int(0, 5000));
            Record(original.m_range);
            for (int sets = Int(1, 4); sets > 0; --sets) {
                CDataSet* ds = original.AddDataSet(Text());
                ds->m_currency = Text();
                ds->m_comment = Text();
                Record(ds->m_params);
                for (int results = Int(0, 10); results > 0; --results) {
                    Record(ds->AddResult());
                }
                int32_t serial = Int(first, last);
                for (int points = Int(0, 80); points > 0; --points) {
                    serial += Int(1, 10);
                    const int64_t units = std::uniform_int_distribution<int64_t>(
                        -10000000000000, 10000000000000)(rng);
                    ds->AppendPoint(PointAt(serial, static_cast<double>(units) / 1e5));
                }
            }
            seedText = Written(original);
            CProject read;
            ReadText(read, seedText);
            ASSERT_EQ(Written(read), seedText);
            ASSERT_EQ(read.DataSetCount(), original.DataSetCount());
            for (int k = 0; k < read.DataSetCount(); ++k) {
                EXPECT_EQ(SlotValues(*read.DataSets()[k], Raw),
                          SlotValues(*original.DataSets()[k], Raw));
            }
        }
        // Random pieces now and then; otherwise the seed with one to four byte changes,
        // insertions, cuts, and repeated or deleted lines.
        std::string text = i % 10 == 1 ? "" : seedText;
        for (int steps = i % 10 == 1 ? Int(0, 400) : Int(1, 4); steps > 0; --steps) {
            const size_t at = static_cast<size_t>(Int(0, static_cast<int>(text.size())));
            const size_t lineStart = at == 0 ? 0 : text.rfind('\n', at - 1) + 1;  // npos + 1 = 0
            const size_t lineEnd = std::min(text.find('\n', at), text.size() - 1) + 1;
            const int kind = i % 10 == 1 ? 1 : Int(0, 4);
            if (kind == 0 && at < text.size()) {
                text[at] = static_cast<char>(Int(0, 255));
            } else if (kind == 1) {
                text.insert(at, Int(0, 1) == 0 ? pieces[static_cast<size_t>(Int(0, 19))]
                                               : std::string(1, static_cast<char>(Int(0, 255))));
            } else if (kind == 2) {
                text.resize(at);
            } else if (kind == 3) {
                text.insert(lineStart, text.substr(lineStart, lineEnd - lineStart));
            } else if (kind == 4) {
                text.erase(lineStart, lineEnd - lineStart);
            }
        }
        CProject first;
        ReadText(first, text);
        for (const auto& ds : first.DataSets()) {
            const auto& points = ds->Points();
            ASSERT_TRUE(std::adjacent_find(points.begin(), points.end(), [](auto& a, auto& b) {
                            return a.m_serial >= b.m_serial;
                        }) == points.end());
        }
        const std::string written = Written(first);
        CProject second;
        ReadText(second, written);
        // A name, currency or comment holding tag text ("<RESULT") is read back as that tag:
        // such projects are read and written without harm, only not reproduced exactly.
        const bool holdsTag =
            std::any_of(first.DataSets().begin(), first.DataSets().end(), [](const auto& ds) {
                return (ds->m_name + ds->m_currency + ds->m_comment).find('<') != std::string::npos;
            });
        if (!holdsTag) {
            ++checked;
            ASSERT_EQ(Written(second), written);
        }
    }
    EXPECT_GT(checked, kCases * 9 / 10);
}

}  // namespace
