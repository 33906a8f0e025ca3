// Damaged and random input for the project reader: it must never fail, keep every data set in
// date order, and whatever it reads must save and load again to the same text.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "model/project.h"
#include "storage/project_reader.h"
#include "support/series_builder.h"
#include "support/test_files.h"

namespace {

using namespace std::string_literals;

constexpr int kCases = 3000;

// Bytes and pieces that steer mutations toward the places the reader looks at.
const std::string kBytes = "\"<> \t\r\n\0./-e0"s;
const std::vector<std::string> kPieces = {
    "\r\n",     "99999999999", "<DATASET NAME=\"", "</DATASET>",   "<DATAPOINT  DATE=\"",
    "<RESULT",  "<LIMITS",     "<RANGE ",          "<PARAMETERS ", "<CURRENCY",
    "<COMMENT", " VALUE=\"",   " DATE=\"",         " BL=\"",       " BC=\"",
    " GN=\""};

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
        for (size_t length = Below(2000); text.size() < length;) {
            text += Below(4) == 0 ? Piece() : std::string(1, static_cast<char>(Below(256)));
        }
        return text;
    }

    // One to four bit flips, byte changes, inserted pieces, cuts, and repeated or deleted lines.
    std::string Mutate(std::string text) {
        for (size_t count = 1 + Below(4); count > 0; --count) {
            const size_t at = Below(text.size() + 1);
            const size_t lineStart = at == 0 ? 0 : text.rfind('\n', at - 1) + 1;  // npos + 1 = 0
            const size_t lineEnd = std::min(text.find('\n', at), text.size() - 1) + 1;
            switch (Below(7)) {
                case 0:
                    if (at < text.size()) {
                        text[at] ^= static_cast<char>(1 << Below(8));
                    }
                    break;
                case 1:
                    if (at < text.size()) {
                        text[at] = static_cast<char>(Below(256));
                    }
                    break;
                case 2:
                case 3:
                    text.insert(at, Piece());
                    break;
                case 4:
                    text.resize(at);
                    break;
                case 5:
                    if (!text.empty()) {
                        text.insert(lineStart, text.substr(lineStart, lineEnd - lineStart));
                    }
                    break;
                default:
                    if (!text.empty()) {
                        text.erase(lineStart, lineEnd - lineStart);
                    }
                    break;
            }
        }
        return text;
    }

  private:
    size_t Below(size_t n) { return n == 0 ? 0 : m_random() % n; }
    std::string Piece() {
        return Below(2) == 0 ? kPieces[Below(kPieces.size())]
                             : std::string(1, kBytes[Below(kBytes.size())]);
    }

    std::mt19937 m_random;
};

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

// A name, currency or comment holding tag text ("<RESULT") is read back as that tag: such
// projects are still read and written without harm, only not reproduced exactly.
bool TextsHoldNoTag(const CProject& project) {
    for (const auto& ds : project.DataSets()) {
        if ((ds->m_name + ds->m_currency + ds->m_comment).find('<') != std::string::npos) {
            return false;
        }
    }
    return true;
}

TEST(ReaderFuzz, DamagedInputReadsSafelyAndSavesStably) {
    const std::string seedText = SeedText();
    Mutator mutator(20030608);
    int checked = 0;
    for (int i = 0; i < kCases; ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        CProject first;
        Read(first, i % 10 == 0 ? mutator.RandomText() : mutator.Mutate(seedText));
        ASSERT_TRUE(PointsInDateOrder(first));
        const std::string written = Written(first);

        CProject second;
        Read(second, written);
        ASSERT_TRUE(PointsInDateOrder(second));
        if (TextsHoldNoTag(first)) {
            ++checked;
            ASSERT_EQ(Difference(Written(second), written), "");
        }
    }
    EXPECT_GT(checked, kCases * 9 / 10);
}

}  // namespace
