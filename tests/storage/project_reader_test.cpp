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
#include "storage/text_out.h"
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
    EXPECT_EQ(project.Current(), project.DataSets()[0].get());
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

// A line's element is the tag at its start, after blanks; tag text inside a value is text.
// Texts hold their entities decoded, so they come back as typed, also through a write and read.
TEST(ProjectReader, ElementsAreTheTagsAtTheStartOfALineAndTextsReadBackAsTyped) {
    CProject project;
    ReadText(project,
             "  \t<RANGE  ML=\"3\" />\n"
             "x <LIMITS START=\"1.2.2003\" END=\"6.6.2003\" />\n"
             "<DATASET NAME=\"x&lt;RANGE.csv\">\n"
             "<CURRENCY VALUE=\"&lt;LIMITS &amp; &quot;more&quot; &gt;\" />\n"
             "<COMMENT VALUE=\"see </DATASET> and <DATAPOINT  DATE=\" />\n"
             "\t\t<DATAPOINT  DATE=\"6.5.2003\" VALUE=\"1.5\" />\n"
             "junk<DATAPOINT  DATE=\"6.6.2003\" VALUE=\"2\" />\n"
             "<DATAPOINT  DATE=\"6.8.2003\" VALUE=\" 4e1\" /></DATASET>\n"
             "</DATASET>\n"
             "<DATASET NAME=\"b &amp;c &unknown;\"></DATASET>\n");
    EXPECT_EQ(project.m_range.ML, 3);
    // No LIMITS element: the window is the primary data set's span.
    EXPECT_EQ(project.m_viewLimits.start.m_serial, SerialOf(5, 6, 2003));
    EXPECT_EQ(project.m_historyLimits.end.m_serial, SerialOf(8, 6, 2003));
    ASSERT_EQ(project.DataSetCount(), 2);
    CDataSet& a = *project.DataSets()[0];
    EXPECT_EQ(a.m_name, "x<RANGE.csv");
    EXPECT_EQ(a.m_currency, "<LIMITS & \"more\" >");
    EXPECT_EQ(a.m_comment, "see </DATASET> and <DATAPOINT  DATE=");
    EXPECT_EQ(SlotValues(a, Raw), (std::vector<double>{1.5, 40}));
    EXPECT_EQ(project.DataSets()[1]->m_name, "b &c &unknown;");
    EXPECT_TRUE(project.DataSets()[1]->Points().empty());

    a.m_comment = "see </DATASET> & \"quotes\"\r\n";
    const std::string text = Written(project);
    EXPECT_NE(
        text.find("<COMMENT VALUE=\"see &lt;/DATASET&gt; &amp; &quot;quotes&quot;&#13;&#10;\" />"),
        std::string::npos);
    CProject read;
    ReadText(read, text);
    ASSERT_EQ(read.DataSetCount(), 2);
    const CDataSet& back = *read.DataSets()[0];
    EXPECT_EQ(std::tie(back.m_name, back.m_currency, back.m_comment),
              std::tie(a.m_name, a.m_currency, a.m_comment));
    EXPECT_EQ(Written(read), text);
}

// A mistyped date costs its own point only: of the points not in date order the reader keeps
// the longest ordered run and reports the rest with their lines; dates that give no day are
// counted too.
TEST(ProjectReader, PointsOutOfOrderCostOnlyThemselvesAndAreReported) {
    std::string text = "<QUILLMARK>\n<DATASET NAME=\"S\">\n";  // lines 1 and 2
    CDataPoint day;
    for (int i = 0; i < 300; ++i) {
        day.SetSerial(SerialOf(2, 1, 2001) + i);
        const int year = i == 149 ? 2091 : day.m_year;  // line 153
        if (i == 50) {
            text += "\n";  // line 53: the lines of the points kept are no longer one run
        }
        text += "<DATAPOINT  DATE=\"" + std::to_string(day.m_month) + "." +
                std::to_string(day.m_day) + "." + std::to_string(year) + "\" VALUE=\"" +
                std::to_string(100 + i) + "\" />\n";
    }
    text += "<DATAPOINT  DATE=\"13.1.2002\" VALUE=\"1\" />\n";  // line 304: no month 13
    text += "<DATAPOINT  DATE=\"1.1.2001\" VALUE=\"1\" />\n";   // line 305: before them all
    text += "</DATASET>\n";
    CProject project;
    CProjectReader reader(project);
    reader.OpenText(text, "s.xml");
    reader.Read();
    const CReadReport& report = reader.Report();
    const auto values = SlotValues(*project.DataSets()[0], Raw);
    ASSERT_EQ(values.size(), 299u);
    EXPECT_EQ(values[148], 248);
    EXPECT_EQ(values[149], 250);  // 249, the year 2091, is the one left out
    EXPECT_EQ(std::tuple(report.droppedPoints, report.droppedLines),
              std::tuple(int64_t{2}, std::vector<int64_t>{153, 305}));
    EXPECT_EQ(std::tuple(report.badDates, report.badDateLines),
              std::tuple(int64_t{1}, std::vector<int64_t>{304}));
    EXPECT_EQ(report.Summary(),
              "2 points out of date order (lines 153, 305) and 1 line without a valid date "
              "(line 304) were not read.");
    EXPECT_TRUE(report.IsProject());
}

// A window date the file does not give, or gives as no day, is the primary data set's first or
// last date (1 January 2000 without points), with a serial that matches its fields: so the
// project reads back as itself after a save.
TEST(ProjectReader, AWindowDateTheFileDoesNotGiveIsThePrimarysSpan) {
    const std::string points =
        "<DATASET NAME=\"A\">\n<DATAPOINT  DATE=\"3.4.2003\" VALUE=\"1\" />\n"
        "<DATAPOINT  DATE=\"9.30.2003\" VALUE=\"2\" />\n</DATASET>\n"
        "<DATASET NAME=\"B\">\n<DATAPOINT  DATE=\"1.2.1990\" VALUE=\"1\" />\n</DATASET>\n";
    const int32_t first = SerialOf(4, 3, 2003);
    const int32_t last = SerialOf(30, 9, 2003);
    const int32_t given = SerialOf(6, 6, 2003);
    const int32_t y2k = SerialOf(1, 1, 2000);
    for (const auto& [text, start, end] :
         {std::tuple{points, first, last},
          {"<LIMITS START=\"6.6.2003\" />\n" + points, given, last},
          {points + "<LIMITS END=\"6.6.2003\" />\n", first, given},
          {"<LIMITS START=\"13.1.2003\" END=\"6.6.2003\" />\n" + points, first, given},
          {"<LIMITS START=\"6.6.2003\" END=\"2003\" />\n" + points, given, last},
          {"<LIMITS START=\"6.6.2003\" END=\"1.1.99999999\" />\n" + points, given, last},
          {"<LIMITS START=\"\" END=\"6.6.2003\" />\n<DATASET NAME=\"E\">\n", y2k, given},
          {std::string("<QUILLMARK>\n"), y2k, y2k}}) {
        SCOPED_TRACE(text);
        CProject project;
        ReadText(project, text);
        EXPECT_EQ(std::pair(project.m_viewLimits.start.m_serial, project.m_viewLimits.end.m_serial),
                  std::pair(start, end));
        EXPECT_EQ(project.m_historyLimits.end.m_serial, end);
        const std::string written = Written(project);
        CProject again;
        ReadText(again, written);
        EXPECT_EQ(std::pair(again.m_viewLimits.start.m_serial, again.m_viewLimits.end.m_serial),
                  std::pair(start, end));
        EXPECT_EQ(Written(again), written);
    }
}

// A value that is not a finite number gives no point and is reported with its line, like a
// bad date. A value with more decimals than the file keeps is held as a save writes it.
TEST(ProjectReader, NonFiniteValuesAreReportedAndValuesAreHeldAsWritten) {
    CProject project;
    CProjectReader reader(project);
    reader.OpenText(
        "<DATASET NAME=\"S\">\n"                               // 1
        "<DATAPOINT  DATE=\"1.2.2003\" VALUE=\"100.5\" />\n"   // 2
        "<DATAPOINT  DATE=\"1.3.2003\" VALUE=\"nan\" />\n"     // 3
        "<DATAPOINT  DATE=\"1.4.2003\" VALUE=\"inf\" />\n"     // 4
        "<DATAPOINT  DATE=\"1.5.2003\" VALUE=\"-1e400\" />\n"  // 5
        "<DATAPOINT  DATE=\"1.6.2003\" VALUE=\"1.123456789\" />\n"
        "<DATAPOINT  DATE=\"1.7.2003\" VALUE=\"1e3\" />\n"
        "<DATAPOINT  DATE=\"1.8.2003\" VALUE=\"12abc\" />\n"
        "<DATAPOINT DATE=\"1.9.2003\"  VALUE=\"-0.0000049\" />\n"
        "</DATASET>\n",
        "s.xml");
    reader.Read();
    const CReadReport& report = reader.Report();
    EXPECT_EQ(std::tuple(report.badValues, report.badValueLines),
              std::tuple(int64_t{3}, std::vector<int64_t>{3, 4, 5}));
    EXPECT_EQ(report.Summary(),
              "3 lines whose value is not a finite number (lines 3, 4, 5) were not read.");
    EXPECT_TRUE(report.LostPoints());
    ASSERT_EQ(project.DataSetCount(), 1);
    std::string held;
    AppendFixedValue(held, 1.123456789);
    std::string negative;
    AppendFixedValue(negative, -0.0000049);
    EXPECT_EQ(SlotValues(*project.Primary(), Raw),
              (std::vector<double>{100.5, std::stod(held), 1000, 12, std::stod(negative)}));
}

// A number of a record that is not finite, as a damaged or hand-edited file may hold, is not
// taken and is reported with its line: a parameter keeps its value, a result set is left out
// (its gain or ratio would be made up), and what is read saves and reads back without a loss.
TEST(ProjectReader, NonFiniteNumbersOfRecordsAreNotTakenAndAreReported) {
    const std::string text =
        "<?xml version=\"1.0\"?>\r\n"                                                         // 1
        "<QUILLMARK>\r\n"                                                                     // 2
        "<LIMITS START=\"1.2.2003\" END=\"6.6.2003\" />\r\n"                                  // 3
        "<RANGE  ML=\"15\" MU=\"45\" RR=\"10\" BL=\"50\" BI=\"5\" TT=\"nan\" />\r\n"          // 4
        "<DATASET NAME=\"S&amp;P 500\">\r\n"                                                  // 5
        "<CURRENCY VALUE=\"USD\" />\r\n"                                                      // 6
        "<PARAMETERS  ML=\"25\" RC=\"nan\" BL=\"55\" IN=\"2500\" TT=\"7.5\" GN=\"0\" />\r\n"  // 7
        "<RESULT ML=\"25\" RC=\"0.5\" BC=\"55\" GN=\"12.3457\" />\r\n"                        // 8
        "<RESULT ML=\"30\" RC=\"0.5\" BC=\"60\" GN=\"NaN\" />\r\n"                            // 9
        "<RESULT ML=\"35\" RC=\"-inf\" BC=\"60\" GN=\"8.25\" />\r\n"                          // 10
        "<DATAPOINT  DATE=\"6.5.2003\" VALUE=\"964.13000\" />\r\n"                            // 11
        "<DATAPOINT  DATE=\"6.6.2003\" VALUE=\"inf\" />\r\n"                                  // 12
        "</DATASET>\r\n"                                                                      // 13
        "<DATASET NAME=\"Gold\">\r\n"                                                         // 14
        "<PARAMETERS  ML=\"20\" RC=\"-0.25\" BL=\"60\" IN=\"1e400\" TT=\"5\" GN=\"-1e400\" />\r\n"
        "<RESULT ML=\"20\" RC=\"1e-400\" BC=\"60\" GN=\"3.5\" />\r\n"  // underflow: 0, finite
        "</DATASET>\r\n"
        "</QUILLMARK>\r\n";
    CProject project;
    CProjectReader reader(project);
    reader.OpenText(text, "damaged.xml");
    reader.Read();
    const CReadReport& report = reader.Report();
    EXPECT_EQ(std::tuple(report.badNumbers, report.badNumberLines),
              std::tuple(int64_t{5}, std::vector<int64_t>{4, 7, 9, 10, 15}));
    EXPECT_EQ(std::tuple(report.badValues, report.badValueLines),
              std::tuple(int64_t{1}, std::vector<int64_t>{12}));
    EXPECT_EQ(report.Summary(),
              "1 line whose value is not a finite number (line 12) was not read. 5 lines with a "
              "number that is not finite (lines 4, 7, 9, 10, 15) were not read in full.");
    EXPECT_TRUE(report.LostPoints());

    const CStrategyParams defaults;
    EXPECT_EQ(std::tuple(project.m_range.ML, project.m_range.BI, project.m_range.TT),
              std::tuple(15, 5, defaults.TT));
    ASSERT_EQ(project.DataSetCount(), 2);
    const CDataSet& sp = *project.DataSets()[0];
    EXPECT_EQ(std::tuple(sp.m_params.ML, sp.m_params.RC, sp.m_params.BL, sp.m_params.IN),
              std::tuple(25, defaults.RC, 55, 2500.0));
    ASSERT_EQ(sp.m_results.size(), 1u);
    EXPECT_EQ(sp.m_results[0].GN, 12.3457);
    const CDataSet& gold = *project.DataSets()[1];
    EXPECT_EQ(std::tuple(gold.m_params.RC, gold.m_params.IN, gold.m_params.GN),
              std::tuple(-0.25, defaults.IN, defaults.GN));
    ASSERT_EQ(gold.m_results.size(), 1u);
    EXPECT_EQ(gold.m_results[0].RC, 0.0);

    const std::string saved = Written(project);
    CProject again;
    CProjectReader second(again);
    second.OpenText(saved, "saved.xml");
    second.Read();
    EXPECT_EQ(second.Report().Summary(), "");
    EXPECT_EQ(Written(again), saved);
}

// Years the reader accepts come back as written: before 1900, year 0 and before, far ahead.
TEST(ProjectReader, StoredYearsAndHugeValuesReadBackAsWritten) {
    CProject project;
    CDataSet* ds = project.AddDataSet("Y");
    for (int year : {-4000, -1, 0, 1, 1066, 1871, 1899, 1900, 9999, 123456}) {
        CDataPoint p;
        p.SetStoredDate(15, 3, year);
        p.SetValue(Raw, year == 1871 ? 1e308 : year == 1066 ? -1.7e308 : 0.5);
        ASSERT_TRUE(ds->AppendPoint(p)) << year;
    }
    const std::string text = Written(project);
    CProject read;
    ReadText(read, text);
    ASSERT_EQ(read.DataSetCount(), 1);
    const auto& points = read.DataSets()[0]->Points();
    ASSERT_EQ(points.size(), ds->Points().size());
    for (size_t i = 0; i < points.size(); ++i) {
        const CDataPoint& p = ds->Points()[i];
        EXPECT_EQ(std::tuple(points[i].m_year, points[i].m_serial, points[i].GetValue(Raw)),
                  std::tuple(p.m_year, p.m_serial, p.GetValue(Raw)));
    }
    EXPECT_EQ(Written(read), text);
}

// Random projects written, read and written again give the same bytes; damaged text never
// breaks a data set's date order, and whatever is read saves and loads to the same text.
TEST(ProjectReader, RandomProjectsRoundTripAndDamagedOnesReadSafely) {
    std::mt19937 rng(20030608);
    const auto Int = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    const auto Real = [&] {
        const double mantissa = std::uniform_real_distribution<double>(-10, 10)(rng);
        return Int(0, 5) == 0 ? 0.0 : mantissa * std::pow(10.0, Int(-8, 8));
    };
    const auto Text = [&] {
        std::string text(static_cast<size_t>(Int(0, 20)), ' ');
        for (char& c : text) {
            c = static_cast<char>(Int(1, 255));
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
    const std::vector<std::string> pieces = {
        "\n",      "\"",       "<", "<DATASET NAME=\"", "</DATASET>", "<DATAPOINT  DATE=\"",
        "<RESULT", " VALUE=\""};
    std::string seedText;
    for (int i = 0; i < 600; ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        if (i % 15 == 0) {
            CProject original;
            const bool wide = i % 45 == 0;  // any year and values up to the double range
            const int32_t first = wide ? -2000000 : SerialOf(1, 1, 1900);
            const int32_t last = wide ? 40000000 : SerialOf(31, 12, 2099) - 5000;
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
                    const double value =
                        wide ? static_cast<double>(units) * std::pow(10.0, Int(-5, 295))
                             : static_cast<double>(units) / 1e5;
                    ds->AppendPoint(PointAt(serial, value));
                }
            }
            seedText = Written(original);
            CProject read;
            ReadText(read, seedText);
            ASSERT_EQ(Written(read), seedText);
            for (int k = 0; k < read.DataSetCount() && !wide; ++k) {
                EXPECT_EQ(SlotValues(*read.DataSets()[k], Raw),
                          SlotValues(*original.DataSets()[k], Raw));
            }
        }
        std::string text = seedText;
        for (int steps = Int(1, 4); steps > 0; --steps) {
            const size_t at = static_cast<size_t>(Int(0, static_cast<int>(text.size())));
            const int kind = Int(0, 2);
            if (kind == 0 && at < text.size()) {
                text[at] = static_cast<char>(Int(0, 255));
            } else if (kind == 1) {
                text.insert(at, pieces[static_cast<size_t>(Int(0, 7))]);
            } else {
                text.erase(at, static_cast<size_t>(Int(0, 80)));
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
        ASSERT_EQ(Written(second), written);
    }
}

}  // namespace
