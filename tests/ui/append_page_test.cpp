#include "ui/pages/append_page.h"

#include "ui_fixture.h"

namespace {

using AppendPageTest = UiTest;

TEST_F(AppendPageTest, StartsAtTodayAddsOnlyAfterTheLastDateAndUndoesOnce) {
    CAppendPage::SetToday([] { return QDate(2003, 6, 6); });
    Start();
    CAppendPage::SetToday({});
    Show(PAGE_APPEND);
    static_cast<CAppendPage*>(m_page)->SetErrorBox(
        [this](const QString& text) { m_errors.push_back(text.toStdString()); });
    EXPECT_EQ(Text("month") + "/" + Text("day") + "/" + Text("year"), "6/6/2003");
    CDataSet* ds = Project().AddDataSet("S");

    // Typed day, month and value (year 3 each time), then the edits and the outcome.
    const struct {
        const char *day, *month, *value, *shown;
        size_t points, errors;
    } rows[] = {{"6", "6", "100", "6/6 100", 1, 0},
                {"35", "0", "1", "31/1 1", 1, 1},  // clamped, then too early
                {"6", "6", "1", "6/6 1", 1, 2},    // the last date again
                {"7", "6", "101.5", "7/6 101.5", 2, 2},
                {"8", "6", "1x", "8/6 101.5", 2, 2}};  // refused: nothing is added
    for (const auto& row : rows) {
        Type("day", row.day);
        Type("month", row.month);
        Type("year", "3");
        Type("value", row.value);
        Click("add");
        EXPECT_EQ(Text("day") + "/" + Text("month") + " " + Text("value"), row.shown);
        EXPECT_EQ(ds->Points().size(), row.points) << row.shown;
        EXPECT_EQ(m_errors.size(), row.errors) << row.shown;
    }
    EXPECT_EQ(m_errors.back(), "Date Too Small.");
    EXPECT_EQ(m_refusals.size(), 1u);
    EXPECT_EQ(ds->Points().back().FormatDate(), "6/7/2003");
    EXPECT_EQ(Project().m_historyLimits.end.m_serial, ds->Points().back().m_serial);

    const int32_t sixth = ds->Points()[0].m_serial;
    for (int undo = 0; undo < 2; ++undo) {
        Click("undo");
        EXPECT_EQ(ds->Points().size(), 1u);
        EXPECT_EQ(Project().m_viewLimits.end.m_serial, sixth);
    }
}

}  // namespace
