#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QWidget>

#include "ui/main_app.h"
#include "ui/main_frame.h"
#include "ui/refresh.h"

// A window among the frame's that records the refreshes it receives with their nesting depth.
class CRefreshRecorder : public QWidget {
  public:
    using QWidget::QWidget;
    // The codes received at `depth` (1: sent from outside any handler), in order.
    std::vector<int> Codes(int depth = 1) const {
        std::vector<int> codes;
        for (const auto& [code, d] : m_received) {
            if (d == depth) {
                codes.push_back(code);
            }
        }
        return codes;
    }
    std::vector<std::pair<int, int>> m_received;

  protected:
    void customEvent(QEvent* event) override {
        if (RefreshCodeOf(event) >= 0) {
            m_received.emplace_back(RefreshCodeOf(event),
                                    static_cast<CProjectRefreshEvent*>(event)->Depth());
        }
    }
};

// Counts the paints of one window.
class CPaintCounter : public QObject {
  public:
    explicit CPaintCounter(QWidget* watched) { watched->installEventFilter(this); }
    int m_paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        m_paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// A test with emptied settings, file dialogs that answer from a queue (empty: cancelled) and an
// error box that records its texts. Start() opens the main window; the test's end closes it,
// writing the settings.
class UiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings("Orvane", "Quillmark").clear();
        App().SetFileDialog([this](CMainApp::FileDialog which) {
            m_asked.push_back(which);
            QString path = m_answers.empty() ? QString() : m_answers.front();
            if (!m_answers.empty()) {
                m_answers.pop_front();
            }
            return path;
        });
        App().SetErrorBox([this](const QString& text) { m_errors.push_back(text.toStdString()); });
        std::filesystem::create_directories(Scratch());
    }

    void TearDown() override {
        if (Frame() != nullptr) {
            App().ExitInstance(0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(Scratch(), ignored);
        std::filesystem::remove_all("../Project Files", ignored);
    }

    void Start(const QString& file = QString()) {
        App().InitInstance(file);
        Frame()->resize(1000, 760);
        QApplication::processEvents();
    }

    static CMainApp& App() { return *CMainApp::Instance(); }
    static CMainFrame* Frame() { return App().MainFrame(); }
    static CProject& Project() { return App().Project(); }

    // The menu command with this text ("&Open...").
    static QAction* Command(const QString& text) {
        for (QAction* menu : Frame()->menuBar()->actions()) {
            for (QAction* action : menu->menu()->actions()) {
                if (action->text() == text) {
                    return action;
                }
            }
        }
        ADD_FAILURE() << "no command " << text.toStdString();
        return nullptr;
    }
    static void Run(const QString& text) {
        if (QAction* action = Command(text)) {
            action->trigger();
        }
    }
    void Answer(const std::string& path) { m_answers.push_back(QString::fromStdString(path)); }

    static std::string Sample(const std::string& relative) {
        return std::string(QUILLMARK_SOURCE_DIR) + "/" + relative;
    }
    // A folder of the test's own, next to the working folder.
    static std::filesystem::path Scratch() {
        return std::filesystem::current_path().parent_path() / "scratch";
    }
    static CRefreshRecorder* AddRecorder() { return new CRefreshRecorder(Frame()->Client()); }

    std::deque<QString> m_answers;
    std::vector<CMainApp::FileDialog> m_asked;
    std::vector<std::string> m_errors;
};
