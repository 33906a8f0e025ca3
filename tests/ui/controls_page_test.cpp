#include "ui/pages/controls_page.h"

#include <gtest/gtest.h>

#include <QToolButton>

#include "model/project.h"
#include "page_fixture.h"
#include "ui/chart_wnd.h"
#include "ui/pages/dialog_template.h"

namespace {

class ControlsPageTest : public PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        StartOn(PAGE_CONTROLS);
    }
    // The window as the edits show it, "m/d/y - m/d/y".
    QString Shown() const {
        return Text("startMonth") + "/" + Text("startDay") + "/" + Text("startYear") + " - " +
               Text("endMonth") + "/" + Text("endDay") + "/" + Text("endYear");
    }
    static QString Window() {
        const CLimits& w = Project().m_viewLimits;
        return QString::fromStdString(w.start.FormatDate() + " - " + w.end.FormatDate());
    }
};

TEST_F(ControlsPageTest, ApplyClampsDayAndMonthAndCompletesShortYearsOnlyInTheProject) {
    const char* const rows[][3] = {{"endDay", "45", "31"},     {"endMonth", "0", "1"},
                                   {"endYear", "3", "3"},      {"startDay", "2", "2"},
                                   {"startMonth", "13", "12"}, {"startYear", "98", "98"}};
    for (const auto& [edit, typed, shown] : rows) {
        Type(edit, typed);
    }
    Click("apply");
    for (const auto& [edit, typed, shown] : rows) {
        EXPECT_EQ(Text(edit), shown) << edit;
    }
    EXPECT_EQ(Window(), "12/2/1998 - 1/31/2003");
    EXPECT_EQ(Project().m_historyLimits.end.m_serial, Project().m_viewLimits.end.m_serial);

    Type("startDay", "4x");  // refused: the edit and the window keep their dates
    Click("apply");
    EXPECT_EQ(Text("startDay"), "2");
    EXPECT_EQ(Window(), "12/2/1998 - 1/31/2003");
}

TEST_F(ControlsPageTest, EachSpinClickIsOneStepOfPanOrZoom) {
    // spin, step, days in the window, then how far its start and its end move
    const struct {
        const char* spin;
        int step, days, startShift, endShift;
    } rows[] = {{"pan", 1, 100, 21, 21},   {"pan", -1, 100, -21, -21}, {"zoom", 1, 100, 20, 0},
                {"zoom", -1, 100, -21, 0}, {"zoom", 1, 4, 0, 0},       {"zoom", 1, 1, 0, 0}};
    const int32_t start = Project().m_viewLimits.start.m_serial;
    for (const auto& row : rows) {
        CLimits window;
        window.start.SetSerial(start);
        window.end.SetSerial(start + row.days - 1);
        Project().SetLimits(window);
        QTest::mouseClick(m_page->findChild<CSpinArrows*>(row.spin)->Arrow(row.step),
                          Qt::LeftButton);
        EXPECT_EQ(Project().m_viewLimits.start.m_serial, start + row.startShift) << row.spin;
        EXPECT_EQ(Project().m_viewLimits.end.m_serial, start + row.days - 1 + row.endShift);
        EXPECT_EQ(Shown(), Window()) << row.spin << " " << row.step;
    }
}

TEST_F(ControlsPageTest, LimitsAndZeroBaseWithoutDataSetsOnlyReloadAndRedraw) {
    const QString window = Window();
    Type("startDay", "9");
    QApplication::processEvents();
    CPaintCounter paints(Frame()->DataSetChart());
    for (const char* button : {"limits", "zeroBase", "zeroBase", "zeroBase"}) {
        paints.m_paints = 0;
        Click(button);
        QApplication::processEvents();
        EXPECT_GT(paints.m_paints, 0) << button;
        EXPECT_EQ(Window(), window);
    }
    EXPECT_EQ(Shown(), window);  // Limits reloaded the typed-over edit
    EXPECT_EQ(Project().m_viewLimits.zeroBase, 1);
    EXPECT_EQ(Project().m_historyLimits.zeroBase, 1);

    Answer(Sample("Project Files/SP500.xml"));
    Run("&Open...");
    Type("endYear", "1990");
    Click("apply");
    Click("limits");
    const auto& points = Project().Current()->Points();
    EXPECT_EQ(Window().toStdString(),
              points.front().FormatDate() + " - " + points.back().FormatDate());
}

}  // namespace
