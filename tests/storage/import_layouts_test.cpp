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
    std::string line, adj;
    std::getline(in, line);
    std::vector<Day> days;
    while (days.size() < count && std::getline(in, line)) {
        std::stringstream fields(line);
        Day d;
        std::getline(fields, line, ',');
        std::sscanf(line.c_str(), "%d-%d-%d", &d.year, &d.month, &d.day);
        for (std::string* field : {&d.open, &d.high, &d.low, &d.close, &adj, &d.volume}) {
            std::getline(fields, *field, ',');
        }
        days.push_back(d);
    }
    return days;
}

std::string Format(const char* format, double a, double b = 0, double c = 0) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

std::string Cents(const std::string& number) {
    return Format("%.2f", std::strtod(number.c_str(), nullptr));
}

std::string Iso(const Day& d) {
    return Format("%04.0f-%02.0f-%02.0f", d.year, d.month, d.day);
}

std::string Us(const Day& d) {
    return Format("%.0f/%.0f/%.0f", d.month, d.day, d.year);
}

// "1,469.25": the integer part grouped by threes with `group`, the cents after `mark`.
std::string Grouped(const std::string& number, char group, char mark, bool cents = true) {
    const std::string plain = cents ? Cents(number) : number;
    const std::string whole = plain.substr(0, plain.find('.'));
    std::string text;
    for (size_t i = 0; i < whole.size(); ++i) {
        text += (i > 0 && (whole.size() - i) % 3 == 0 ? std::string(1, group) : "") + whole[i];
    }
    return cents ? text + mark + plain.substr(whole.size() + 1) : text;
}

// "month/day/year=value " of the days, as Imported() shows a series.
std::string Expected(const std::vector<Day>& days, std::string Day::*field, bool cents = false) {
    std::string text;
    for (const Day& d : days) {
        const std::string value = cents ? Cents(d.*field) : d.*field;
        text += Us(d) + "=" + Format("%.5f", std::strtod(value.c_str(), nullptr)) + " ";
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
        choices.datesColumn = dates;
        choices.valuesColumn = values;
        return ImportRawFile(project, path, choices, report);
    }

    // "month/day/year=value " of every point, for one comparison that shows the whole series.
    std::string Imported() const {
        if (report.dataSet == nullptr) {
            return "(none)";
        }
        std::string text;
        for (const CDataPoint& p : report.dataSet->Points()) {
            text += p.FormatDate() + "=" + Format("%.5f", p.GetValue(Raw)) + " ";
        }
        return text;
    }

    const std::vector<Day> days = Sp500Days(30);
    CImportChoices choices;
    CProject project;
    CImportReport report;
    std::string path;
};

using Lines = std::vector<int64_t>;

TEST_F(ImportLayoutsTest, EachExportersLayoutGivesTheCloses) {
    struct Layout {
        const char* file;
        const char* header;
        std::string (*row)(const Day&);
        int32_t column;
        bool cents;
    };
    for (const Layout& l :
         {Layout{"GSPC.csv", "Date,Open,High,Low,Close,Adj Close,Volume\n",
                 [](const Day& d) {
                     return Iso(d) + "," + d.open + "," + d.high + "," + d.low + "," + d.close +
                            "," + d.close + "," + d.volume + "\n";
                 },
                 5, false},
          // A European bank's export: semicolons, day-first dates with dots, "1.469,25".
          Layout{"dax.csv", "Datum;Eröffnung;Schluss;Volumen\n",
                 [](const Day& d) {
                     return Format("%02.0f.%02.0f.%.0f", d.day, d.month, d.year) + ";" +
                            Grouped(d.open, '.', ',') + ";" + Grouped(d.close, '.', ',') + ";" +
                            Grouped(d.volume, '.', ',', false) + "\n";
                 },
                 3, true},
          Layout{"nasdaq.csv", "Date,Close/Last,Volume,Open\n",
                 [](const Day& d) {
                     return Format("%02.0f/%02.0f/%.0f", d.month, d.day, d.year) + ",$" +
                            Cents(d.close) + "," + d.volume + ",$" + Cents(d.open) + "\n";
                 },
                 2, true},
          Layout{"marked.csv", "\xEF\xBB\xBF",
                 [](const Day& d) { return Iso(d) + "," + d.close + "\n"; }, 2, false},
          // Times of day never move the columns.
          Layout{"stamped.csv", "timestamp,open,close\n",
                 [](const Day& d) { return Iso(d) + " 16:00:00," + d.open + "," + d.close + "\n"; },
                 3, false},
          Layout{"zulu.tsv", "",
                 [](const Day& d) { return Iso(d) + "T21:00:00Z\t" + d.close + "\n"; }, 2, false},
          // A spreadsheet's "save as CSV": every field quoted, thousands separators, CR LF.
          Layout{"spreadsheet.csv", "\"Date\",\"Open\",\"Close\",\"Volume\"\r\n",
                 [](const Day& d) {
                     return "\"" + Us(d) + "\",\"" + Grouped(d.open, ',', '.') + "\",\"" +
                            Grouped(d.close, ',', '.') + "\",\"" +
                            Grouped(d.volume, ',', '.', false) + "\"\r\n";
                 },
                 3, true}}) {
        std::string text = l.header;
        for (const Day& d : days) {
            text += l.row(d);
        }
        ASSERT_TRUE(Import(l.file, text, 1, l.column)) << l.file;
        EXPECT_EQ(Imported(), Expected(days, &Day::close, l.cents)) << l.file;
    }
    // The preview shows the last file as the import reads it and adds nothing to the project.
    CImportPreview preview;
    ASSERT_TRUE(PreviewRawFile(path, 1, 3, preview));
    EXPECT_EQ(preview.headers, (std::vector<std::string>{"Date", "Open", "Close", "Volume"}));
    ASSERT_EQ(preview.rows.size(), CImportPreview::kPreviewRows);
    EXPECT_EQ(preview.rows[0],
              (std::vector<std::string>{"1/3/2000", "1,469.25", "1,455.22", "931,800,000"}));
    ASSERT_EQ(preview.firstPoints.size(), CImportPreview::kPreviewRows);
    EXPECT_EQ(preview.firstPoints[1],
              (std::pair<std::string, std::string>{"1/4/2000", "1399.42000"}));
    EXPECT_EQ(project.DataSetCount(), 7);
    // Small prices: "45,12" is 45.12.
    ASSERT_TRUE(Import("small.csv", "Datum;Kurs\n14.01.2020;45,12\n15.01.2020;44,9\n", 1, 2));
    EXPECT_EQ(Imported(), "1/14/2020=45.12000 1/15/2020=44.90000 ");
}

// Newest first gives the same series; missing days marked by dots are reported with their lines.
TEST_F(ImportLayoutsTest, NewestFirstAndDotsForMissingDays) {
    std::string newest = "Date,Open,Close\n";
    std::string dots = "DATE,VALUE\n";
    std::vector<Day> kept;
    for (size_t i = 0; i < days.size(); ++i) {
        const Day& r = days[days.size() - 1 - i];
        newest += Iso(r) + "," + r.open + "," + r.close + "\r\n";
        const bool holiday = i == 4 || i == 11 || i == 12;
        dots += Iso(days[i]) + "," + (holiday ? "." : Cents(days[i].close)) + "\n";
        if (!holiday) {
            kept.push_back(days[i]);
        }
    }
    ASSERT_TRUE(Import("GSPC-newest.csv", newest, 1, 2));
    EXPECT_EQ(Imported(), Expected(days, &Day::open));
    EXPECT_EQ(report.Summary(), "GSPC-NEWEST: 30 points; 1 line without a date (line 1)");
    ASSERT_TRUE(Import("SP500.csv", dots, 1, 2));
    EXPECT_EQ(Imported(), Expected(kept, &Day::close, true));
    EXPECT_EQ(report.Summary(),
              "SP500: 27 points; 1 line without a date (line 1); 3 values not a number (lines 6, "
              "13, 14)");
}

// Hourly bars: a day gives one point, its last in time, whichever way the file runs.
TEST_F(ImportLayoutsTest, HourlyBarsGiveTheDaysLastBar) {
    // Three days of seven hourly bars; the close is the last bar's.
    std::string up = "Date Time Open High Low Close\n";
    std::vector<std::string> bars;
    for (int day = 3; day <= 5; ++day) {
        for (int hour = 9; hour <= 15; ++hour) {
            bars.push_back(Format("2000-01-%02.0f %02.0f:30 1400.00 1480.00 1390.00 %.2f", day,
                                  hour, 1400.0 + day * 10 + (hour - 9) * 0.25));
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
    EXPECT_EQ(report.merged.count, 18);
    EXPECT_EQ(report.merged.lines, (Lines{2, 3, 4, 5, 6}));
    ASSERT_TRUE(Import("hourly-down.txt", down, 1, 5));
    EXPECT_EQ(Imported(), closes);
    EXPECT_EQ(report.merged.lines, (Lines{3, 4, 5, 6, 7}));
}

// Day-first monthly dates on the 1st never have a day above 12: the spacing decides. One
// ambiguous date decides nothing: month first, and the report says it was a guess.
TEST_F(ImportLayoutsTest, MonthlyDatesOnTheFirstReadDayFirst) {
    std::string text = "Date,Close\n";
    std::string expected;
    for (int i = 0; i < 18; ++i) {
        const int month = i % 12 + 1;
        const int year = 2001 + i / 12;
        text += Format("01/%02.0f/%.0f", month, year) + "," + days[i].close + "\n";
        expected += std::to_string(month) + "/1/" + std::to_string(year) + "=" +
                    Format("%.5f", std::strtod(days[i].close.c_str(), nullptr)) + " ";
    }
    ASSERT_TRUE(Import("monthly.csv", text, 1, 2));
    EXPECT_EQ(Imported(), expected);
    EXPECT_FALSE(report.dateOrderGuessed);
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
        "1871-05-31,12abc\n"  // 8
        "1871-06-30,inf\n"    // 9
        "1871-07-31,nan\n"    // 10
        "1871-08-31,\n"       // 11
        "Source: Shiller\n"   // 12
        "\n"                  // 13
        "1871-10-31,4.61\n"   // 14
        "1871-10-31,4.62\n"   // 15: a repeated date keeps the first
        "1871-09-29,4.60\n";  // 16: out of order
    // Three of thirteen dates that are no day is no success; the user may take the rest.
    const CStatus refused = Import("shiller.csv", text, 1, 2);
    EXPECT_EQ(refused.Reason(),
              "'shiller.csv' not imported: 3 of 13 dates are no calendar day (lines 3, 4, 5); "
              "check the date order (read with fields separated by commas, decimal point, dates "
              "month first)");
    EXPECT_EQ(project.DataSetCount(), 0);
    choices.allowPartial = true;
    ASSERT_TRUE(Import("shiller.csv", text, 1, 2));
    EXPECT_EQ(Imported(), "1/31/1871=4.44000 2/28/1871=4.50000 10/31/1871=4.61000 ");
    EXPECT_EQ(report.badDate.lines, (Lines{3, 4, 5}));
    EXPECT_EQ(report.badValue.lines, (Lines{7, 8, 9, 10, 11}));
    EXPECT_EQ(report.noDate.lines, (Lines{1, 12}));
    EXPECT_EQ(report.blank.lines, Lines{13});
    EXPECT_EQ(report.outOfOrder.lines, (Lines{15, 16}));
    // Old Macs end lines with a CR alone.
    ASSERT_TRUE(Import("mac.csv", "Date,Close\r1871-01-31,4.44\r1871-02-28,4.50\r", 1, 2));
    EXPECT_EQ(Imported(), "1/31/1871=4.44000 2/28/1871=4.50000 ");
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
