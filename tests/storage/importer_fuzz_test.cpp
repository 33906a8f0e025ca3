#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "model/project.h"
#include "storage/data_importer.h"

namespace {

// A raw file with most of what the importer meets: a header, both date orders, month names,
// short and year-first dates, blanks, CR LF and a last line without its end.
const std::string kRealistic =
    "Date,Open,High,Low,Close\n"
    "6/5/2003, 8700.10, 8790.20, 8690.50, 8764.13\n"
    "6/6/2003,8764.13,8800.00,8700.00,8790.55\r\n"
    "06-JUN-2003  8790.55  8810.0  8770.1  8801.9\n"
    "13/06/2003,8801.9,8850,8799,8833.3\n"
    "2003-06-16,8833.3,8840,8810,8820.25\n"
    "6.17.03,8820.25,8830,8800,8811\n"
    "DATE,CLOSE\n"
    "1/1/03 \n"
    "12/31/99,-1.5e3,,,\n"
    "JAN-05-2003,99.0";

// Bytes worth inserting: separators of both kinds, digits, quotes, line ends and a NUL.
const std::string kInserts(",./- \t\"0123456789\r\nJ\0", 21);

class Fuzzer {
  public:
    explicit Fuzzer(uint32_t seed) : m_random(seed) {}

    uint32_t Below(uint32_t n) { return n == 0 ? 0 : m_random() % n; }

    std::string RandomBytes() {
        std::string text(Below(600), '\0');
        for (char& c : text) {
            c = static_cast<char>(Below(256));
        }
        return text;
    }

    std::string Mutated() {
        std::string text = kRealistic;
        for (uint32_t steps = 1 + Below(8); steps > 0; --steps) {
            size_t at = Below(static_cast<uint32_t>(text.size()) + 1);
            switch (Below(5)) {
                case 0:
                    if (at < text.size()) {
                        text[at] = static_cast<char>(text[at] ^ (1 << Below(8)));
                    }
                    break;
                case 1:
                    text.insert(at, 1 + Below(4),
                                kInserts[Below(static_cast<uint32_t>(kInserts.size()))]);
                    break;
                case 2:
                    text.resize(at);
                    break;
                case 3: {
                    // Repeat the line that holds `at`.
                    size_t start = text.rfind('\n', at == 0 ? 0 : at - 1);
                    start = start == std::string::npos ? 0 : start + 1;
                    size_t end = text.find('\n', start);
                    end = end == std::string::npos ? text.size() : end + 1;
                    text.insert(start, text.substr(start, end - start));
                    break;
                }
                default:
                    // A run of one digit, now and then a long one.
                    text.insert(at, Below(4) == 0 ? 5000 : 40, static_cast<char>('0' + Below(10)));
                    break;
            }
        }
        return text;
    }

    // Columns from -3 to 12: below 1, inside and beyond the lines.
    int32_t Column() { return static_cast<int32_t>(Below(16)) - 3; }

  private:
    std::mt19937 m_random;
};

TEST(ImporterFuzzTest, AnyInputGivesStrictlyAscendingValidDates) {
    Fuzzer fuzzer(20030605);
    size_t points = 0;
    for (int round = 0; round < 10000; ++round) {
        CProject project;
        CDataImporter importer(project);
        // Half the time the dates stand where the file has them, so that lines get read.
        importer.m_dateColumn = round % 2 == 0 ? 1 : fuzzer.Column();
        importer.m_valueColumn = fuzzer.Column();
        importer.OpenText(round % 3 == 0 ? fuzzer.RandomBytes() : fuzzer.Mutated(), "fuzz.txt");
        CDataSet* ds = importer.Import();
        ASSERT_NE(ds, nullptr);
        points += ds->Points().size();
        int64_t previous = INT64_MIN;
        for (const CDataPoint& p : ds->Points()) {
            ASSERT_TRUE(p.m_month >= 1 && p.m_month <= 12) << "round " << round;
            ASSERT_GT(p.m_serial, previous) << "round " << round;
            previous = p.m_serial;
        }
    }
    // Most mutations leave most lines readable; a fuzzer that only made junk would test little.
    EXPECT_GT(points, 10000u);
}

}  // namespace
