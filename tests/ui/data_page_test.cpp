#include "ui/pages/data_page.h"

#include <fstream>

#include "ui_fixture.h"

namespace {

using DataPageTest = UiTest;

TEST_F(DataPageTest, TypedColumnsReachTheImportThroughTheStoreAndEachImportBecomesCurrent) {
    Start();
    Show(PAGE_DATA);
    const std::string raw = (Scratch() / "raw.txt").string();
    std::ofstream(raw) << "10,x,2003-01-02\n11,x,2003-01-03\n";
    Type("datesColumn", "3");
    Type("valuesColumn", "0");  // stored as 1
    Run("&Import...", raw);
    EXPECT_EQ(Text("valuesColumn"), "1");
    EXPECT_EQ(App().Commands().m_datesInCol, 3);
    EXPECT_EQ(Project().Current()->Points().back().GetValue(Raw), 11.0);

    Run("&Import...", raw);  // a second data set, chosen in the tree; still no project file
    ASSERT_EQ(Project().DataSetCount(), 2);
    EXPECT_EQ(Project().Current(), Project().DataSets()[1].get());
    EXPECT_EQ(App().Commands().m_lastFile, "");
    ASSERT_EQ(Frame()->Navigation()->SecondaryNode()->childCount(), 1);
    EXPECT_TRUE(Frame()->Navigation()->SecondaryNode()->child(0)->isSelected());
}

}  // namespace
