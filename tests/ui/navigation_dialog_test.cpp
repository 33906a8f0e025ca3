#include "ui/navigation_dialog.h"

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
    static void ClickItem(QTreeWidget* tree, const QString& text) {
        const auto items = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_FALSE(items.isEmpty()) << text.toStdString();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(items.first()).center());
    }

    // The data sets under Primary and Secondary, the selected one in brackets: "[A] | B C".
    QString Tree() const {
        QStringList groups;
        for (QTreeWidgetItem* group : {m_nav->PrimaryNode(), m_nav->SecondaryNode()}) {
            QStringList names;
            for (int i = 0; i < group->childCount(); ++i) {
                const QString name = group->child(i)->text(0);
                names << (group->child(i)->isSelected() ? "[" + name + "]" : name);
            }
            groups << names.join(" ");
        }
        return groups.join(" | ");
    }

    void ThreeDataSets() {
        for (const char* name : {"A", "B", "C"}) {
            Project().AddDataSet(name);
        }
        Frame()->Refresh(REFRESH_DATASETS);
    }

    CNavigationDialog* m_nav = nullptr;
};

TEST_F(NavigationTest, PageItemsSwitchTheSheetAndGroupItemsDoNot) {
    const std::pair<const char*, int> pages[] = {
        {"Time Range", PAGE_CONTROLS}, {"Controls", PAGE_CONTROLS}, {"Data", PAGE_CONTROLS},
        {"Analysis", PAGE_CONTROLS},   {"Process", PAGE_ANALYSIS},  {"Parameters", PAGE_PARAMETERS},
        {"Append", PAGE_APPEND},       {"Import", PAGE_DATA}};
    for (const auto& [item, page] : pages) {
        ClickItem(m_nav->PageTree(), item);
        EXPECT_EQ(Frame()->Sheet()->currentIndex(), page) << item;
    }
}

TEST_F(NavigationTest, ChoosingADataSetStoresThePagesIntoTheLastOneAndMakesItCurrent) {
    ThreeDataSets();
    EXPECT_EQ(Tree(), "[A] | B C");
    Show(PAGE_INFO);
    Type("comment", "a \"quoted\" word");
    CRefreshRecorder* recorder = AddRecorder();
    ClickItem(m_nav->DataSetTree(), "C");
    EXPECT_EQ(recorder->m_codes, (std::vector<int>{REFRESH_STORE, REFRESH_CURRENT}));
    EXPECT_EQ(Project().DataSets()[0]->m_comment, "a 'quoted' word");
    EXPECT_EQ(Text("comment"), "");  // C's

    recorder = AddRecorder();
    for (const char* group : {"Datasets", "Primary", "Secondary"}) {
        ClickItem(m_nav->DataSetTree(), group);
    }
    EXPECT_EQ(Project().Current()->m_name, "C");
    EXPECT_TRUE(recorder->m_codes.empty());

    Type("comment", "left over");
    Run("&New");
    EXPECT_EQ(Text("comment") + Tree(), " | ");
}

TEST_F(NavigationTest, MoveUpAndDeleteOnTheDataPageKeepTheCurrentDataSetSelected) {
    ThreeDataSets();
    ClickItem(m_nav->DataSetTree(), "B");
    Show(PAGE_DATA);
    for (int clicks = 0; clicks < 2; ++clicks) {  // the second finds B first already
        Click("moveUp");
        EXPECT_EQ(Tree(), "[B] | A C");
    }
    // The pages show B. Once B is deleted, nothing of it may be stored into A, the new current.
    CDataSet* a = Project().DataSets()[1].get();
    a->m_comment = "a";
    a->m_params.RC = 0.25;
    Click("delete");
    EXPECT_EQ(Tree(), "[A] | C");
    EXPECT_EQ(a->m_comment, "a");
    EXPECT_EQ(a->m_params.RC, 0.25);
}

}  // namespace
