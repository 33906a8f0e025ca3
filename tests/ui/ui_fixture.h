#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>

#include "analysis/simulation.h"
#include "charts/project_view.h"
#include "model/project.h"
#include "support/series_builder.h"
#include "ui/chart_panel.h"
#include "ui/main_app.h"
#include "ui/main_frame.h"
#include "ui/navigation_dialog.h"
#include "ui/page_sheet.h"
#include "ui/pages/dialog_template.h"
#include "ui/pages/project_page.h"
#include "ui/refresh.h"

// A window among the frame's that records the refreshes it receives: those sent from outside
// any handler in m_codes, those sent while one was handled in m_nested.
class CRefreshRecorder : public QWidget {
  public:
    using QWidget::QWidget;
    std::vector<int> m_codes, m_nested;

  protected:
    void customEvent(QEvent* event) override {
        if (const std::optional<RefreshCode> code = RefreshCodeOf(event)) {
            const int depth = static_cast<CProjectRefreshEvent*>(event)->Depth();
            (depth == 1 ? m_codes : m_nested).push_back(*code);
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

// A test with emptied settings, a file dialog that gives the answer passed to Run() once (none:
// cancelled), an error box, a refusal prompt and questions that record their texts (the
// questions answer m_saveAnswer or yes). Start() opens the main window; the test's
// end closes it, writing the settings. Show() makes a page of the sheet the one that Edit(),
// Text(), Type() and Click() find their controls on, by name.
class UiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings("Orvane", "Quillmark").clear();
        // The application outlives each test; a start-up whose file does not open keeps what
        // the project held, so each test starts from an empty one.
        App().Commands().NewProject();
        App().SetQuietReadMs(CMainApp::kQuietReadMs);
        App().SetFileDialog([this](CMainApp::FileDialog which) {
            m_asked.push_back(which);
            return std::exchange(m_answer, QString());
        });
        App().SetErrorBox([this](const QString& text) { m_errors.push_back(text.toStdString()); });
        App().SetWarningBox(
            [this](const QString& text) { m_warnings.push_back(text.toStdString()); });
        App().SetQuestionBox([this](const QString& text) {
            m_runQuestions.push_back(text.toStdString());
            return m_yes;
        });
        // The import preview accepts the columns it is shown, as OK would.
        App().SetImportPreview([this](const QString&, CImportChoices&) {
            ++m_previews;
            return true;
        });
        App().SetSaveQuestion([this](const QString& text) {
            m_questions.push_back(text.toStdString());
            return m_saveAnswer;
        });
        App().SetConfirmBox([this](const QString& text) {
            m_questions.push_back(text.toStdString());
            return true;
        });
        SetRefusalPrompt(
            [this](QLineEdit*, const QString& text) { m_refusals.push_back(text.toStdString()); });
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

    // The first shown menu command whose text starts with `text` ("&Open...", "&2 ").
    static QAction* Command(const QString& text) {
        for (QAction* action : Frame()->menuBar()->findChildren<QAction*>()) {
            if (action->isVisible() && action->text().startsWith(text)) {
                return action;
            }
        }
        ADD_FAILURE() << "no command " << text.toStdString();
        return nullptr;
    }
    // Runs the command; a file dialog it opens answers `path`.
    void Run(const QString& text, const std::string& path = std::string()) {
        m_answer = QString::fromStdString(path);
        if (QAction* action = Command(text)) {
            action->trigger();
        }
    }

    static std::string Sample(const std::string& relative) {
        return std::string(QUILLMARK_SOURCE_DIR) + "/" + relative;
    }
    // A folder of the test's own, next to the working folder.
    static std::filesystem::path Scratch() {
        return std::filesystem::current_path().parent_path() / "scratch";
    }
    static CRefreshRecorder* AddRecorder() { return new CRefreshRecorder(Frame()->Client()); }

    void Show(int page) {
        Frame()->Sheet()->SetActivePage(page);
        m_page = Frame()->Sheet()->Page(page);
    }
    QLineEdit* Edit(const char* name) const { return m_page->findChild<QLineEdit*>(name); }
    QString Text(const char* name) const { return Edit(name)->text(); }
    // Types `text` over the whole text of the edit.
    void Type(const char* name, const QString& text) const {
        Edit(name)->selectAll();
        QTest::keyClicks(Edit(name), text);
    }
    void Click(const char* name) const {
        QTest::mouseClick(m_page->findChild<QAbstractButton*>(name), Qt::LeftButton);
    }

    QString m_answer;
    std::vector<CMainApp::FileDialog> m_asked;
    std::vector<std::string> m_errors;
    std::vector<std::string> m_warnings;
    // The questions before a long run, answered with m_yes; those about unsaved changes,
    // answered with m_saveAnswer, and confirmations, answered yes.
    std::vector<std::string> m_runQuestions;
    bool m_yes = true;
    std::vector<std::string> m_questions;
    int m_previews = 0;
    std::vector<std::string> m_refusals;
    CMainApp::SaveAnswer m_saveAnswer = CMainApp::SaveAnswer::Discard;
    CProjectPage* m_page = nullptr;
};
