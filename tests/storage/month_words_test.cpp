#include "storage/month_words.h"

#include <gtest/gtest.h>

#include <string>

#include "storage/number_style.h"
#include "storage/text_encoding.h"

namespace {

TEST(MonthWordsTest, NamesOfSevenLanguagesInAnyCaseWithOrWithoutAccents) {
    struct Case {
        const char* word;
        int32_t month;
    };
    for (const Case& c : {
             Case{"JAN", 1},
             Case{"ene", 1},
             Case{"gen", 1},
             Case{"janv.", 1},
             Case{"Januar", 1},
             Case{"Jänner", 1},
             Case{"févr.", 2},
             Case{"fev", 2},
             Case{"Fevereiro", 2},
             Case{"März", 3},
             Case{"Maerz", 3},
             Case{"Mrz", 3},
             Case{"mrt", 3},
             Case{"março", 3},
             Case{"mar", 3},
             Case{"abr", 4},
             Case{"avr.", 4},
             Case{"mai", 5},
             Case{"mag", 5},
             Case{"mei", 5},
             Case{"juin", 6},
             Case{"giu", 6},
             Case{"juil.", 7},
             Case{"lug", 7},
             Case{"août", 8},
             Case{"AGO", 8},
             Case{"Sept", 9},
             Case{"set", 9},
             Case{"okt", 10},
             Case{"out", 10},
             Case{"ott", 10},
             Case{"dic", 12},
             Case{"Dez.", 12},
             Case{"décembre", 12},
             // Unknown, or the beginning of two months' names
             Case{"jui", 0},
             Case{"sty", 0},
             Case{"maj", 0},
             Case{"ju", 0},
             Case{"Total", 0},
             Case{"Close", 0},
             Case{"januaryy", 0},
             Case{"3mar", 0},
         }) {
        EXPECT_EQ(MonthFromWord(c.word), c.month) << c.word;
    }
    EXPECT_TRUE(LooksLikeMonthWord("sty"));
    EXPECT_FALSE(LooksLikeMonthWord("N/A"));
}

TEST(NumberStyleTest, ThousandsMarksPercentsAndLimits) {
    struct Case {
        const char* text;
        char mark;
        bool read;
        double value;
    };
    for (const Case& c : {
             Case{"11'228.48", '.', true, 11228.48},
             Case{"11\xE2\x80\x99"
                  "228.48",
                  '.', true, 11228.48},
             Case{"7\xE2\x80\xAF"
                  "530,86",
                  ',', true, 7530.86},
             Case{"7\xC2\xA0"
                  "530,86 \xE2\x82\xAC",
                  ',', true, 7530.86},
             Case{"2 411,50", ',', true, 2411.5},
             Case{"1'234'567", '.', true, 1234567.0},
             Case{"-1.41%", '.', true, -1.41},
             Case{"3.95 %", '.', true, 3.95},
             Case{"1'23.5", '.', false, 0.0},       // groups of three only
             Case{"1'234,567.8", '.', false, 0.0},  // one thousands mark per number
             Case{"12%%", '.', false, 0.0},
         }) {
        double value = 0.0;
        EXPECT_EQ(CNumberStyle(c.mark).Read(c.text, value), c.read) << c.text;
        if (c.read) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        }
    }
    // What a value says of the decimal mark.
    EXPECT_EQ(CNumberStyle::Vote("-0.037"), '.');
    EXPECT_EQ(CNumberStyle::Vote("1234.567"), '.');
    EXPECT_EQ(CNumberStyle::Vote("132.697"), 0);
    EXPECT_TRUE(CNumberStyle::Ambiguous("132.697"));
    EXPECT_FALSE(CNumberStyle::Ambiguous("132.69"));
}

TEST(TextEncodingTest, Utf16AndWindows1252BecomeUtf8) {
    EXPECT_EQ(DetectEncoding("2024-01-02,45,12 \x80\n"), ETextEncoding::Windows1252);
    EXPECT_EQ(DetectEncoding("Schlu\xC3\x9F,45"), ETextEncoding::Utf8);
    EXPECT_EQ(DetectEncoding("ok \xE2\x82"), ETextEncoding::Utf8);  // cut by the end of the chunk
    EXPECT_EQ(ToUtf8("12,50 \x80 11\x92"
                     "228 \xE4",
                     ETextEncoding::Windows1252),
              "12,50 \xE2\x82\xAC 11\xE2\x80\x99"
              "228 \xC3\xA4");
    const std::string little(
        "\xFF\xFE"
        "1\0/\0\xAC\x20\x3D\xD8\x00\xDE",
        12);
    EXPECT_EQ(DetectEncoding(little), ETextEncoding::Utf16LittleEndian);
    EXPECT_EQ(ToUtf8(little, ETextEncoding::Utf16LittleEndian), "1/\xE2\x82\xAC\xF0\x9F\x98\x80");
    const std::string big("\xFE\xFF\0A\xD8\x3D", 6);  // an unpaired surrogate at the end
    EXPECT_EQ(ToUtf8(big, ETextEncoding::Utf16BigEndian), "A\xEF\xBF\xBD");
}

}  // namespace
