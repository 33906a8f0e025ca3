#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/project_commands.h"
#include "model/project.h"
#include "ui/front_end.h"

class CMainFrame;
class QAction;
class QMenu;
class QTimer;
class QWidget;

// The application: owns the one project and the main window, keeps the user's settings (the
// last project file, the import columns and the recent-file list of 8 in QSettings "Orvane" /
// "Quillmark"), starts the program by opening the last project and carries the File and Help
// commands. Everything runs on the user-interface thread.
class CMainApp : public QApplication, public CCommandHost, public CFrontEnd {
  public:
    // The file dialogs the commands ask for a path.
    enum class FileDialog { Open, SaveAs, Import };
    // Returns the chosen path, or an empty string when the user cancelled.
    using FileDialogFunction = std::function<QString(FileDialog)>;
    // The import preview: shows the file with the choices given (columns, decimal mark, date
    // order), which the user may change; true when the user chose to import (with the choices
    // as left, "import anyway" among them).
    using ImportPreviewFunction = std::function<bool(const QString& path, CImportChoices& choices)>;
    // Shows an error message with the caption "Error".
    using ErrorBoxFunction = std::function<void(const QString& text)>;
    // Asks a Yes/No question; true for Yes.
    using QuestionBoxFunction = std::function<bool(const QString& text)>;
    // Asks what to do with unsaved changes before they would be lost.
    enum class SaveAnswer { Save, Discard, Cancel };
    using SaveQuestionFunction = std::function<SaveAnswer(const QString& text)>;
    // Asks a yes-or-no question; true for yes.
    using ConfirmFunction = std::function<bool(const QString& text)>;

    // The project a first start opens (no last file in the settings yet); empty for the sample
    // beside the working folder.
    using FirstProjectFunction = std::function<std::string()>;
    // Where the file dialogs start when the working folder has no "Project Files" or "Data
    // Files" beside it, as when an installed program starts: the samples' folders, and the
    // documents folder for Save As. Empty: the working folder.
    struct Folders {
        QString projects;
        QString data;
        QString documents;
    };

    static constexpr int kRecentFiles = 8;
    // A read shorter than this shows no progress: a dialog that flashes up and away says less
    // than the window that follows it.
    static constexpr int kQuietReadMs = 400;

    CMainApp(int& argc, char** argv);
    ~CMainApp() override;

    // The running application. REQUIRES: a CMainApp exists.
    static CMainApp* Instance();

    // Start-up: creates and shows the main window, reads the settings and opens `file` as a
    // recent-file entry would, or the last project file when `file` is empty.
    void InitInstance(const QString& file = QString());
    // Writes the settings back and destroys the main window. Returns `exitCode`.
    int ExitInstance(int exitCode);

    // The commands of the File and Help menus.
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileImport() override;
    void OnAppAbout();
    // A recent-file entry or the command line: opens `path`, telling the user when it cannot.
    // Always reports success, so an entry whose file has gone stays in the list.
    bool OpenDocumentFile(const QString& path);
    // Before New, Open, Exit and the window's closing: when File Save would write anything new,
    // asks Save / Discard / Cancel. True when the project may be set aside (saved, discarded or
    // unchanged); false when the user cancelled, the save failed or a pending edit was refused.
    bool MaySetProjectAside();
    // CFrontEnd: the confirmation before a destructive step, the question before a long run.
    bool Confirm(const QString& text) override;
    bool Ask(const QString& text) override { return m_questionBox(text); }
    // The box of the confirmations and the long-run question: Yes and No, with No the default.
    static bool AskDefaultNo(QWidget* parent, const QString& text);
    // The title: the project file's name (or "Untitled"), marked while it has unsaved changes.
    void UpdateTitle();

    // CCommandHost: the broadcast to the main window's descendants, the recent files, the
    // repaint of the charts.
    void Refresh(RefreshCode code) override;
    void AddRecentFile(const std::string& path) override;
    void RedrawCharts() override;
    bool StoreEdits() override;
    void ShowNotice(const std::string& text) override;
    // A read that is still going after a moment shows its progress, with Cancel.
    void ShowRead(const std::string& path, const SweepRun& read) override;

    CProject& Project() { return m_project; }
    CProjectCommands& Commands() { return m_commands; }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    const QStringList& RecentFiles() const { return m_recentFiles; }

    // Test seams: the file dialogs and the error message box.
    void SetFileDialog(FileDialogFunction dialog) { m_fileDialog = std::move(dialog); }
    void SetErrorBox(ErrorBoxFunction box) { m_errorBox = std::move(box); }
    // The warning shown when a project opens without some of its points.
    void SetWarningBox(ErrorBoxFunction box) { m_warningBox = std::move(box); }
    void SetQuestionBox(QuestionBoxFunction box) { m_questionBox = std::move(box); }
    void SetImportPreview(ImportPreviewFunction preview) { m_importPreview = std::move(preview); }
    void SetSaveQuestion(SaveQuestionFunction question) { m_saveQuestion = std::move(question); }
    void SetConfirmBox(ConfirmFunction box) { m_confirmBox = std::move(box); }
    // How long a read runs before its progress is shown.
    void SetQuietReadMs(int ms) { m_quietReadMs = ms; }
    // Set before InitInstance by the program's main.
    void SetFirstProject(FirstProjectFunction first) { m_firstProject = std::move(first); }
    void SetFolders(Folders folders) { m_folders = std::move(folders); }

  private:
    void CreateMenus();
    // Opens `path` and tells the user what went wrong or what could not be read.
    void OpenAndReport(const QString& path);
    // Saves to the project's file after asking, when the file changed on disk, whether to
    // overwrite it. False when not saved.
    bool SaveToLastFile();
    void UpdateRecentMenu();
    void LoadRecentFiles();
    void SaveRecentFiles() const;

    CProject m_project;
    CProjectCommands m_commands;
    std::unique_ptr<CMainFrame> m_frame;
    QStringList m_recentFiles;
    QAction* m_recentPlaceholder = nullptr;
    std::array<QAction*, kRecentFiles> m_recentActions{};
    FileDialogFunction m_fileDialog;
    ErrorBoxFunction m_errorBox;
    ErrorBoxFunction m_warningBox;
    QuestionBoxFunction m_questionBox;
    ImportPreviewFunction m_importPreview;
    SaveQuestionFunction m_saveQuestion;
    ConfirmFunction m_confirmBox;
    int m_quietReadMs = kQuietReadMs;
    FirstProjectFunction m_firstProject;
    Folders m_folders;
    // Gathers the commands of one moment into one update of the title.
    QTimer* m_titleTimer;
    // The last file of the settings when it did not open at start-up.
    std::string m_startFile;
};
