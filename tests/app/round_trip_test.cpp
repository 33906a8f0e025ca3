// A project reads back as itself: whatever a file gives, saved and read again, is the same
// project, and every command computes the same from it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/project.h"
#include "support/project_compare.h"
#include "support/series_builder.h"
#include "support/test_files.h"

namespace {

// A small project as a user would type it: a rising and falling index that the strategy
// trades (ratio 1, flag level 0), a result set and a window inside the data.
std::string Handmade() {
    std::string text =
        "<?xml version=\"1.0\"?>\n<QUILLMARK>\n"
        "<LIMITS START=\"1.6.2003\" END=\"2.20.2003\" />\n"
        "<RANGE  ML=\"2\" MU=\"6\" RR=\"4\" BL=\"0\" BI=\"10\" />\n"
        "<DATASET NAME=\"Index\">\n<CURRENCY VALUE=\"USD\" />\n<COMMENT VALUE=\"close\" />\n"
        "<PARAMETERS  ML=\"2\" RC=\"1\" BL=\"0\" IN=\"1000\" TT=\"5\" GN=\"0\" />\n"
        "<RESULT ML=\"3\" RC=\"1\" BC=\"10\" GN=\"4.5\" />\n";
    CDataPoint day;
    for (int i = 0; i < 60; ++i) {
        day.SetSerial(SerialOf(2, 1, 2003) + i);
        const double value = 100.0 + 10.0 * std::sin(i / 5.0) + i * 0.25;
        text += "<DATAPOINT  DATE=\"" + std::to_string(day.m_month) + "." +
                std::to_string(day.m_day) + "." + std::to_string(day.m_year) + "\" VALUE=\"" +
                std::to_string(value) + "\" />\n";
    }
    return text + "</DATASET>\n</QUILLMARK>\n";
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The files behind the findings: each once gave another simulation after its first save.
TEST(RoundTrip, FilesThatChangedOnTheirFirstSaveReadBackAsThemselves) {
    const std::string base = Handmade();
    const std::string limits = "<LIMITS START=\"1.6.2003\" END=\"2.20.2003\" />\n";
    const std::vector<std::string> files = {
        base,
        Replaced(base, limits, ""),
        Replaced(base, limits, "<LIMITS START=\"1.6.2003\" />\n"),
        Replaced(base, limits, "<LIMITS END=\"2.20.2003\" />\n"),
        Replaced(base, limits, "<LIMITS START=\"14.6.2003\" END=\"2.20.2003\" />\n"),
        Replaced(base, limits, "") + limits,  // the window after the data
        Replaced(base, limits, "<LIMITS START=\"2.20.2003\" END=\"1.6.2003\" />\n"),  // inverted
        Replaced(base, "IN=\"1000\"", "IN=\"1234567\""),
        Replaced(base, "RC=\"1\" BL", "RC=\"0.987654321\" BL"),
        Replaced(base, "GN=\"4.5\"", "GN=\"10514.123456789\""),
        Replaced(base, "<RANGE  ML=\"2\"", "<RANGE  RC=\"0.5\" IN=\"7\" GN=\"3\" ML=\"2\""),
        Replaced(base, "BL=\"0\" IN", "MU=\"9\" RR=\"3\" BI=\"5\" BL=\"0\" IN"),
        Replaced(base, "VALUE=\"100.000000\"", "VALUE=\"100.0000049\""),
        Replaced(base, "VALUE=\"100.000000\"", "VALUE=\"1e2\""),
        Replaced(base, "VALUE=\"100.000000\"", "VALUE=\"nan\""),
        Replaced(base, "RC=\"1\" BL", "RC=\"nan\" BL"),
        Replaced(base, "IN=\"1000\"", "IN=\"1e400\""),
        Replaced(base, "GN=\"4.5\"", "GN=\"-inf\""),
        Replaced(base, "<RANGE  ML=\"2\"", "<RANGE  TT=\"inf\" ML=\"2\""),
    };
    for (const std::string& file : files) {
        EXPECT_EQ(RoundTripDifference(file), "") << file.substr(0, 400);
    }
    // Cut off anywhere, as a copy that stopped short would be.
    for (size_t size = 0; size < base.size(); size += 97) {
        EXPECT_EQ(RoundTripDifference(base.substr(0, size)), "") << size;
    }
}

// A new project shows 1 January 2000 at both ends of its window; what it shows, and what
// points typed into it make of the window, is what a save writes and a read gives back. So is
// the window a project keeps when it is emptied.
TEST(ProjectReader, NewAndEmptiedProjectsReadBackAsThemselves) {
    CProject fresh;
    EXPECT_EQ(std::pair(fresh.m_viewLimits.start.m_serial, fresh.m_historyLimits.end.m_serial),
              std::pair(SerialOf(1, 1, 2000), SerialOf(1, 1, 2000)));
    CProject typed;
    typed.AddDataSet("Typed");
    ASSERT_TRUE(typed.AddPoint(15, 6, 1999, 1250.5));  // before the window: widens it
    ASSERT_TRUE(typed.AddPoint(3, 1, 2000, 1262.25));
    EXPECT_EQ(typed.m_viewLimits.start.m_serial, SerialOf(15, 6, 1999));
    CProject emptied;
    ReadProjectText(emptied, Handmade());
    emptied.Clear();
    for (const CProject* project : {&fresh, &typed, &emptied}) {
        const std::string saved = ProjectText(*project);
        SCOPED_TRACE(saved);
        CProject back;
        ReadProjectText(back, saved);
        EXPECT_EQ(ProjectDifference(*project, back), "");
        EXPECT_EQ(ProjectText(back), saved);
    }
}

// The samples, whole and cut off at random places.
TEST(RoundTrip, SampleProjectsWholeAndTruncatedReadBackAsThemselves) {
    std::mt19937 random(19);
    for (const char* name : {"SP500.xml", "STOCKS.xml"}) {
        const std::string text =
            FileText(std::string(QUILLMARK_SOURCE_DIR) + "/Project Files/" + name);
        ASSERT_GT(text.size(), 1000u) << name;
        EXPECT_EQ(RoundTripDifference(text), "") << name;
        for (int cut = 0; cut < 8; ++cut) {
            const size_t size = std::uniform_int_distribution<size_t>(0, text.size())(random);
            EXPECT_EQ(RoundTripDifference(text.substr(0, size)), "") << name << " " << size;
        }
    }
}

// Generated projects with any fields, and the same damaged by bytes changed, pieces of markup
// inserted and stretches cut out: every one reads back as itself.
TEST(RoundTrip, TenThousandGeneratedAndDamagedProjectsReadBackAsThemselves) {
    std::mt19937_64 random(20030608);
    const auto Int = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto Real = [&] {
        switch (Int(0, 3)) {
            case 0:
                return static_cast<double>(Int(-5, 5000));
            case 1:
                return std::uniform_real_distribution<double>(-2, 2)(random);
            case 2:
                return Int(-99999, 99999) * std::pow(10.0, Int(-9, 9));
            default:
                return std::uniform_real_distribution<double>(-1e6, 1e6)(random);
        }
    };
    const auto Record = [&](CStrategyParams& r) {
        r.ML = Int(-3, 40);
        r.MU = Int(-3, 60);
        r.RR = Int(-1, 30);
        r.BL = Int(-10, 110);
        r.BI = Int(-1, 20);
        r.RC = Real();
        r.IN = Real();
        r.TT = Real();
        r.GN = Real();
    };
    const std::vector<std::string> pieces = {
        "\n",
        "\"",
        "<DATASET NAME=\"",
        "</DATASET>\n",
        "<DATAPOINT  DATE=\"",
        "<RESULT",
        " VALUE=\"nan\" ",
        " VALUE=\"1.23456789\" ",
        " VALUE=\"-1e400\" ",
        "<LIMITS START=\"3.1.2001\" />\n",
        "<LIMITS END=\"13.1.2001\" START=\"x\" />\n",
        " IN=\"1234567\" ",
        " RC=\"0.30000000000000004\" ",
        " GN=\"nan\" ",
        " IN=\"-1e400\" ",
        "<RANGE  RC=\"2\" MU=\"9\" />\n",
        "<PARAMETERS  MU=\"7\" ML=\"3\" RC=\"1\" BL=\"0\" />\n"};
    int checked = 0;
    for (int i = 0; i < 2500; ++i) {
        CProject project;
        const int32_t start = SerialOf(1, 1, 1995) + Int(-400, 4000);
        SetWindow(project, start, start + Int(-30, 400));
        Record(project.m_range);
        for (int sets = Int(0, 3); sets > 0; --sets) {
            CDataSet* ds = project.AddDataSet(Int(0, 1) == 0 ? "A" : "B & <c>");
            Record(ds->m_params);
            for (int results = Int(0, 3); results > 0; --results) {
                Record(ds->AddResult());
            }
            int32_t serial = SerialOf(1, 1, 1995) + Int(0, 300);
            double value = Int(1, 5000);
            for (int points = Int(0, 40); points > 0; --points) {
                serial += Int(1, 4);
                value *= 1.0 + std::uniform_real_distribution<double>(-0.05, 0.05)(random);
                ds->AppendPoint(PointAt(serial, value));
            }
        }
        // Each project as the program writes it, and three damaged copies of it.
        const std::string written = ProjectText(project);
        for (int copy = 0; copy < 4; ++copy) {
            std::string text = written;
            for (int damage = copy == 0 ? 0 : Int(1, 4); damage > 0; --damage) {
                const size_t at = static_cast<size_t>(Int(0, static_cast<int>(text.size())));
                switch (Int(0, 2)) {
                    case 0:
                        if (at < text.size()) {
                            text[at] = static_cast<char>(Int(0, 255));
                        }
                        break;
                    case 1:
                        text.insert(at, pieces[static_cast<size_t>(
                                            Int(0, static_cast<int>(pieces.size()) - 1))]);
                        break;
                    default:
                        text.erase(at, static_cast<size_t>(Int(0, 120)));
                }
            }
            const std::string difference = RoundTripDifference(text);
            ASSERT_EQ(difference, "") << "project " << i << ", copy " << copy << ":\n" << text;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 10000);
}

}  // namespace
