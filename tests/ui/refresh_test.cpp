#include "ui/refresh.h"

#include <fstream>
#include <functional>

#include "ui_fixture.h"

namespace {

// Appends "name:code" to a shared log for every refresh, then runs its action if any.
struct CLoggingWidget : QWidget {
    CLoggingWidget(QWidget* parent, std::string name, std::vector<std::string>& log)
        : QWidget(parent), m_name(std::move(name)), m_log(log) {}
    void customEvent(QEvent* event) override {
        const std::optional<RefreshCode> code = RefreshCodeOf(event);
        ASSERT_TRUE(code.has_value());
        m_log.push_back(m_name + ":" + std::to_string(*code));
        if (m_onRefresh) {
            m_onRefresh(*code);
        }
    }
    std::string m_name;
    std::vector<std::string>& m_log;
    std::function<void(int)> m_onRefresh;
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

TEST_F(RefreshOrderTest, TheFileCommandsBroadcastInOrder) {
    Start();
    const std::string bare = (Scratch() / "bare.xml").string();
    std::ofstream(bare) << "<QUILLMARK>\r\n</QUILLMARK>\r\n";
    const std::string empty = (Scratch() / "empty.xml").string();
    std::ofstream{empty};
    // New and Open first store pending edits, to learn whether they would lose a change.
    const std::vector<int> open{REFRESH_STORE,   REFRESH_CLEAR,    REFRESH_DATASETS, REFRESH_LOAD,
                                REFRESH_CURRENT, REFRESH_DATASETS, REFRESH_RESULTS};
    const std::tuple<const char*, std::string, std::vector<int>> rows[] = {
        {"&New", "", {REFRESH_STORE, REFRESH_CLEAR, REFRESH_DATASETS}},
        {"&Open...", bare, open},
        {"&Open...", empty, {REFRESH_STORE}},  // not a project: refused, nothing more
        {"Save &As...", (Scratch() / "saved.xml").string(), {REFRESH_STORE}},
        {"&Import...",
         Sample("Data Files/IBM.csv"),
         // and the new set takes part in the simulation the pages then show
         {REFRESH_STORE, REFRESH_STORE, REFRESH_CURRENT, REFRESH_DATASETS, REFRESH_LOAD}},
        {"&Open...", Sample("Project Files/SP500.xml"), open}};
    CRefreshRecorder* recorder = nullptr;
    for (const auto& [command, path, codes] : rows) {
        recorder = AddRecorder();
        Run(command, path);
        EXPECT_EQ(recorder->m_codes, codes) << command << " " << path;
    }
    // No window starts a command from its refresh: nothing is sent inside Open.
    EXPECT_EQ(recorder->m_nested, std::vector<int>{});
    EXPECT_EQ(m_errors.size(), 1u);
}

}  // namespace
