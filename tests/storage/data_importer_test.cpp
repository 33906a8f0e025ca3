#include "storage/data_importer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <utility>

#include "model/project.h"

namespace {

class DataImporterTest : public ::testing::Test {
  protected:
    // The points imported as "year-month-day=value", blank-separated, so that a failure shows
    // the whole series.
    std::string Import(const std::string& text, int32_t valueColumn = 2) {
        CDataImporter importer(project);
        importer.m_valueColumn = valueColumn;
        importer.OpenText(text, "quotes.csv");
        const CDataSet* ds = importer.Import();
        order = importer.m_dateOrder;
        skipped = importer.Report().noDate.count + importer.Report().badDate.count;
        std::ostringstream out;
        for (const CDataPoint& p : ds->Points()) {
            out << ' ' << p.m_year << '-' << p.m_month << '-' << p.m_day << '=' << p.GetValue(Raw);
        }
        return out.str().empty() ? "" : out.str().substr(1);
    }

    CProject project;
    int32_t order = -1;
    int64_t skipped = -1;
};

TEST_F(DataImporterTest, DateOrderIsDecidedByTheFirstFieldAboveTwelve) {
    EXPECT_EQ(Import("01/02/2003,100.5\n13/02/2003,101.0\n"), "2003-2-1=100.5 2003-2-13=101");
    EXPECT_EQ(order, CDataImporter::kDayFirst);
    EXPECT_EQ(Import("01/02/2003,100.5\n02/13/2003,101.0\n"), "2003-1-2=100.5 2003-2-13=101");
    EXPECT_EQ(order, CDataImporter::kMonthFirst);
    EXPECT_EQ(Import("01/02/2003,1\n12/12/2003,3\n"), "2003-1-2=1 2003-12-12=3");
    EXPECT_EQ(order, CDataImporter::kMonthFirst);

    // Month names in any case, wherever they stand.
    EXPECT_EQ(Import("13/01/2003,1\n14-jan-2003,2\n16.JAN.03,4\n"),
              "2003-1-13=1 2003-1-14=2 2003-1-16=4");
    EXPECT_EQ(Import("Jan-05-2003,99.0\nJAN-06-2003,98.0\n"), "2003-1-5=99 2003-1-6=98");
    // Columns are runs of commas and blanks.
    EXPECT_EQ(Import(" ,, 6/5/2003   8700.10, 8790.20\n", 3), "2003-6-5=8790.2");
}

// Year-first dates read as such in any file, and do not vote on the order of the others: a
// vote of 2003 would have made the last line day first and lost its month.
TEST_F(DataImporterTest, YearFirstDatesInEitherDirection) {
    const std::string expected = "2003-6-8=1 2003-6-9=2 2003-7-1=3";
    EXPECT_EQ(Import("2003-06-08,1\n2003-06-09,2\n2003-JUL-01,3\n"), expected);
    EXPECT_EQ(Import("2003-07-01,3\n2003-jun-09,2\n2003/6/8,1\n"), expected);
    EXPECT_EQ(Import("2003-06-08,1\n2003-06-09,2\n06/13/2003,3\n"),
              "2003-6-8=1 2003-6-9=2 2003-6-13=3");
    EXPECT_EQ(order, CDataImporter::kMonthFirst);
    EXPECT_EQ(Import("13/06/2003,0\n2003-06-14,1\n"), "2003-6-13=0 2003-6-14=1");
}

TEST_F(DataImporterTest, LinesWithoutAMonthGiveNoPoint) {
    // The lower-case header has no date; the upper-case one is a data line without a month.
    EXPECT_EQ(Import("Date,Open,High,Low,Close\nDATE,CLOSE\n1/2/2003,5\n"), "2003-1-2=5");
    EXPECT_EQ(skipped, 2);
    // A year too far out for a day serial is no date either.
    EXPECT_EQ(Import("1/2/2003,1\n1/3/99999999999,2\n1/4/2003,3\n"), "2003-1-2=1 2003-1-4=3");
    EXPECT_EQ(skipped, 1);
    // An unreadable line leaves the file's direction alone.
    EXPECT_EQ(Import("1/6/2003,6\n1/5/2003,5\nJUNK-1-2003,0\n1/4/2003,4\n"),
              "2003-1-4=4 2003-1-5=5 2003-1-6=6");
    // Lines of 7 characters are too short; the last line needs no line end; short years.
    EXPECT_EQ(Import("1/1/03 \n1/6/51,9\n1/3/99,6\r\n1/4/00,7\r\n1/2/03,5\n1/5/50,8"),
              "1951-1-6=9 1999-1-3=6 2000-1-4=7 2003-1-2=5 2050-1-5=8");
    for (const char* bad : {"", "0", "00", "001", "13", "013", "jan", "JANUARY", "1a", "+1"}) {
        EXPECT_EQ(CDataImporter::ParseMonth(bad), 0) << bad;
    }
}

// What no file may turn into a point: a value of 400 characters, a day the calendar lacks. A
// four-digit year is the year it says, below 1000 too.
TEST_F(DataImporterTest, OnlyValuesAndDaysTheFileHolds) {
    EXPECT_EQ(Import("2003-01-02,5\n2003-01-03," + std::string(400, '7') + "\n"), "2003-1-2=5");
    EXPECT_EQ(Import("0999-12-30,1\n0999-12-31,2\n"), "999-12-30=1 999-12-31=2");
    EXPECT_EQ(Import("1900-02-28,1\n1900-02-29,2\n2000-02-29,3\n2100-02-29,4\n"),
              "1900-2-28=1 2000-2-29=3");
    EXPECT_EQ(Import("20240229,1\n20230229,2\n"), "2024-2-29=1");
    // Whole numbers are dates only when they run one way: a column of volumes is not.
    EXPECT_EQ(Import("931800000,1\n1009000000,2\n1085500000,3\n", 2), "");
    // Day numbers of a spreadsheet only under a header that says so.
    EXPECT_EQ(Import("Close,Volume\n45293,4742.83\n45294,4704.81\n"), "");
    EXPECT_EQ(Import("Datum,Schluss\n45293,4742.83\n"), "2024-1-2=4742.83");
}

// The lines listed for a reason are the first ones, in order, whenever they are counted.
TEST_F(DataImporterTest, ReportedLinesAreTheFirstInOrder) {
    CDataImporter importer(project);
    importer.OpenText(
        "2003-01-06,6\n2003-01-06,7\n2003-01-03,3\n2003-01-03,9\n2003-01-05,5\n"
        "2003-01-05,8\n2003-01-02,2\n",
        "repeats.csv");
    importer.Import();
    EXPECT_EQ(importer.Report().outOfOrder.lines, (std::vector<int64_t>{2, 4, 5, 6}));
}

TEST_F(DataImporterTest, DateOrderIsTheOneUnderWhichDatesAreDaysThatRunOneWay) {
    // Two-digit years first: day first would make 24 June of years 2027 to 2031.
    EXPECT_EQ(Import("24.06.27,1\n24.06.28,2\n24.07.01,3\n24.07.31,4\n"),
              "2024-6-27=1 2024-6-28=2 2024-7-1=3 2024-7-31=4");
    EXPECT_EQ(order, CDataImporter::kYearFirst);
    // One date above 12 no longer decides alone when the rest runs the other way.
    EXPECT_EQ(Import("01/05/2024,1\n01/06/2024,2\n01/07/2024,3\n01/08/2024,4\n01/09/2024,5\n"),
              "2024-1-5=1 2024-1-6=2 2024-1-7=3 2024-1-8=4 2024-1-9=5");
    EXPECT_EQ(order, CDataImporter::kMonthFirst);
    // Words: "Jan 2, 2024" in quotes, "2. Januar 2024", "2015-01" as the month's first day.
    EXPECT_EQ(Import("\"Jan 2, 2024\",\"4,742.83\"\n\"Jan 3, 2024\",\"4,704.81\"\n"),
              "2024-1-2=4742.83 2024-1-3=4704.81");
    EXPECT_EQ(Import("2. Januar 2024;16.769,36\n3. Januar 2024;16.538,39\n"),
              "2024-1-2=16769.4 2024-1-3=16538.4");
    EXPECT_EQ(Import("2015-01,98.5\n2015-02,99.4\n"), "2015-1-1=98.5 2015-2-1=99.4");
}

TEST_F(DataImporterTest, DescendingFilesGiveTheSameSeriesAndTheFirstOfEqualDatesStays) {
    const std::string expected = "2003-1-2=1 2003-1-3=2 2003-1-6=3";
    EXPECT_EQ(Import("1/2/2003,1\n1/3/2003,2\n1/3/2003,9\n1/6/2003,3\n"), expected);
    EXPECT_EQ(Import("1/6/2003,3\n1/3/2003,2\n1/3/2003,9\n1/2/2003,1\n"), expected);
    // A line running against the file's order is dropped unless it lies outside the set.
    EXPECT_EQ(Import("1/2/2003,1\n1/6/2003,3\n1/3/2003,9\n1/1/2003,0\n"),
              "2003-1-1=0 2003-1-2=1 2003-1-6=3");
}

TEST_F(DataImporterTest, DataSetIsNamedAfterTheFile) {
    using Case = std::pair<const char*, const char*>;
    for (auto [file, name] : {Case{"/data/dax.2003.csv", "DAX.2003"}, Case{"Fx\"Eur.csv", "FX'EUR"},
                              Case{".csv", ""}}) {
        CDataImporter importer(project);
        importer.OpenText("1/2/2003,1\n", file);
        EXPECT_EQ(importer.Import()->m_name, name) << file;
    }
}

// A raw file with most of what the importer meets: a header, both date orders, month names,
// short and year-first dates, blanks, CR LF and a last line without its end.
const std::string kRealistic =
    "Date,Open,High,Low,Close\n6/5/2003, 8700.10, 8790.20, 8690.50, 8764.13\n"
    "6/6/2003,8764.13,8800.00,8700.00,8790.55\r\n06-JUN-2003  8790.55  8810.0  8770.1  8801.9\n"
    "13/06/2003,8801.9,8850,8799,8833.3\n2003-06-16,8833.3,8840,8810,8820.25\n"
    "6.17.03,8820.25,8830,8800,8811\nDATE,CLOSE\n1/1/03 \n12/31/99,-1.5e3,,,\nJAN-05-2003,99.0";

// Bytes worth inserting: separators of both kinds, digits, quotes, line ends and a NUL.
const std::string kInserts(",./- \t\"0123456789\r\nJ\0", 21);

TEST(ImporterFuzzTest, AnyInputGivesStrictlyAscendingValidDates) {
    std::mt19937 random(20030605);
    const auto Below = [&](size_t n) { return n == 0 ? 0 : random() % n; };
    const auto Column = [&] {  // below 1, inside and beyond the lines, and INT32_MAX
        const int32_t r = static_cast<int32_t>(Below(17));
        return r == 16 ? INT32_MAX : r - 3;
    };
    size_t points = 0;
    for (int round = 0; round < 2500; ++round) {
        std::string text = kRealistic;
        if (round % 3 == 0) {
            text.resize(Below(600));
            for (char& c : text) {
                c = static_cast<char>(Below(256));
            }
        }
        for (size_t steps = 1 + Below(8); steps > 0; --steps) {
            const size_t at = Below(text.size() + 1);
            const size_t kind = Below(4);
            if (kind == 0) {
                text.resize(at);
            } else if (kind == 1 && at < text.size()) {
                text[at] = static_cast<char>(text[at] ^ (1 << Below(8)));
            } else {
                text.insert(at, Below(4) == 0 ? 5000 : 1 + Below(40),
                            kInserts[Below(kInserts.size())]);
            }
        }
        CProject project;
        CDataImporter importer(project);
        importer.m_dateColumn = round % 2 == 0 ? 1 : Column();
        importer.m_valueColumn = round % 2 == 0 ? 2 + round % 4 : Column();
        importer.OpenText(text, "fuzz.txt");
        const CDataSet* ds = importer.Import();
        ASSERT_NE(ds, nullptr);
        points += ds->Points().size();
        SCOPED_TRACE(round);
        int64_t previous = INT64_MIN;
        for (const CDataPoint& p : ds->Points()) {
            ASSERT_TRUE(p.m_month >= 1 && p.m_month <= 12 && std::isfinite(p.GetValue(Raw)));
            ASSERT_GT(p.m_serial, previous);
            previous = p.m_serial;
        }
        const CImportReport& r = importer.Report();
        ASSERT_EQ(r.lines, r.points + r.blank.count + r.noDate.count + r.badDate.count +
                               r.badMonth.count + r.badValue.count + r.merged.count +
                               r.outOfOrder.count);
    }
    EXPECT_GT(points, 1500u);
}

}  // namespace
