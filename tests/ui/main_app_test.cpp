#include "ui/main_app.h"

#include <fstream>
#include <iterator>

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

#include "model/progress_sink.h"
#include "ui/progress_dialog.h"

#include "ui/status_bar.h"
#include "ui_fixture.h"

namespace {

namespace fs = std::filesystem;
using Dialog = CMainApp::FileDialog;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

std::string Setting(const char* key) {
    return QSettings("Orvane", "Quillmark").value(QString("user/") + key).toString().toStdString();
}

// The names of the recent files, newest first: "p7 SP500".
std::string RecentNames() {
    QStringList names;
    for (const QString& path : CMainApp::Instance()->RecentFiles()) {
        names << QFileInfo(path).completeBaseName();
    }
    return names.join(" ").toStdString();
}

using MainAppTest = UiTest;

// Counts the progress dialogs shown, with their titles.
class CShownDialogs : public QObject {
  public:
    CShownDialogs() { QApplication::instance()->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            if (auto* dialog = qobject_cast<CProgressDialog*>(watched)) {
                titles.push_back(dialog->windowTitle().toStdString());
            }
        }
        return false;
    }
    std::vector<std::string> titles;
};

TEST_F(MainAppTest, TheLastFileAndTheImportColumnsOutliveTheWindow) {
    QSettings("Orvane", "Quillmark").setValue("user/valsincol", 5);
    Start();  // the first start opens the bundled sample, missing here
    EXPECT_EQ(App().Commands().m_lastFile, "");  // so a Save asks for a name
    EXPECT_EQ(App().Commands().m_valsInCol, 5);
    EXPECT_TRUE(m_errors.empty());  // no box at start-up, but the status bar says why
    EXPECT_EQ(Frame()->Status()->Notice().toStdString(),
              "The last project did not open: cannot open '../Project Files/SP500.xml': No "
              "such file or directory. Use File Open.");
    App().Commands().m_valsInCol = 4;
    App().ExitInstance(0);
    EXPECT_EQ(Setting("last_file"), "../Project Files/SP500.xml");  // missing, still the one
    EXPECT_EQ(Setting("valsincol"), "4");
}

// Only a start without a last file in the settings asks for the first project (the program
// gives its sample, or an installation's copy of it); later starts open the last file.
TEST_F(MainAppTest, OnlyTheFirstStartOpensTheFirstProject) {
    const fs::path copy = Scratch() / "SP500.xml";
    fs::copy_file(Sample("Project Files/SP500.xml"), copy);
    int asked = 0;
    App().SetFirstProject([&] {
        ++asked;
        return copy.string();
    });
    Start();
    EXPECT_EQ(App().Commands().m_lastFile, copy.string());
    EXPECT_EQ(Frame()->windowTitle(), "SP500.xml[*] - Quillmark");
    EXPECT_TRUE(Frame()->Status()->Notice().startsWith("Process (under Analysis)"));
    Run("&New");
    App().ExitInstance(0);
    Start();  // the last file is none now, which is not a first start
    EXPECT_EQ(App().Commands().m_lastFile, "");
    EXPECT_EQ(asked, 1);
    App().SetFirstProject({});
}

// A project named on the command line (as the desktop entry and `make run` start it) gets the
// same first screen as a first start: the pointer to Process.
TEST_F(MainAppTest, AProjectGivenAtStartShowsWhereToBegin) {
    Start(QString::fromStdString(Sample("Project Files/SP500.xml")));
    EXPECT_TRUE(Frame()->Status()->Notice().startsWith("Process (under Analysis)"));
}

TEST_F(MainAppTest, RecentFilesAreCappedAtEightReopenFromTheMenuAndSurviveARestart) {
    Start();
    const std::string sample = Sample("Project Files/SP500.xml");
    Run("&Open...", sample);
    for (int i = 0; i < 8; ++i) {  // the last pushes the sample out
        App().AddRecentFile((Scratch() / ("p" + std::to_string(i) + ".xml")).string());
    }
    App().AddRecentFile(sample);
    App().AddRecentFile((Scratch() / "p7.xml").string());  // moves to the front, not repeated
    EXPECT_EQ(RecentNames(), "p7 SP500 p6 p5 p4 p3 p2 p1");
    Run("&New");
    Run("&2 ");  // the sample again, now first
    App().ExitInstance(0);
    Start();
    EXPECT_EQ(RecentNames(), "SP500 p7 p6 p5 p4 p3 p2 p1");
}

TEST_F(MainAppTest, SaveWithoutAFileAsksForOneAndSaveAsAddsTheExtension) {
    Start();
    Run("&Save");  // a new project has no file: Save asks for one (cancelled here)
    EXPECT_EQ(m_asked, std::vector<Dialog>{Dialog::SaveAs});
    Run("&Open...", Sample("Project Files/SP500.xml"));
    Run("Save &As...", (Scratch() / "copy").string());
    EXPECT_EQ(App().Commands().m_lastFile, (Scratch() / "copy.xml").string());
    EXPECT_EQ(ReadAll(Scratch() / "copy.xml"), ReadAll(Sample("Project Files/SP500.xml")));
}

// A read that takes a while shows its progress with the file's name, and Cancel stops it; a
// short one shows nothing at all.
TEST_F(MainAppTest, ALongReadShowsItsProgressAndCancelStopsIt) {
    Start();
    CShownDialogs shown;
    App().ShowRead("/data/BIG.xml", [](const std::atomic<bool>&, CProgressSink* progress) {
        progress->ReportProgress(100);
    });
    EXPECT_TRUE(shown.titles.empty());

    App().SetQuietReadMs(20);
    std::atomic<bool> stopSeen{false};
    QTimer::singleShot(300, [] {
        auto* dialog = qobject_cast<CProgressDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_GE(dialog->Position(), 10);
        dialog->findChild<QPushButton*>("cancel")->click();
    });
    App().ShowRead(
        "/data/BIG.xml", [&stopSeen](const std::atomic<bool>& stop, CProgressSink* progress) {
            progress->ReportProgress(10);
            for (int i = 0; i < 1000 && !stop; ++i) {  // at most 10 s when nobody stops it
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            stopSeen = stop.load();
        });
    EXPECT_TRUE(stopSeen);
    EXPECT_EQ(shown.titles, std::vector<std::string>{"Quillmark - Opening BIG.xml..."});

    // Opening a real project the same way ends with the project open and the dialog gone.
    App().SetQuietReadMs(0);
    Run("&Open...", Sample("Project Files/SP500.xml"));
    EXPECT_EQ(shown.titles.back(), "Quillmark - Opening SP500.xml...");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_NE(Project().Primary(), nullptr);
    EXPECT_EQ(Project().Primary()->Points().size(), 5105u);
    EXPECT_TRUE(m_errors.empty());
}

// Delete, overwriting a file changed on disk and a long run ask first; Enter answers No.
TEST_F(MainAppTest, DestructiveQuestionsDefaultToNo) {
    Start();
    QString asked;
    QTimer::singleShot(0, [&asked] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        asked = box->text();
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_FALSE(CMainApp::AskDefaultNo(Frame(), QStringLiteral("Delete SP500-2000?")));
    EXPECT_EQ(asked, "Delete SP500-2000?");
}

// A failed open says why and changes nothing: not the project, not its file, not the recent
// files. A project that opens without some of its points says which.
TEST_F(MainAppTest, FailedOpensAndSavesAreReported) {
    const std::string gone = (Scratch() / "gone.xml").string();
    Start(QString::fromStdString(gone));  // the command line opens like a recent entry
    EXPECT_EQ(m_errors, std::vector<std::string>{"File Not Opened.\n\ncannot open '" + gone +
                                                 "': No such file or directory"});
    const std::string prices =
        WriteFile(Scratch() / "prices.csv", "Date,Close\n2020-01-02,3257.85\n");
    const std::string lastFile = App().Commands().m_lastFile;
    const std::string recent = RecentNames();
    Run("&Open...", prices);
    EXPECT_EQ(m_errors.back(), "File Not Opened.\n\n'" + prices +
                                   "' is not a Quillmark project: it has no QUILLMARK, LIMITS, "
                                   "RANGE or DATASET line");
    EXPECT_EQ(RecentNames(), recent);
    Run("&Open...");  // cancelled: nothing happens
    EXPECT_EQ(m_errors.size(), 2u);
    EXPECT_EQ(App().Commands().m_lastFile, lastFile);

    const std::string gap = WriteFile(
        Scratch() / "gap.xml",
        "<QUILLMARK>\r\n<DATASET NAME=\"A\">\r\n<DATAPOINT  DATE=\"1.2.2020\" VALUE=\"1\" />\r\n"
        "<DATAPOINT  DATE=\"1.2.2020\" VALUE=\"2\" />\r\n</DATASET>\r\n");
    Run("&Open...", gap);
    ASSERT_EQ(m_warnings.size(), 1u);
    EXPECT_EQ(m_warnings[0].substr(0, 49), "1 point out of date order (line 4) was not read.\n");

    // Nothing can be written into a folder that does not exist.
    const std::string unwritable = (Scratch() / "no-such-folder" / "kept.xml").string();
    Run("Save &As...", unwritable);
    EXPECT_EQ(m_errors.back(),
              "File Not Saved.\n\ncannot write '" + unwritable + "': No such file or directory");
    EXPECT_EQ(App().Commands().m_lastFile, unwritable);
    m_asked.clear();
    Run("&Save");  // fails too, says so and asks for another name (cancelled here)
    EXPECT_EQ(m_errors.size(), 4u);
    EXPECT_EQ(m_asked, std::vector<Dialog>{Dialog::SaveAs});
}

}  // namespace
