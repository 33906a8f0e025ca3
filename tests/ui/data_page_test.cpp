#include "ui/pages/data_page.h"

#include <gtest/gtest.h>

#include <fstream>

#include "model/project.h"
#include "page_fixture.h"

namespace {

using DataPageTest = PageTest;

TEST_F(DataPageTest, MoveUpAndDeleteActOnTheCurrentDataSet) {
    StartOn(PAGE_DATA);
    CDataSet* a = Project().AddDataSet("A");
    CDataSet* b = Project().AddDataSet("B");
    Project().SetCurrentDataSet(b);
    for (int clicks = 0; clicks < 2; ++clicks) {  // the second finds B first already
        Click("moveUp");
        EXPECT_EQ(Project().Primary(), b);
        EXPECT_EQ(Project().DataSets().back().get(), a);
    }
    Click("delete");
    EXPECT_EQ(Project().Current(), a);
    Click("delete");
    Click("delete");
    EXPECT_EQ(Project().DataSetCount(), 0);
}

TEST_F(DataPageTest, TypedColumnsReachTheImportThroughTheStoreAndLoadShowsTheSettings) {
    StartOn(PAGE_DATA);
    const std::string raw = (Scratch() / "raw.txt").string();
    std::ofstream(raw) << "10,x,2003-01-02\n11,x,2003-01-03\n";
    Type("datesColumn", "3");
    Type("valuesColumn", "0");  // stored as 1
    Answer(raw);
    Run("&Import...");
    EXPECT_EQ(Text("valuesColumn"), "1");
    EXPECT_EQ(App().Files().m_datesInCol, 3);
    EXPECT_EQ(App().Files().m_valsInCol, 1);
    const CDataPoint& last = Project().Current()->Points().back();
    EXPECT_EQ(last.FormatDate(), "1/3/2003");
    EXPECT_EQ(last.GetValue(Raw), 11.0);

    App().Files().m_valsInCol = 5;
    Frame()->Refresh(REFRESH_LOAD);
    EXPECT_EQ(Text("valuesColumn"), "5");
}

}  // namespace
