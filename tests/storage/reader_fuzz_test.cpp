// Damaged and random input for the project reader: it must never fail, keep every data set in
// date order, and whatever it reads must save and load again to the same text.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/project.h"
#include "storage/project_reader.h"
#include "support/series_builder.h"

namespace {

using namespace std::string_literals;

constexpr int kCases = 3000;

// Pieces that steer mutations toward the places the reader looks at.
const std::vector<std::string> kPieces = {"\"",          "<",
                                          ">",           " ",
                                          "\t",          "\r",
                                          "\n",          "\r\n",
                                          "\0"s,         ".",
                                          "/",           "-",
                                          "e",           "0",
                                          "99999999999", "<DATASET NAME=\"",
                                          "</DATASET>",  "<DATAPOINT  DATE=\"",
                                          "<RESULT",     "<LIMITS",
                                          "<RANGE ",     "<PARAMETERS ",
                                          "<CURRENCY",   "<COMMENT",
                                          " VALUE=\"",   " DATE=\"",
                                          " BL=\"",      " BC=\"",
                                          " GN=\""};

std::string Written(const CProject& project) {
    std::string out;
    project.Write(out);
    return out;
}

void Read(CProject& project, const std::string& text) {
    CProjectReader reader(project);
    reader.OpenText(text, "fuzz.xml");
    reader.Read();
}

// A project as the program builds it: two sets with results and a few months of points.
std::string SeedText() {
    CProject project;
    SetWindow(project, 731000, 731100);
    for (const char* name : {"Index", "Gold"}) {
        CDataSet* ds = project.AddDataSet(name);
        ds->m_currency = "USD";
        ds->m_comment = "daily close";
        ds->m_params.RC = 0.25;
        ds->AddResult().GN = 12.5;
        ds->AddResult().RC = -0.5;
        for (int i = 0; i < 40; ++i) {
            ds->AppendPoint(PointAt(731000 + i * 2, 8764.13 + i * 1.5));
        }
    }
    return Written(project);
}

class Mutator {
  public:
    explicit Mutator(uint32_t seed) : m_random(seed) {}

    std::string RandomText() {
        std::string text;
        size_t length = Below(2000);
        while (text.size() < length) {
            text += Below(4) == 0 ? kPieces[Below(kPieces.size())]
                                  : std::string(1, static_cast<char>(Below(256)));
        }
        return text;
    }

    std::string Mutate(std::string text) {
        size_t count = 1 + Below(4);
        for (size_t i = 0; i < count; ++i) {
            MutateOnce(text);
        }
        return text;
    }

  private:
    size_t Below(size_t n) { return n == 0 ? 0 : m_random() % n; }

    void MutateOnce(std::string& text) {
        switch (Below(7)) {
            case 0:  // flip one bit
                if (!text.empty()) {
                    text[Below(text.size())] ^= static_cast<char>(1 << Below(8));
                }
                break;
            case 1:  // replace a byte
                if (!text.empty()) {
                    text[Below(text.size())] = static_cast<char>(Below(256));
                }
                break;
            case 2:
            case 3:
                text.insert(Below(text.size() + 1), kPieces[Below(kPieces.size())]);
                break;
            case 4:
                text.resize(Below(text.size() + 1));
                break;
            default:
                MutateLines(text);
                break;
        }
    }

    // Duplicates, deletes or swaps whole lines.
    void MutateLines(std::string& text) {
        std::vector<std::string> lines;
        size_t from = 0;
        while (from < text.size()) {
            size_t end = text.find('\n', from);
            end = end == std::string::npos ? text.size() : end + 1;
            lines.push_back(text.substr(from, end - from));
            from = end;
        }
        if (lines.empty()) {
            return;
        }
        size_t a = Below(lines.size());
        size_t b = Below(lines.size());
        switch (Below(3)) {
            case 0:
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(b), lines[a]);
                break;
            case 1:
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(a));
                break;
            default:
                std::swap(lines[a], lines[b]);
                break;
        }
        text.clear();
        for (const std::string& line : lines) {
            text += line;
        }
    }

    std::mt19937 m_random;
};

// Empty for equal texts; otherwise both texts around their first difference.
std::string Difference(const std::string& a, const std::string& b) {
    auto first = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first;
    size_t at = static_cast<size_t>(first - a.begin());
    if (at == a.size() && a.size() == b.size()) {
        return "";
    }
    size_t from = at < 80 ? 0 : at - 80;
    return a.substr(from, 160) + "\n    vs\n" + b.substr(from, 160);
}

bool PointsInDateOrder(const CProject& project) {
    for (const auto& ds : project.DataSets()) {
        for (size_t i = 1; i < ds->Points().size(); ++i) {
            if (ds->Points()[i - 1].m_serial >= ds->Points()[i].m_serial) {
                return false;
            }
        }
    }
    return true;
}

// Reading a date's fields again gives the same year and, for points, the same serial.
bool DateReadsBack(const CDataPoint& p, bool serialToo) {
    CDataPoint q;
    q.SetDate(p.m_day, p.m_month, p.m_year);
    return q.m_year == p.m_year && (!serialToo || q.m_serial == p.m_serial);
}

// What the file format can carry unchanged: texts without tag text, dates as the program makes
// them, and values whose written form keeps enough decimals to read back to the same text.
// Damaged files can hold more than that (a year of -500, a point without a date, a comment
// holding "<RESULT"); such projects are still read and written without harm, only not
// reproduced exactly.
bool FormatCarries(const CProject& project) {
    if (!DateReadsBack(project.m_viewLimits.start, false) ||
        !DateReadsBack(project.m_viewLimits.end, false)) {
        return false;
    }
    for (const auto& ds : project.DataSets()) {
        for (const std::string* text : {&ds->m_name, &ds->m_currency, &ds->m_comment}) {
            if (text->find('<') != std::string::npos) {
                return false;
            }
        }
        for (const CDataPoint& p : ds->Points()) {
            double value = p.GetValue(Raw);
            if (!DateReadsBack(p, true) || (std::isfinite(value) && std::fabs(value) >= 1e10)) {
                return false;
            }
        }
    }
    return true;
}

TEST(ReaderFuzz, DamagedInputReadsSafelyAndSavesStably) {
    const std::string seedText = SeedText();
    Mutator mutator(20030608);
    int checked = 0;
    for (int i = 0; i < kCases; ++i) {
        std::string input = i % 10 == 0 ? mutator.RandomText() : mutator.Mutate(seedText);
        CProject first;
        Read(first, input);
        ASSERT_TRUE(PointsInDateOrder(first)) << "case " << i;
        std::string written = Written(first);

        CProject second;
        Read(second, written);
        ASSERT_TRUE(PointsInDateOrder(second)) << "case " << i;
        if (FormatCarries(first)) {
            ++checked;
            ASSERT_EQ(Difference(Written(second), written), "") << "case " << i;
        }
    }
    EXPECT_GT(checked, kCases * 9 / 10);
}

}  // namespace
