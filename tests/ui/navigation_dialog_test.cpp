#include "ui/navigation_dialog.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTreeWidget>

#include "model/project.h"
#include "ui/chart_wnd.h"
#include "ui/lum_sheet.h"
#include "ui_fixture.h"

namespace {

class NavigationTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        Start();
        m_nav = Frame()->Navigation();
    }

    // Clicks the first item of `tree` with this text.
    static void Click(QTreeWidget* tree, const QString& text) {
        const auto items = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_FALSE(items.isEmpty()) << text.toStdString();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(items.first()).center());
    }

    static QStringList Children(QTreeWidgetItem* item) {
        QStringList texts;
        for (int i = 0; i < item->childCount(); ++i) {
            texts << item->child(i)->text(0);
        }
        return texts;
    }

    // Data sets A, B and C in the tree, A current.
    void ThreeDataSets() {
        for (const char* name : {"A", "B", "C"}) {
            Project().AddDataSet(name);
        }
        Frame()->Refresh(REFRESH_DATASETS);
    }

    QTreeWidgetItem* Selected() const {
        const auto items = m_nav->DataSetTree()->selectedItems();
        return items.isEmpty() ? nullptr : items.first();
    }

    CNavigationDialog* m_nav = nullptr;
};

TEST_F(NavigationTest, PageItemsSwitchTheSheetAndGroupItemsDoNot) {
    CLumSheet* sheet = Frame()->Sheet();
    EXPECT_EQ(sheet->currentIndex(), PAGE_INFO);
    const std::pair<const char*, int> pages[] = {
        {"Time Range", PAGE_CONTROLS}, {"Controls", PAGE_CONTROLS}, {"Data", PAGE_CONTROLS},
        {"Analysis", PAGE_CONTROLS},   {"Process", PAGE_ANALYSIS},  {"Parameters", PAGE_PARAMETERS},
        {"Append", PAGE_APPEND},       {"Import", PAGE_DATA},
    };
    for (const auto& [item, page] : pages) {
        Click(m_nav->PageTree(), item);
        EXPECT_EQ(sheet->currentIndex(), page) << item;
    }
}

TEST_F(NavigationTest, ChoosingADataSetStoresThePagesAndMakesItCurrent) {
    ThreeDataSets();
    EXPECT_EQ(Children(m_nav->PrimaryNode()), QStringList{"A"});
    EXPECT_EQ(Children(m_nav->SecondaryNode()), (QStringList{"B", "C"}));
    EXPECT_EQ(CNavigationDialog::DataSetOf(Selected()), Project().Current());

    CRefreshRecorder* recorder = AddRecorder();
    Click(m_nav->DataSetTree(), "C");
    EXPECT_EQ(Project().Current()->m_name, "C");
    EXPECT_EQ(recorder->Codes(), (std::vector<int>{REFRESH_STORE, REFRESH_CURRENT}));
    EXPECT_EQ(Frame()->DataSetChart()->StatusLine().dataSetName, "C");
    EXPECT_EQ(Frame()->HistoryChart()->StatusLine().dataSetName, "A");

    recorder->m_received.clear();
    for (const char* group : {"Datasets", "Primary", "Secondary"}) {
        Click(m_nav->DataSetTree(), group);
    }
    EXPECT_EQ(Project().Current()->m_name, "C");
    EXPECT_TRUE(recorder->m_received.empty());

    Run("&New");
    QTreeWidgetItem* root = m_nav->DataSetTree()->topLevelItem(0);
    EXPECT_EQ(m_nav->DataSetTree()->topLevelItemCount(), 1);
    EXPECT_EQ(Children(root), (QStringList{"Primary", "Secondary"}));
    EXPECT_EQ(m_nav->PrimaryNode()->childCount() + m_nav->SecondaryNode()->childCount(), 0);
}

TEST_F(NavigationTest, MoveUpAndDeleteKeepTheCurrentDataSetSelected) {
    ThreeDataSets();
    Click(m_nav->DataSetTree(), "B");
    // What Move Up on the Data page sends.
    Project().MoveCurrentUp();
    Frame()->Refresh(REFRESH_DATASETS);
    EXPECT_EQ(Children(m_nav->PrimaryNode()), QStringList{"B"});
    EXPECT_EQ(Children(m_nav->SecondaryNode()), (QStringList{"A", "C"}));
    ASSERT_NE(Selected(), nullptr);
    EXPECT_EQ(Selected()->text(0), "B");
    EXPECT_EQ(Selected()->parent(), m_nav->PrimaryNode());

    // Delete of B: the new primary, A, is selected and current.
    Project().DeleteCurrent();
    Frame()->Refresh(REFRESH_DATASETS);
    ASSERT_NE(Selected(), nullptr);
    EXPECT_EQ(Selected()->text(0), "A");
    EXPECT_EQ(Project().Current(), Project().Primary());
}

TEST_F(NavigationTest, DeletingTheShownDataSetStoresNothingIntoTheNextOne) {
    ThreeDataSets();
    Project().DataSets()[1]->m_comment = "b";
    Project().DataSets()[1]->m_params.RC = 0.25;
    Click(m_nav->DataSetTree(), "A");  // the pages now show A's comment and ratio
    Project().DeleteCurrent();
    Frame()->Refresh(REFRESH_DATASETS);
    ASSERT_EQ(Project().Current()->m_name, "B");
    EXPECT_EQ(Project().Current()->m_comment, "b");
    EXPECT_EQ(Project().Current()->m_params.RC, 0.25);
}

TEST_F(NavigationTest, TwoDataSetsOfTheSameNameAreTwoItems) {
    CDataSet* first = Project().AddDataSet("Twin");
    CDataSet* second = Project().AddDataSet("Twin");
    Frame()->Refresh(REFRESH_DATASETS);
    m_nav->DataSetTree()->setCurrentItem(m_nav->SecondaryNode()->child(0));
    EXPECT_EQ(Project().Current(), second);
    m_nav->DataSetTree()->setCurrentItem(m_nav->PrimaryNode()->child(0));
    EXPECT_EQ(Project().Current(), first);
}

}  // namespace
