#include "ui/pages/controls_page.h"

#include <QToolButton>

#include "ui/pages/dialog_template.h"
#include "ui_fixture.h"

namespace {

class ControlsPageTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        Start();
        Show(PAGE_CONTROLS);
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
    // After Apply the edits show the window as applied, years completed.
    const char* const rows[][3] = {{"endDay", "45", "31"},     {"endMonth", "0", "1"},
                                   {"endYear", "3", "2003"},   {"startDay", "2", "2"},
                                   {"startMonth", "13", "12"}, {"startYear", "98", "1998"}};
    for (const auto& [edit, typed, shown] : rows) {
        Type(edit, typed);
    }
    Click("apply");
    for (const auto& [edit, typed, shown] : rows) {
        EXPECT_EQ(Text(edit), shown) << edit;
    }
    EXPECT_EQ(Window(), "12/2/1998 - 1/31/2003");

    Type("endDay", "30");
    Type("startDay", "4x");  // refused: the edit and the window keep their dates
    Click("apply");
    EXPECT_EQ(Text("startDay"), "2");
    EXPECT_EQ(Window(), "12/2/1998 - 1/31/2003");
    EXPECT_EQ(m_refusals.size(), 1u);

    Type("startDay", "3");  // Enter in a date applies it
    QTest::keyClick(Edit("startDay"), Qt::Key_Return);
    EXPECT_EQ(Window(), "12/3/1998 - 1/30/2003");
}

TEST_F(ControlsPageTest, EachSpinClickIsOneStepOfPanOrZoom) {
    // spin, step, days in the window, then how far its start and its end move
    const struct {
        const char* spin;
        int step, days, startShift, endShift;
    } rows[] = {{"pan", 1, 100, 21, 21},
                {"pan", -1, 100, -21, -21},
                {"zoom", 1, 100, 20, 0},
                {"zoom", -1, 100, -21, 0},
                {"zoom", 1, 4, 0, 0}};
    // A window of real dates: the page stores what it shows, dates with their years.
    const int32_t start = MakePoint(2, 6, 2003).m_serial;
    for (const auto& row : rows) {
        SetWindow(Project(), start, start + row.days - 1);
        Frame()->Refresh(REFRESH_LOAD);
        QTest::mouseClick(m_page->findChild<CSpinArrows*>(row.spin)->Arrow(row.step),
                          Qt::LeftButton);
        EXPECT_EQ(Project().m_viewLimits.start.m_serial, start + row.startShift) << row.spin;
        EXPECT_EQ(Project().m_viewLimits.end.m_serial, start + row.days - 1 + row.endShift);
        EXPECT_EQ(Shown(), Window()) << row.spin << " " << row.step;
    }
}

}  // namespace
