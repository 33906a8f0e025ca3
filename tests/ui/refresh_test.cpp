#include "ui/refresh.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QWidget>

#include "model/project.h"
#include "ui/chart_wnd.h"
#include "ui/lum_sheet.h"
#include "ui_fixture.h"

namespace {

// Appends "name:code" to a shared log for every refresh, then runs an optional action.
class CLoggingWidget : public QWidget {
  public:
    CLoggingWidget(QWidget* parent, std::string name, std::vector<std::string>& log)
        : QWidget(parent), m_name(std::move(name)), m_log(log) {}
    std::function<void(int)> m_onRefresh;

  protected:
    void customEvent(QEvent* event) override {
        m_log.push_back(m_name + ":" + std::to_string(RefreshCodeOf(event)));
        if (m_onRefresh) {
            m_onRefresh(RefreshCodeOf(event));
        }
    }

  private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

TEST(Refresh, ReachesEveryDescendantDepthFirstAndNestedBroadcastsFinishFirst) {
    std::vector<std::string> log;
    QWidget root;
    auto* a = new CLoggingWidget(&root, "a", log);
    new CLoggingWidget(new QWidget(&root), "c", log);  // below a window without a handler
    new CLoggingWidget(a, "b", log);
    auto* doomed = new CLoggingWidget(&root, "doomed", log);
    a->m_onRefresh = [&](int code) {
        if (code == REFRESH_DATASETS) {
            BroadcastRefresh(&root, REFRESH_CURRENT);
        } else {
            delete doomed;  // destroyed windows are skipped
        }
    };
    BroadcastRefresh(&root, REFRESH_DATASETS);
    EXPECT_EQ(log, (std::vector<std::string>{"a:4", "a:3", "b:3", "c:3", "b:4", "c:4"}));
}

using RefreshOrderTest = UiTest;

TEST_F(RefreshOrderTest, NewAndOpenOfASampleAndOfAnEmptyFile) {
    Start();
    CRefreshRecorder* recorder = AddRecorder();
    Run("&New");
    EXPECT_EQ(recorder->Codes(), (std::vector<int>{REFRESH_CLEAR, REFRESH_DATASETS}));

    const std::string empty = (Scratch() / "empty.xml").string();
    std::ofstream{empty};
    for (const std::string& path : {Sample("Project Files/SP500.xml"), empty}) {
        recorder->m_received.clear();
        Answer(path);
        Run("&Open...");
        EXPECT_EQ(recorder->Codes(),
                  (std::vector<int>{REFRESH_CLEAR, REFRESH_DATASETS, REFRESH_LOAD, REFRESH_CURRENT,
                                    REFRESH_DATASETS, REFRESH_RESULTS}))
            << path;
    }
    EXPECT_TRUE(m_errors.empty());
}

TEST_F(RefreshOrderTest, OpenReselectsTheCurrentDataSetAndAppliesTheResultSet) {
    Start();
    CRefreshRecorder* recorder = AddRecorder();
    Answer(Sample("Project Files/SP500.xml"));
    Run("&Open...");
    // Inside the outer refreshes: the data set tree's choice (store, current) and the result
    // sets box's apply (store, load).
    EXPECT_EQ(recorder->Codes(2),
              (std::vector<int>{REFRESH_STORE, REFRESH_CURRENT, REFRESH_STORE, REFRESH_LOAD}));
}

TEST_F(RefreshOrderTest, SaveStoresFirstAndImportStoresThenCurrentThenDataSets) {
    Start();
    CRefreshRecorder* recorder = AddRecorder();
    Answer((Scratch() / "saved.xml").string());
    Run("Save &As...");
    EXPECT_EQ(recorder->Codes(), std::vector<int>{REFRESH_STORE});

    recorder->m_received.clear();
    Answer(Sample("Data Files/IBM.csv"));
    Run("&Import...");
    EXPECT_EQ(recorder->Codes(),
              (std::vector<int>{REFRESH_STORE, REFRESH_CURRENT, REFRESH_DATASETS}));
}

TEST_F(RefreshOrderTest, PagesRedrawTheChartsAndSetTheDisplaySlotWhenShown) {
    Start();
    CLumSheet* sheet = Frame()->Sheet();
    EXPECT_EQ(sheet->currentIndex(), PAGE_INFO);
    QApplication::processEvents();
    CPaintCounter paints(Frame()->DataSetChart());
    for (int page :
         {PAGE_CONTROLS, PAGE_DATA, PAGE_INFO, PAGE_APPEND, PAGE_PARAMETERS, PAGE_ANALYSIS}) {
        Project().SetDisplaySlot(Smooth);
        paints.m_paints = 0;
        sheet->SetActivePage(page);
        QApplication::processEvents();
        EXPECT_EQ(sheet->currentIndex(), page);
        EXPECT_EQ(paints.m_paints, 1) << "page " << page;
        EXPECT_EQ(Project().DisplaySlot(), page == PAGE_CONTROLS ? Smooth : Raw) << page;
    }
}

}  // namespace
