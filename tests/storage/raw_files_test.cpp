// Price files as brokers, exchanges, portals, central banks, statistics offices, crypto
// exchanges and spreadsheets write them (tests/storage/raw_files): each gives exactly the
// points its reader expects, or is refused with a message that says what to change.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "model/data_set.h"
#include "model/project.h"
#include "storage/project_io.h"
#include "support/test_files.h"

namespace {

const std::string kFolder = QUILLMARK_SOURCE_DIR "/tests/storage/raw_files/";

struct RawFile {
    const char* name;
    int32_t dates;
    int32_t values;
    // "month/day/year=value " of every point, or the start of the refusal.
    const char* expected;
};

std::string Points(const CDataSet* ds) {
    if (ds == nullptr) {
        return "(none)";
    }
    std::string text;
    char value[64];
    for (const CDataPoint& p : ds->Points()) {
        std::snprintf(value, sizeof value, "%.5f", p.GetValue(Raw));
        text += p.FormatDate() + "=" + value + " ";
    }
    return text;
}

CStatus ImportFile(CProject& project, const RawFile& file, CImportReport& report,
                   CImportChoices choices = {}) {
    choices.datesColumn = file.dates;
    choices.valuesColumn = file.values;
    return ImportRawFile(project, kFolder + file.name, choices, report);
}

TEST(RawFilesTest, EachFileGivesThePointsItHolds) {
    const RawFile files[] = {
        // A title with "U.S." before the header votes for nothing.
        {"fed_h15_treasury.csv", 1, 2,
         "1/2/2024=3.94600 1/3/2024=3.90700 1/4/2024=3.98800 1/5/2024=4.04700 "
         "1/8/2024=4.00600 "},
        {"comdirect_dax.csv", 1, 5,
         "1/2/2024=16769.36000 1/3/2024=16538.39000 1/4/2024=16617.29000 1/5/2024=16594.21000 "
         "1/8/2024=16716.47000 "},
        // "33.288" alone could be either; the volumes' "1.842.300" tells.
        {"nikkei_points.csv", 1, 2,
         "1/4/2024=33288.00000 1/5/2024=33377.00000 1/9/2024=33763.00000 1/10/2024=34441.00000 "
         "1/11/2024=35049.00000 "},
        {"euribor_negative.csv", 1, 2,
         "7/1/2021=-0.56700 7/2/2021=-0.56600 7/5/2021=-0.56800 7/6/2021=-0.56500 "},
        // Two-digit years first: only year-month-day gives days that run one way.
        {"nikkei_yymmdd.csv", 1, 2,
         "6/27/2024=39341.54000 6/28/2024=39583.08000 7/1/2024=39631.06000 7/2/2024=40074.69000 "
         "7/3/2024=40580.76000 7/4/2024=40913.65000 "},
        // "FTSE 100" keeps its column: commas alone separate.
        {"ftse_named.csv", 2, 6,
         "1/11/2024=7576.59000 1/12/2024=7624.93000 1/15/2024=7594.91000 1/16/2024=7558.34000 "},
        {"statement_aligned.txt", 1, 2,
         "1/2/2020=3257.85000 1/3/2020=3234.85000 1/6/2020=3246.28000 1/7/2020=3237.18000 "},
        // A comma in the title does not make the commas of the numbers separators.
        {"statement_titled.txt", 1, 2,
         "1/2/2020=3257.85000 1/3/2020=3234.85000 1/6/2020=3246.28000 "},
        // The time column joins the date: each day's last bar.
        {"eurusd_h4.csv", 1, 6, "1/2/2024=1.09410 1/3/2024=1.09180 "},
        {"smi_apostrophe.csv", 1, 3,
         "1/3/2024=11228.48000 1/4/2024=11235.05000 1/5/2024=11174.47000 1/8/2024=11192.93000 "},
        {"cac40_boursorama.csv", 1, 3,
         "1/2/2024=7530.86000 1/3/2024=7450.63000 1/15/2024=7411.42000 1/16/2024=7398.44000 "},
        {"cac40_nbsp.csv", 1, 2, "1/2/2024=7530.86000 1/3/2024=7450.63000 1/15/2024=7411.42000 "},
        {"ibex_es.csv", 1, 2,
         "12/29/2023=10102.10000 1/2/2024=10139.00000 1/31/2024=10077.70000 "
         "2/1/2024=10008.10000 3/1/2024=10130.80000 4/2/2024=11104.90000 "},
        {"ftsemib_mensile.csv", 1, 2,
         "1/1/2024=30787.53000 2/1/2024=31958.91000 3/1/2024=34750.35000 4/1/2024=33922.16000 "
         "5/1/2024=34502.00000 6/1/2024=33115.90000 "},
        {"aex_nl.csv", 1, 2, "3/1/2024=857.12000 5/2/2024=870.55000 10/1/2024=908.64000 "},
        // 29 February 1900 is no day; the rest of the history stays.
        {"djia_1900.csv", 1, 2,
         "2/26/1900=63.84000 2/27/1900=63.62000 2/28/1900=63.88000 3/1/1900=64.02000 "
         "3/2/1900=64.37000 "},
        {"finam_daily.txt", 3, 8,
         "1/3/2024=274.20000 1/4/2024=274.66000 1/5/2024=273.92000 1/8/2024=276.20000 "},
        {"finam_hourly.txt", 3, 8, "1/3/2024=274.20000 1/4/2024=274.66000 "},
        {"investing_spx.csv", 1, 2,
         "1/3/2024=4704.81000 1/4/2024=4688.68000 1/5/2024=4697.24000 1/8/2024=4763.54000 "},
        {"boe_xudlusd.csv", 1, 2,
         "1/2/2024=1.26270 1/3/2024=1.26320 1/4/2024=1.26790 1/5/2024=1.26830 "},
        {"lse_blank.txt", 1, 2, "1/2/2024=7721.52000 1/3/2024=7682.30000 1/4/2024=7723.07000 "},
        {"rba_monthly.csv", 1, 2,
         "1/1/2020=0.70210 2/1/2020=0.67110 3/2/2020=0.65320 4/1/2020=0.61390 "},
        {"eurostat_hicp.csv", 7, 8,
         "1/1/2015=98.50000 2/1/2015=99.40000 3/1/2015=99.90000 4/1/2015=100.20000 "},
        {"binance_btcusdt_1d.csv", 1, 5,
         "1/1/2024=44179.55000 1/2/2024=44946.91000 1/3/2024=42845.23000 "},
        // Newest first, hourly: each day's last hour.
        {"coinbase_hourly.csv", 1, 5, "1/1/2024=42650.10000 1/2/2024=44881.20000 "},
        {"excel_day_numbers.csv", 1, 2,
         "1/2/2024=4742.83000 1/3/2024=4704.81000 1/4/2024=4688.68000 1/5/2024=4697.24000 "},
        {"unicode_text.txt", 1, 2,
         "1/2/2024=4742.83000 1/3/2024=4704.81000 1/4/2024=4688.68000 1/5/2024=4697.24000 "},
        {"sparkasse_1252.csv", 1, 2, "1/2/2024=45.12000 1/3/2024=44.90000 1/4/2024=45.37000 "},
        {"swissquote_1252.csv", 1, 2, "1/3/2024=11228.48000 1/4/2024=11235.05000 "},
        {"treasury_percent.csv", 1, 2, "1/2/2024=3.95000 1/3/2024=3.91000 1/4/2024=3.99000 "},
        // One semicolon in a note chooses nothing.
        {"broker_preamble.csv", 1, 5,
         "1/2/2024=472.65000 1/3/2024=468.79000 1/4/2024=467.28000 1/5/2024=467.92000 "},
        // Weekends marked "." are gaps, not a fault: they leave out less than half.
        {"bundesbank_daily.csv", 1, 2,
         "1/2/2024=2.03000 1/3/2024=2.01000 1/4/2024=2.12000 1/5/2024=2.16000 "
         "1/8/2024=2.14000 "},
        {"ons_cpi.csv", 1, 2, "1/1/2023=126.40000 2/1/2023=127.20000 3/1/2023=128.10000 "},
        {"barchart_weekdays.csv", 1, 2,
         "1/2/2024=4742.83000 1/3/2024=4704.81000 1/4/2024=4688.68000 "},
        {"wsj_newest_first.csv", 1, 5,
         "1/9/2024=4756.50000 1/10/2024=4783.45000 1/11/2024=4780.24000 1/12/2024=4783.83000 "},
    };
    for (const RawFile& file : files) {
        CProject project;
        CImportReport report;
        const CStatus status = ImportFile(project, file, report);
        EXPECT_TRUE(status) << file.name << ": " << status.Reason();
        EXPECT_EQ(Points(report.dataSet), file.expected) << file.name;
        EXPECT_FALSE(report.dateOrderGuessed) << file.name;
    }
}

TEST(RawFilesTest, FilesThatCannotBeReadRightAreRefusedWithWhatToChange) {
    const RawFile files[] = {
        {"bund_yields.csv", 1, 2,
         "'bund_yields.csv' not imported: the decimal mark is not decided by the file: '2.035' "
         "could be 2.035 or 2035; choose the decimal mark"},
        {"wig20_pl.csv", 1, 2,
         "'wig20_pl.csv' gave no point: 4 lines read; 1 line without a date (line 1); 3 month "
         "names not known (lines 2, 3, 4); read with fields separated by semicolons, decimal "
         "comma, dates month first; month name 'sty' not known"},
        {"omxs30_se.csv", 1, 2,
         "'omxs30_se.csv' not imported: month name 'maj' not known (line 4); write the months as "
         "numbers or in English, German, French, Spanish, Italian, Portuguese or Dutch"},
        {"fund_nulls.csv", 1, 5,
         "'fund_nulls.csv' not imported: 3 of 5 dated rows hold no number in column 5 (lines 2, "
         "3, 5); check the value column"},
        // Thousands marks this program does not take: every value above 1,000 unread.
        {"nifty_lakh.csv", 1, 2,
         "'nifty_lakh.csv' not imported: 3 of 5 dated rows hold a value that does not read as a "
         "number in column 2 (lines 4, 5, 6); check the value column and the decimal mark"},
        {"eurusd_h4_no_time.csv", 1, 5,
         "'eurusd_h4_no_time.csv' not imported: most dates repeat with other values and no time "
         "of day (lines 3, 4, 5, 7, 8)"},
    };
    for (const RawFile& file : files) {
        CProject project;
        CImportReport report;
        const CStatus status = ImportFile(project, file, report);
        EXPECT_FALSE(status) << file.name;
        EXPECT_EQ(status.Reason().substr(0, std::string(file.expected).size()), file.expected);
        // No point at all: not a price file this program can read; otherwise a choice to make.
        const bool noPoint = std::string(file.expected).find("gave no point") != std::string::npos;
        EXPECT_EQ(status.Kind(), noPoint ? StatusKind::Damaged : StatusKind::Refused) << file.name;
        EXPECT_EQ(project.DataSetCount(), 0) << file.name;
    }
}

// What the refusals ask for: the decimal mark chosen reads the yields; "import anyway" takes the
// rows that were read, and the report still lists the others.
TEST(RawFilesTest, ChoicesAndImportAnyway) {
    CProject project;
    CImportReport report;
    CImportChoices point;
    point.decimalMark = '.';
    ASSERT_TRUE(ImportFile(project, {"bund_yields.csv", 1, 2, ""}, report, point));
    EXPECT_EQ(Points(report.dataSet),
              "1/2/2024=2.03500 1/3/2024=2.01200 1/4/2024=2.11800 1/5/2024=2.15700 ");
    CImportChoices anyway;
    anyway.allowPartial = true;
    ASSERT_TRUE(ImportFile(project, {"fund_nulls.csv", 1, 5, ""}, report, anyway));
    EXPECT_EQ(Points(report.dataSet), "1/4/2024=10.12000 1/8/2024=10.20000 ");
    EXPECT_EQ(report.badValue.count, 3);
    ASSERT_TRUE(ImportFile(project, {"omxs30_se.csv", 1, 2, ""}, report, anyway));
    EXPECT_EQ(Points(report.dataSet),
              "4/2/2024=2487.31000 4/30/2024=2443.95000 6/3/2024=2561.80000 7/1/2024=2590.47000 ");
    // An undecided mark is no partial import: it still needs the choice.
    EXPECT_FALSE(ImportFile(project, {"bund_yields.csv", 1, 2, ""}, report, anyway));
    // A chosen date order overrides the file's.
    CImportChoices dayFirst;
    dayFirst.dateOrder = 0;
    ASSERT_TRUE(ImportFile(project, {"treasury_percent.csv", 1, 2, ""}, report, dayFirst));
    EXPECT_EQ(Points(report.dataSet), "2/1/2024=3.95000 3/1/2024=3.91000 4/1/2024=3.99000 ");
    EXPECT_EQ(project.DataSetCount(), 4);
}

// The report says how each kind of file was read.
TEST(RawFilesTest, TheReportSaysHowTheFileWasRead) {
    struct Case {
        RawFile file;
        const char* how;
    };
    for (const Case& c : {
             Case{{"comdirect_dax.csv", 1, 5, ""},
                  "fields separated by semicolons, decimal comma, dates day first"},
             Case{{"statement_aligned.txt", 1, 2, ""},
                  "fields separated by blanks, decimal point, dates month first"},
             Case{{"nikkei_yymmdd.csv", 1, 2, ""},
                  "fields separated by commas, decimal point, dates year first"},
             Case{{"binance_btcusdt_1d.csv", 1, 5, ""},
                  "fields separated by commas, decimal point, dates as epoch milliseconds"},
             Case{{"excel_day_numbers.csv", 1, 2, ""},
                  "fields separated by commas, decimal point, dates as spreadsheet days"},
         }) {
        CProject project;
        CImportReport report;
        ASSERT_TRUE(ImportFile(project, c.file, report)) << c.file.name;
        EXPECT_EQ(report.HowRead(), c.how) << c.file.name;
    }
    CProject project;
    CImportReport report;
    ASSERT_TRUE(ImportFile(project, {"unicode_text.txt", 1, 2, ""}, report));
    EXPECT_EQ(report.encoding, "UTF-16");
    ASSERT_TRUE(ImportFile(project, {"sparkasse_1252.csv", 1, 2, ""}, report));
    EXPECT_EQ(report.encoding, "Windows-1252");
    ASSERT_TRUE(ImportFile(project, {"eurusd_h4.csv", 1, 6, ""}, report));
    EXPECT_EQ(report.timeColumn, 2);
    EXPECT_EQ(report.merged.count, 7);
}

// A price below a cent survives the project file with every digit it had.
TEST(RawFilesTest, SubPennyPricesKeepTheirDigitsInTheProjectFile) {
    CProject project;
    CImportReport report;
    ASSERT_TRUE(ImportFile(project, {"otc_subpenny.csv", 1, 2, ""}, report));
    TempFolder folder;
    const std::string path = folder.PathOf("otc.xml");
    ASSERT_TRUE(WriteProjectFile(project, path));
    const std::string text = FileText(path);
    EXPECT_NE(text.find("VALUE=\"0.00010523\""), std::string::npos) << text;
    EXPECT_NE(text.find("VALUE=\"0.00009871\""), std::string::npos) << text;
    EXPECT_NE(text.find("VALUE=\"0.00010\""), std::string::npos) << text;  // five decimals hold it
    CProject read;
    ASSERT_TRUE(ReadProjectFile(read, path));
    ASSERT_EQ(read.DataSetCount(), 1);
    const auto& points = read.Primary()->Points();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].GetValue(Raw), 0.00010523);
    EXPECT_EQ(points[1].GetValue(Raw), 0.00009871);
}

}  // namespace
