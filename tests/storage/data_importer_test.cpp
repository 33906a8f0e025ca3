#include "storage/data_importer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "model/project.h"
#include "support/series_builder.h"
#include "support/test_files.h"

namespace {

// Points as "year-month-day=value" so that a failure shows the whole series.
std::vector<std::string> Series(const CDataSet& ds) {
    std::vector<std::string> out;
    for (const CDataPoint& p : ds.Points()) {
        char text[96];
        std::snprintf(text, sizeof text, "%d-%d-%d=%g", p.m_year, p.m_month, p.m_day,
                      p.GetValue(Raw));
        out.push_back(text);
    }
    return out;
}

using Lines = std::vector<std::string>;

class DataImporterTest : public ::testing::Test {
  protected:
    CDataSet* Import(const std::string& text, int32_t valueColumn = 2,
                     const std::string& fileName = "quotes.csv", int32_t dateColumn = 1) {
        CDataImporter importer(project);
        importer.m_dateColumn = dateColumn;
        importer.m_valueColumn = valueColumn;
        importer.OpenText(text, fileName);
        CDataSet* ds = importer.Import();
        order = importer.m_dateOrder;
        skipped = importer.m_skipped;
        return ds;
    }

    CProject project;
    int32_t order = -1;
    int64_t skipped = -1;
};

TEST_F(DataImporterTest, DateOrderIsDecidedByTheFirstFieldAboveTwelve) {
    EXPECT_EQ(Series(*Import("01/02/2003,100.5\n13/02/2003,101.0\n")),
              (Lines{"2003-2-1=100.5", "2003-2-13=101"}));
    EXPECT_EQ(order, CDataImporter::kDayFirst);

    EXPECT_EQ(Series(*Import("01/02/2003,100.5\n02/13/2003,101.0\n")),
              (Lines{"2003-1-2=100.5", "2003-2-13=101"}));
    EXPECT_EQ(order, CDataImporter::kMonthFirst);

    EXPECT_EQ(Series(*Import("01/02/2003,1\n03/04/2003,2\n12/12/2003,3\n")),
              (Lines{"2003-1-2=1", "2003-3-4=2", "2003-12-12=3"}));
    EXPECT_EQ(order, CDataImporter::kMonthFirst);

    // Year-first lines do not vote: the later line decides month first, and a vote of 2003
    // would have made it day first and lost that line's month.
    EXPECT_EQ(Series(*Import("2003-06-08,1\n2003-06-09,2\n06/13/2003,3\n")),
              (Lines{"2003-6-8=1", "2003-6-9=2", "2003-6-13=3"}));
    EXPECT_EQ(order, CDataImporter::kMonthFirst);
}

TEST_F(DataImporterTest, MonthNames) {
    // Day first: the second field is upper-cased before it is matched.
    EXPECT_EQ(Series(*Import("13/01/2003,1\n14-jan-2003,2\n15-Jan-2003,3\n16.JAN.03,4\n")),
              (Lines{"2003-1-13=1", "2003-1-14=2", "2003-1-15=3", "2003-1-16=4"}));

    // Month first: a name in the first field counts in upper case only.
    EXPECT_EQ(Series(*Import("Jan-05-2003,99.0\nJAN-06-2003,98.0\n")), (Lines{"2003-1-6=98"}));
    EXPECT_EQ(skipped, 1);

    EXPECT_EQ(CDataImporter::ParseMonth(" 012 "), 12);
    EXPECT_EQ(CDataImporter::ParseMonth("9"), 9);
    for (const char* bad : {"", "0", "00", "001", "13", "013", "jan", "JANUARY", "1a", "+1"}) {
        EXPECT_EQ(CDataImporter::ParseMonth(bad), 0) << bad;
    }
}

TEST_F(DataImporterTest, HeadersAndLinesWithoutAMonthGiveNoPoint) {
    CDataSet* ds = Import(
        "Date,Open,High,Low,Close\n"
        "DATE,CLOSE\n"
        "1/2/2003,5\n");
    EXPECT_EQ(Series(*ds), (Lines{"2003-1-2=5"}));
    EXPECT_EQ(skipped, 1);  // the upper-case header is a data line

    // An unreadable line leaves the file's direction alone: a descending file goes on
    // growing at the front.
    EXPECT_EQ(Series(*Import("1/6/2003,6\n1/5/2003,5\nJUNK-1-2003,0\n1/4/2003,4\n")),
              (Lines{"2003-1-4=4", "2003-1-5=5", "2003-1-6=6"}));

    // A year too far out for a day serial is no date either.
    EXPECT_EQ(Series(*Import("1/2/2003,1\n1/3/99999999999,2\n1/4/2003,3\n")),
              (Lines{"2003-1-2=1", "2003-1-4=3"}));
    EXPECT_EQ(skipped, 1);
}

TEST_F(DataImporterTest, ColumnsAreRunsOfCommasAndBlanks) {
    const std::string line = "6/5/2003, 8700.10, 8790.20, 8690.50, 8764.13\n";
    EXPECT_EQ(Series(*Import(line, 5)), (Lines{"2003-6-5=8764.13"}));
    EXPECT_EQ(Series(*Import(line, 2)), (Lines{"2003-6-5=8700.1"}));
    EXPECT_EQ(Series(*Import(" ,, 6/5/2003   8700.10\n", 2)), (Lines{"2003-6-5=8700.1"}));
    EXPECT_EQ(Series(*Import("X 1 6/5/2003 8700.10\n", 4, "q", 3)), (Lines{"2003-6-5=8700.1"}));

    // A tab separates nothing: the value column is never found.
    CDataSet* tabbed = Import("6/5/2003\t8700.10\n6/6/2003\t8701.10\n");
    ASSERT_EQ(tabbed->Points().size(), 2u);
    for (const CDataPoint& p : tabbed->Points()) {
        EXPECT_NE(p.GetValue(Raw), 8700.10);
        EXPECT_NE(p.GetValue(Raw), 8701.10);
    }
}

TEST_F(DataImporterTest, OrderOfTheFileDoesNotMatterAndTheFirstOfEqualDatesStays) {
    Lines expected = {"2003-1-2=1", "2003-1-3=2", "2003-1-6=3"};
    EXPECT_EQ(Series(*Import("1/2/2003,1\n1/3/2003,2\n1/3/2003,9\n1/6/2003,3\n")), expected);
    EXPECT_EQ(Series(*Import("1/6/2003,3\n1/3/2003,2\n1/3/2003,9\n1/2/2003,1\n")), expected);
    // A line running against the file's order is dropped unless it lies outside the set.
    EXPECT_EQ(Series(*Import("1/2/2003,1\n1/6/2003,3\n1/3/2003,9\n1/1/2003,0\n")),
              (Lines{"2003-1-1=0", "2003-1-2=1", "2003-1-6=3"}));
}

TEST_F(DataImporterTest, ShortLinesLineEndsAndYears) {
    // The first line has 7 characters, the fifth 8; the last has no line end.
    EXPECT_EQ(Series(*Import("1/1/03 \n1/6/51,9\n1/3/99,6\r\n1/4/00,7\r\n1/2/03,5\n1/5/50,8")),
              (Lines{"1951-1-6=9", "1999-1-3=6", "2000-1-4=7", "2003-1-2=5", "2050-1-5=8"}));
}

TEST_F(DataImporterTest, YearFirstDatesInEitherDirection) {
    Lines expected = {"2003-6-8=1", "2003-6-9=2", "2003-7-1=3"};
    EXPECT_EQ(Series(*Import("2003-06-08,1\n2003-06-09,2\n2003-JUL-01,3\n")), expected);
    EXPECT_EQ(Series(*Import("2003-07-01,3\n2003-jun-09,2\n2003/6/8,1\n")), expected);
    // In a day-first file they still read year first.
    EXPECT_EQ(Series(*Import("13/06/2003,0\n2003-06-14,1\n")),
              (Lines{"2003-6-13=0", "2003-6-14=1"}));
}

TEST_F(DataImporterTest, DataSetIsNamedAfterTheFile) {
    struct Case {
        const char* file;
        const char* name;
    };
    for (Case c : {Case{"prices.txt", "PRICES"}, Case{"/data/dax.2003.csv", "DAX.2003"},
                   Case{"Fx\"Eur.csv", "FX'EUR"}, Case{"plain", "PLAIN"}, Case{".csv", ""}}) {
        EXPECT_EQ(Import("1/2/2003,1\n", 2, c.file)->m_name, c.name) << c.file;
    }
    CDataSet* empty = Import("", 2, "none.txt");
    EXPECT_TRUE(empty->Points().empty());
    EXPECT_EQ(project.DataSets().back().get(), empty);
}

TEST_F(DataImporterTest, OddColumnsAndGarbageDoNotBreakTheImport) {
    // Lines short of the value column: the bound found on a longer line lies beyond them.
    CDataSet* ds = Import("1/2/2003,1,2,333\n1/3/2003\n1/4/2003,1\n", 4);
    EXPECT_EQ(ds->Points().size(), 3u);
    EXPECT_EQ(ds->Points().front().GetValue(Raw), 333);

    // Columns below 1 mean the first field.
    EXPECT_EQ(Series(*Import("1/2/2003,5\n", -7, "q", 0)), (Lines{"2003-1-2=1"}));
    // Columns beyond every line: both texts run over the whole line.
    EXPECT_EQ(Series(*Import("1/2/2003,5\n", INT32_MAX, "q", INT32_MAX)), (Lines{"2003-1-2=1"}));

    std::string huge(6 << 20, '7');
    huge[100] = ',';
    const char raw[] = "\0\x01\xff\"//--..,,  \r\r\x80";
    std::string garbage(raw, sizeof raw - 1);
    EXPECT_EQ(Series(*Import("1/2/2003,5\n" + huge + "\n" + garbage + "\n1/3/2003,6\n")),
              (Lines{"2003-1-2=5", "2003-1-3=6"}));
    EXPECT_EQ(skipped, 2);
}

// Newest first and day first, with only ambiguous days until near the end, so that both passes
// run through many buffer refills.
TEST(DataImporterFileTest, ReadsALargeFileTwiceFromDisk) {
    std::string text = "Date,Close\r\n";
    size_t lines = 0;
    for (int32_t serial = 760000; serial > 730000; --serial) {
        CDataPoint p = PointAt(serial);
        if (p.m_day <= 12 || serial < 730100) {
            text += std::to_string(p.m_day) + '/' + std::to_string(p.m_month) + '/' +
                    std::to_string(p.m_year) + ", " + std::to_string(serial) + "\r\n";
            ++lines;
        }
    }
    TempFolder folder;
    CProject project;
    CDataImporter importer(project);
    ASSERT_TRUE(importer.Open(folder.File("prices.txt", text)));
    CDataSet* ds = importer.Import();
    importer.Close();

    EXPECT_EQ(ds->m_name, "PRICES");
    EXPECT_EQ(importer.m_dateOrder, CDataImporter::kDayFirst);
    ASSERT_EQ(ds->Points().size(), lines);
    EXPECT_EQ(ds->Points().back().m_serial, 760000);
    for (const CDataPoint& p : ds->Points()) {
        ASSERT_EQ(p.GetValue(Raw), p.m_serial);
    }
}

}  // namespace
