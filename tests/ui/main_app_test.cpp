#include "ui/main_app.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <QLineEdit>
#include <QSettings>
#include <QTreeWidget>

#include "model/project.h"
#include "ui/lum_sheet.h"
#include "ui/navigation_dialog.h"
#include "ui/pages/project_page.h"
#include "ui_fixture.h"

namespace {

namespace fs = std::filesystem;
using Dialog = CMainApp::FileDialog;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

QString LastFileSetting() {
    return QSettings("Orvane", "Quillmark").value("user/last_file").toString();
}

using MainAppTest = UiTest;

TEST_F(MainAppTest, FirstStartOpensTheDefaultProjectNextToTheWorkingFolderSilently) {
    Start();
    EXPECT_EQ(App().Files().m_lastFile, "../Project Files/DOW.xml");
    EXPECT_EQ(Project().DataSetCount(), 0);
    EXPECT_TRUE(m_errors.empty());
    EXPECT_EQ(Frame()->windowTitle(), "Quillmark");
    App().ExitInstance(0);
    EXPECT_EQ(LastFileSetting(), "../Project Files/DOW.xml");  // a missing file keeps its path

    fs::create_directories("../Project Files");
    fs::copy_file(Sample("Project Files/SP500.xml"), "../Project Files/DOW.xml");
    Start();
    EXPECT_EQ(Project().DataSetCount(), 1);

    // File New, then exit: the next start opens nothing.
    Run("&New");
    App().ExitInstance(0);
    EXPECT_EQ(LastFileSetting(), "");
    Start();
    EXPECT_EQ(Project().DataSetCount(), 0);
}

TEST_F(MainAppTest, StartReadsTheImportColumnsAndExitWritesThemBack) {
    QSettings("Orvane", "Quillmark").setValue("user/datesincol", 3);
    QSettings("Orvane", "Quillmark").setValue("user/valsincol", 5);
    Start();
    EXPECT_EQ(App().Files().m_datesInCol, 3);
    EXPECT_EQ(App().Files().m_valsInCol, 5);
    App().Files().m_valsInCol = 4;
    App().ExitInstance(0);
    EXPECT_EQ(QSettings("Orvane", "Quillmark").value("user/valsincol").toInt(), 4);
}

TEST_F(MainAppTest, AFileThatCannotBeOpenedIsReportedAndStaysInTheRecentList) {
    const std::string gone = (Scratch() / "gone.xml").string();
    Start(QString::fromStdString(gone));  // the command line opens like a recent entry
    EXPECT_EQ(m_errors, std::vector<std::string>{"File Not Opened."});

    Answer(gone);
    Run("&Open...");
    EXPECT_EQ(m_errors.size(), 2u);
    EXPECT_EQ(App().Files().m_lastFile, gone);
    EXPECT_EQ(App().RecentFiles(), QStringList{QString::fromStdString(gone)});

    Run("&Open...");  // cancelled: nothing happens
    EXPECT_EQ(m_errors.size(), 2u);
    EXPECT_EQ(App().Files().m_lastFile, gone);
}

TEST_F(MainAppTest, RecentFilesReopenAreCappedAtEightAndSurviveARestart) {
    Start();
    const std::string sample = Sample("Project Files/SP500.xml");
    Answer(sample);
    Run("&Open...");
    for (int i = 0; i < 8; ++i) {
        App().AddRecentFile((Scratch() / ("p" + std::to_string(i) + ".xml")).string());
    }
    EXPECT_EQ(App().RecentFiles().size(), CMainApp::kRecentFiles);
    EXPECT_FALSE(App().RecentFiles().contains(QString::fromStdString(sample)));
    App().AddRecentFile(sample);
    App().AddRecentFile((Scratch() / "p7.xml").string());  // moves to the front, not repeated
    EXPECT_EQ(App().RecentFiles().count(QString::fromStdString(sample)), 1);
    EXPECT_EQ(App().RecentFiles()[1].toStdString(), sample);

    Run("&New");
    QAction* second = nullptr;
    for (QAction* action : Frame()->menuBar()->actions().first()->menu()->actions()) {
        if (action->isVisible() && action->text().startsWith("&2 ")) {
            second = action;
        }
    }
    ASSERT_NE(second, nullptr);
    second->trigger();
    EXPECT_EQ(Project().DataSetCount(), 1);
    EXPECT_EQ(App().RecentFiles().first().toStdString(), sample);

    const QStringList before = App().RecentFiles();
    App().ExitInstance(0);
    Start();
    EXPECT_EQ(App().RecentFiles(), before);
}

TEST_F(MainAppTest, SaveAsAddsTheExtensionAndSaveWritesTheSameFileAgain) {
    Start();
    Run("&New");
    Run("&Save");  // a new project has no file: Save asks for one (cancelled here)
    EXPECT_EQ(m_asked, std::vector<Dialog>{Dialog::SaveAs});

    Answer(Sample("Project Files/SP500.xml"));
    Run("&Open...");
    Answer((Scratch() / "copy").string());
    Run("Save &As...");
    EXPECT_EQ(App().Files().m_lastFile, (Scratch() / "copy.xml").string());
    EXPECT_EQ(ReadAll(Scratch() / "copy.xml"), ReadAll(Sample("Project Files/SP500.xml")));

    // Save stores the pages first: a comment typed on the Info page reaches the file.
    Frame()->Sheet()->Page(PAGE_INFO)->findChild<QLineEdit*>("comment")->setText("changed");
    Run("&Save");
    EXPECT_NE(ReadAll(Scratch() / "copy.xml").find("changed"), std::string::npos);
    EXPECT_EQ(m_asked.size(), 3u);  // this Save asked for no name
    EXPECT_TRUE(m_errors.empty());
}

TEST_F(MainAppTest, AFailedSaveSaysSoAndKeepsTheOldFile) {
    Start(QString::fromStdString(Sample("Project Files/SP500.xml")));
    const fs::path kept = Scratch() / "kept.xml";
    std::ofstream(kept) << "old contents";
    // Nothing can be written into a folder that does not exist.
    const std::string unwritable = (Scratch() / "no-such-folder" / "kept.xml").string();
    Answer(unwritable);
    Run("Save &As...");
    EXPECT_EQ(m_errors, std::vector<std::string>{"File Not Saved."});
    EXPECT_EQ(App().Files().m_lastFile, unwritable);

    // Save of that path fails too, says so, and goes on to Save As (cancelled here).
    m_asked.clear();
    Run("&Save");
    EXPECT_EQ(m_errors.size(), 2u);
    EXPECT_EQ(m_asked, std::vector<Dialog>{Dialog::SaveAs});
    EXPECT_EQ(ReadAll(kept), "old contents");
}

TEST_F(MainAppTest, ImportTwiceAddsTwoDataSetsAndTheSecondBecomesCurrent) {
    Start();
    Answer(Sample("Data Files/IBM.csv"));
    Run("&Import...");
    Answer(Sample("Data Files/MSFT.csv"));
    Run("&Import...");
    EXPECT_EQ(m_asked, (std::vector<Dialog>{Dialog::Import, Dialog::Import}));
    ASSERT_EQ(Project().DataSetCount(), 2);
    EXPECT_EQ(Project().Primary(), Project().DataSets()[0].get());
    EXPECT_EQ(Project().Current(), Project().DataSets()[1].get());
    EXPECT_GT(Project().Current()->Points().size(), 0u);
    EXPECT_EQ(App().Files().m_lastFile, "../Project Files/DOW.xml");
    CNavigationDialog* nav = Frame()->Navigation();
    ASSERT_EQ(nav->SecondaryNode()->childCount(), 1);
    EXPECT_TRUE(nav->SecondaryNode()->child(0)->isSelected());
}

}  // namespace
