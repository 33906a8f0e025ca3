// The layouts of price files users really have, each as a realistic file of S&P 500 days (the
// figures of Data Files/sp500-2000.csv written the way each exporter writes them): every point's
// date and value, and the report's counts and line numbers.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/data_set.h"
#include "model/project.h"
#include "storage/data_importer.h"
#include "storage/project_io.h"

namespace {

struct Day {
    int year, month, day;
    std::string open, high, low, close, volume;
};

// The first trading days of 2000 as the data file holds them.
std::vector<Day> Sp500Days(size_t count) {
    std::ifstream in(QUILLMARK_SOURCE_DIR "/Data Files/sp500-2000.csv");
    std::string line;
    std::getline(in, line);
    std::vector<Day> days;
    while (days.size() < count && std::getline(in, line)) {
        std::stringstream fields(line);
        std::string date, adj;
        Day d;
        std::getline(fields, date, ',');
        std::getline(fields, d.open, ',');
        std::getline(fields, d.high, ',');
        std::getline(fields, d.low, ',');
        std::getline(fields, d.close, ',');
        std::getline(fields, adj, ',');
        std::getline(fields, d.volume, ',');
        std::sscanf(date.c_str(), "%d-%d-%d", &d.year, &d.month, &d.day);
        days.push_back(d);
    }
    return days;
}

std::string Format(const char* format, double a, double b = 0, double c = 0) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

std::string Iso(const Day& d) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return text;
}

std::string Us(const Day& d) {
    return std::to_string(d.month) + "/" + std::to_string(d.day) + "/" + std::to_string(d.year);
}

// "1,469.25" (grouping the integer part by threes with `group`, decimals after `mark`).
std::string Grouped(const std::string& number, char group, char mark, int decimals = 2) {
    std::string plain =
        Format(decimals == 2 ? "%.2f" : "%.0f", std::strtod(number.c_str(), nullptr));
    size_t point = plain.find('.');
    std::string whole = plain.substr(0, point);
    std::string text;
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) {
            text += group;
        }
        text += whole[i];
    }
    return point == std::string::npos ? text : text + mark + plain.substr(point + 1);
}

// "month/day/year=value" of every point, for one comparison that shows the whole series.
std::string Series(const CDataSet& ds) {
    std::string text;
    for (const CDataPoint& p : ds.Points()) {
        text += p.FormatDate() + "=" + Format("%.5f", p.GetValue(Raw)) + " ";
    }
    return text;
}

std::string Expected(const std::vector<Day>& days, std::string Day::*field, int decimals = 6) {
    std::string text;
    for (const Day& d : days) {
        double value = std::strtod((d.*field).c_str(), nullptr);
        if (decimals == 2) {
            value = std::strtod(Format("%.2f", value).c_str(), nullptr);
        }
        text += Us(d) + "=" + Format("%.5f", value) + " ";
    }
    return text;
}

class ImportLayoutsTest : public ::testing::Test {
  protected:
    // Writes the text as a file and imports it into the project.
    CStatus Import(const std::string& name, const std::string& text, int32_t dates,
                   int32_t values) {
        path = ::testing::TempDir() + name;
        std::ofstream(path, std::ios::binary) << text;
        report = CImportReport();
        return ImportRawFile(project, path, dates, values, report);
    }

    std::string Imported() const {
        return report.dataSet != nullptr ? Series(*report.dataSet) : "(none)";
    }

    const std::vector<Day> days = Sp500Days(30);
    CProject project;
    CImportReport report;
    std::string path;
};

using Lines = std::vector<int64_t>;

TEST_F(ImportLayoutsTest, FinancePortalHistoryOldestOrNewestFirst) {
    std::string oldest = "Date,Open,High,Low,Close,Adj Close,Volume\n";
    std::string newest = oldest;
    for (size_t i = 0; i < days.size(); ++i) {
        const Day& d = days[i];
        const Day& r = days[days.size() - 1 - i];
        oldest += Iso(d) + "," + d.open + "," + d.high + "," + d.low + "," + d.close + "," +
                  d.close + "," + d.volume + "\n";
        newest += Iso(r) + "," + r.open + "," + r.high + "," + r.low + "," + r.close + "," +
                  r.close + "," + r.volume + "\r\n";
    }
    ASSERT_TRUE(Import("GSPC.csv", oldest, 1, 5));
    EXPECT_EQ(Imported(), Expected(days, &Day::close));
    EXPECT_EQ(report.name, "GSPC");
    EXPECT_EQ(report.lines, 31);
    EXPECT_EQ(report.points, 30);
    EXPECT_EQ(report.skipped, 1);
    EXPECT_EQ(report.noDate.lines, Lines{1});
    EXPECT_FALSE(report.dateOrderGuessed);
    ASSERT_TRUE(Import("GSPC-newest.csv", newest, 1, 2));
    EXPECT_EQ(Imported(), Expected(days, &Day::open));
    EXPECT_EQ(report.Summary(), "GSPC-NEWEST: 30 points; 1 line without a date (line 1)");
}

TEST_F(ImportLayoutsTest, EconomicDataWithDotsForMissingDays) {
    std::string text = "DATE,VALUE\n";
    std::vector<Day> kept;
    for (size_t i = 0; i < days.size(); ++i) {
        const bool holiday = i == 4 || i == 11 || i == 12;
        text += Iso(days[i]) + "," +
                (holiday ? "." : Format("%.2f", std::strtod(days[i].close.c_str(), nullptr))) +
                "\n";
        if (!holiday) {
            kept.push_back(days[i]);
        }
    }
    ASSERT_TRUE(Import("SP500.csv", text, 1, 2));
    EXPECT_EQ(Imported(), Expected(kept, &Day::close, 2));
    EXPECT_EQ(report.badValue.count, 3);
    EXPECT_EQ(report.badValue.lines, (Lines{6, 13, 14}));
    EXPECT_EQ(report.skipped, 4);
    EXPECT_EQ(report.Summary(),
              "SP500: 27 points; 1 line without a date (line 1); 3 values not a number (lines 6, "
              "13, 14)");
}

// A European bank's export: semicolons, day-first dates with dots, "1.469,25".
TEST_F(ImportLayoutsTest, SemicolonsAndDecimalCommas) {
    std::string text = "Datum;Eröffnung;Hoch;Tief;Schluss;Volumen\n";
    for (const Day& d : days) {
        text += Format("%02.0f.%02.0f.%.0f", d.day, d.month, d.year) + ";" +
                Grouped(d.open, '.', ',') + ";" + Grouped(d.high, '.', ',') + ";" +
                Grouped(d.low, '.', ',') + ";" + Grouped(d.close, '.', ',') + ";" +
                Grouped(d.volume, '.', ',', 0) + "\n";
    }
    ASSERT_TRUE(Import("dax.csv", text, 1, 5));
    EXPECT_EQ(Imported(), Expected(days, &Day::close, 2));
    EXPECT_EQ(report.separator, ';');
    EXPECT_EQ(report.decimalMark, ',');
    EXPECT_EQ(report.dateOrder, CDataImporter::kDayFirst);
    // Small prices: "45,12" is 45.12.
    ASSERT_TRUE(Import("small.csv", "Datum;Kurs\n14.01.2020;45,12\n15.01.2020;44,9\n", 1, 2));
    EXPECT_EQ(Imported(), "1/14/2020=45.12000 1/15/2020=44.90000 ");
}

// A spreadsheet's "save as CSV": every field quoted, thousands separators, CR LF.
TEST_F(ImportLayoutsTest, QuotedSpreadsheetFields) {
    std::string text = "\"Date\",\"Open\",\"High\",\"Low\",\"Close\",\"Volume\"\r\n";
    for (const Day& d : days) {
        text += "\"" + Us(d) + "\",\"" + Grouped(d.open, ',', '.') + "\",\"" +
                Grouped(d.high, ',', '.') + "\",\"" + Grouped(d.low, ',', '.') + "\",\"" +
                Grouped(d.close, ',', '.') + "\",\"" + Grouped(d.volume, ',', '.', 0) + "\"\r\n";
    }
    ASSERT_TRUE(Import("spreadsheet.csv", text, 1, 5));
    EXPECT_EQ(Imported(), Expected(days, &Day::close, 2));
    EXPECT_EQ(report.separator, ',');
    EXPECT_EQ(report.decimalMark, '.');
    EXPECT_EQ(report.skipped, 1);

    CImportPreview preview;
    ASSERT_TRUE(PreviewRawFile(path, 1, 5, preview));
    EXPECT_EQ(preview.headers,
              (std::vector<std::string>{"Date", "Open", "High", "Low", "Close", "Volume"}));
    ASSERT_EQ(preview.rows.size(), CImportPreview::kPreviewRows);
    EXPECT_EQ(preview.rows[0], (std::vector<std::string>{"1/3/2000", "1,469.25", "1,478.00",
                                                         "1,438.36", "1,455.22", "931,800,000"}));
    ASSERT_EQ(preview.firstPoints.size(), CImportPreview::kPreviewRows);
    EXPECT_EQ(preview.firstPoints[1],
              (std::pair<std::string, std::string>{"1/4/2000", "1399.42000"}));
    EXPECT_EQ(preview.report.points, 30);
    EXPECT_EQ(preview.report.dataSet, nullptr);
    EXPECT_EQ(project.DataSetCount(), 1);  // the preview added nothing
}

TEST_F(ImportLayoutsTest, TabsCurrencySignsAndAByteOrderMark) {
    std::string tabs = "Date\tOpen\tHigh\tLow\tClose\tAdj Close\tVolume\n";
    std::string dollars = "Date,Close/Last,Volume,Open,High,Low\n";
    std::string marked = "\xEF\xBB\xBF";
    for (const Day& d : days) {
        tabs += Iso(d) + "\t" + d.open + "\t" + d.high + "\t" + d.low + "\t" + d.close + "\t" +
                d.close + "\t" + d.volume + "\n";
        dollars += Format("%02.0f/%02.0f/%.0f", d.month, d.day, d.year) + ",$" +
                   Format("%.2f", std::strtod(d.close.c_str(), nullptr)) + "," + d.volume + ",$" +
                   Format("%.2f", std::strtod(d.open.c_str(), nullptr)) + ",$1,$1\n";
        marked += Iso(d) + "," + d.close + "\n";
    }
    ASSERT_TRUE(Import("tabs.txt", tabs, 1, 5));
    EXPECT_EQ(Imported(), Expected(days, &Day::close));
    EXPECT_EQ(report.separator, '\t');
    ASSERT_TRUE(Import("nasdaq.csv", dollars, 1, 2));
    EXPECT_EQ(Imported(), Expected(days, &Day::close, 2));
    EXPECT_EQ(report.dateOrder, CDataImporter::kMonthFirst);
    ASSERT_TRUE(Import("marked.csv", marked, 1, 2));
    EXPECT_EQ(Imported(), Expected(days, &Day::close));
    EXPECT_EQ(report.skipped, 0);
    EXPECT_EQ(report.Summary(), "MARKED: 30 points");
}

// Timestamps and hourly bars: the time never moves the columns, and a day gives one point, its
// last in time, whichever way the file runs.
TEST_F(ImportLayoutsTest, TimesOfDayAndHourlyBars) {
    std::string stamped = "timestamp,open,high,low,close,volume\n";
    std::string zulu;
    for (const Day& d : days) {
        stamped += Iso(d) + " 16:00:00," + d.open + "," + d.high + "," + d.low + "," + d.close +
                   "," + d.volume + "\n";
        zulu += Iso(d) + "T21:00:00Z\t" + d.close + "\n";
    }
    ASSERT_TRUE(Import("stamped.csv", stamped, 1, 5));
    EXPECT_EQ(Imported(), Expected(days, &Day::close));
    ASSERT_TRUE(Import("zulu.tsv", zulu, 1, 2));
    EXPECT_EQ(Imported(), Expected(days, &Day::close));

    // Three days of seven hourly bars; the close is the last bar's.
    std::string up = "Date Time Open High Low Close\n";
    std::vector<std::string> bars;
    for (int day = 3; day <= 5; ++day) {
        for (int hour = 9; hour <= 15; ++hour) {
            const double close = 1400.0 + day * 10 + (hour - 9) * 0.25;
            bars.push_back(Format("2000-01-%02.0f %02.0f:30", day, hour) +
                           " 1400.00 1480.00 1390.00 " + Format("%.2f", close));
        }
    }
    std::string down = up;
    for (size_t i = 0; i < bars.size(); ++i) {
        up += bars[i] + "\n";
        down += bars[bars.size() - 1 - i] + "\n";
    }
    const std::string closes = "1/3/2000=1431.50000 1/4/2000=1441.50000 1/5/2000=1451.50000 ";
    ASSERT_TRUE(Import("hourly.txt", up, 1, 5));
    EXPECT_EQ(Imported(), closes);
    EXPECT_EQ(report.separator, ' ');
    EXPECT_EQ(report.merged.count, 18);
    EXPECT_EQ(report.merged.lines, (Lines{2, 3, 4, 5, 6}));
    EXPECT_EQ(report.outOfOrder.count, 0);
    ASSERT_TRUE(Import("hourly-down.txt", down, 1, 5));
    EXPECT_EQ(Imported(), closes);
    EXPECT_EQ(report.merged.count, 18);
    EXPECT_EQ(report.merged.lines, (Lines{3, 4, 5, 6, 7}));
}

// Day-first monthly dates on the 1st never have a day above 12: the spacing decides.
TEST_F(ImportLayoutsTest, MonthlyDatesOnTheFirstReadDayFirst) {
    const char* closes[] = {"1320.28", "1366.01", "1239.94", "1160.33", "1249.46", "1255.82",
                            "1224.38", "1211.23", "1133.58", "1040.94", "1059.78", "1139.45",
                            "1148.08", "1130.20", "1106.73", "1147.39", "1076.92", "1067.14"};
    std::string text = "Date,Close\n";
    std::string expected;
    for (int i = 0; i < 18; ++i) {
        const int month = i % 12 + 1;
        const int year = 2001 + i / 12;
        text += Format("01/%02.0f/%.0f", month, year) + "," + closes[i] + "\n";
        expected += std::to_string(month) + "/1/" + std::to_string(year) + "=" +
                    Format("%.5f", std::strtod(closes[i], nullptr)) + " ";
    }
    ASSERT_TRUE(Import("monthly.csv", text, 1, 2));
    EXPECT_EQ(Imported(), expected);
    EXPECT_EQ(report.dateOrder, CDataImporter::kDayFirst);
    EXPECT_FALSE(report.dateOrderGuessed);
    // One ambiguous date decides nothing: month first, and the report says it was a guess.
    ASSERT_TRUE(Import("one.csv", "01/02/2003,100.5\n", 1, 2));
    EXPECT_EQ(Imported(), "1/2/2003=100.50000 ");
    EXPECT_TRUE(report.dateOrderGuessed);
}

TEST_F(ImportLayoutsTest, OnlyCalendarDaysAndValuesTheFileHolds) {
    const std::string text =
        "Date,Close\n"
        "1871-01-31,4.44\n"   // 2: years of four digits are what they say
        "1871-02-30,4.50\n"   // 3: no 30 February
        "1871-13-01,4.50\n"   // 4: no month 13
        "45/01/1871,4.50\n"   // 5: no 45 January (day first, decided by the 45)
        "1871-02-28,4.50\n"   // 6
        "1871-03-31,N/A\n"    // 7
        "1871-04-29,-\n"      // 8
        "1871-05-31,12abc\n"  // 9
        "1871-06-30,inf\n"    // 10
        "1871-07-31,nan\n"    // 11
        "1871-08-31,\n"       // 12
        "1871-09-30,null\n"   // 13
        "Source: Shiller\n"   // 14
        "\n"                  // 15
        "1871-10-31,4.61\n"   // 16
        "1871-10-31,4.62\n"   // 17: a repeated date keeps the first
        "1871-09-29,4.60\n";  // 18: out of order
    ASSERT_TRUE(Import("shiller.csv", text, 1, 2));
    EXPECT_EQ(Imported(), "1/31/1871=4.44000 2/28/1871=4.50000 10/31/1871=4.61000 ");
    EXPECT_EQ(report.lines, 18);
    EXPECT_EQ(report.badDate.lines, (Lines{3, 4, 5}));
    EXPECT_EQ(report.badValue.count, 7);
    EXPECT_EQ(report.badValue.lines, (Lines{7, 8, 9, 10, 11}));
    EXPECT_EQ(report.noDate.lines, (Lines{1, 14}));
    EXPECT_EQ(report.blank.lines, Lines{15});
    EXPECT_EQ(report.outOfOrder.lines, (Lines{17, 18}));
    EXPECT_EQ(report.skipped, 15);
    // Old Macs end lines with a CR alone.
    ASSERT_TRUE(Import("mac.csv", "Date,Close\r1871-01-31,4.44\r1871-02-28,4.50\r", 1, 2));
    EXPECT_EQ(Imported(), "1/31/1871=4.44000 2/28/1871=4.50000 ");
    EXPECT_EQ(report.lines, 3);
}

// Input that gives no point ends with a message and leaves the project as it was.
TEST_F(ImportLayoutsTest, NoPointAddsNoDataSet) {
    ASSERT_TRUE(Import("kept.csv", "2000-01-03,1455.22\n", 1, 2));
    CDataSet* kept = project.Current();
    const char png[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0";
    const std::string binary(png, sizeof png - 1);
    struct Case {
        std::string name, text, reason;
    };
    for (const Case& c :
         {Case{"picture.png", binary, "'picture.png' gave no point: 3 lines read;"},
          Case{"empty.csv", "", "'empty.csv' gave no point: 0 lines read"},
          Case{"headers.csv", "Date,Open,High,Low,Close\n",
               "'headers.csv' gave no point: 1 line read; 1 line without a date (line 1)"},
          Case{"missing.csv", "DATE,VALUE\n2000-01-03,.\n2000-01-04,\n2000-01-05,N/A\n",
               "'missing.csv' gave no point: 4 lines read; 1 line without a date (line 1); 3 "
               "values not a number (lines 2, 3, 4)"}}) {
        const CStatus status = Import(c.name, c.text, 1, 2);
        EXPECT_FALSE(status) << c.name;
        EXPECT_EQ(status.Reason().substr(0, c.reason.size()), c.reason) << status.Reason();
        EXPECT_EQ(report.dataSet, nullptr);
        EXPECT_EQ(project.DataSetCount(), 1) << c.name;
        EXPECT_EQ(project.Current(), kept) << c.name;
    }
}

}  // namespace
