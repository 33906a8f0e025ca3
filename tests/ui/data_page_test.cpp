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
    const CDataPoint& last = Project().Current()->Points().back();
    EXPECT_EQ(last.FormatDate(), "1/3/2003");
    EXPECT_EQ(last.GetValue(Raw), 11.0);

    Run("&Import...", raw);  // a second data set, chosen in the tree; still no project file
    using Dialog = CMainApp::FileDialog;
    EXPECT_EQ(m_asked, (std::vector<Dialog>{Dialog::Import, Dialog::Import}));
    ASSERT_EQ(Project().DataSetCount(), 2);
    EXPECT_EQ(Project().Current(), Project().DataSets()[1].get());
    EXPECT_EQ(App().Commands().m_lastFile, "");
    ASSERT_EQ(Frame()->Navigation()->SecondaryNode()->childCount(), 1);
    EXPECT_TRUE(Frame()->Navigation()->SecondaryNode()->child(0)->isSelected());

    App().Commands().m_valsInCol = 5;
    Frame()->Refresh(REFRESH_LOAD);
    EXPECT_EQ(Text("valuesColumn"), "5");
}

}  // namespace
