#include "ui/main_app.h"

#include <clocale>

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QVariant>

#include "ui/about_dialog.h"
#include "ui/import_dialog.h"
#include "ui/main_frame.h"
#include "ui/pages/dialog_template.h"
#include "ui/pictures.h"
#include "ui/progress_dialog.h"
#include "ui/status_bar.h"

namespace {

constexpr char kCompany[] = "Orvane";
constexpr char kProduct[] = "Quillmark";
constexpr char kUserGroup[] = "user";
constexpr char kRecentGroup[] = "Recent File List";
// The sample shipped with the program, so that a first start shows a project.
constexpr char kDefaultLastFile[] = "../Project Files/SP500.xml";
// Where the first screen points a new user; the next simulation's notice replaces it.
constexpr char kStartHint[] =
    "Process (under Analysis) finds the best parameters; + and - under Result Sets step "
    "through them.";
constexpr char kProjectFilter[] = "Quillmark Project Files (*.xml)";
constexpr int kRecentTextLength = 60;

CMainApp* g_app = nullptr;

// "File Not Saved." with the reason, as File Open gives its own.
QString NotSavedText(const CStatus& status) {
    return QStringLiteral("File Not Saved.\n\n") + QString::fromStdString(status.Reason());
}

QString FromFolder(const char* folder) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromUtf8(folder)));
}

// A dialog's folder: `folder` beside the working folder, as in a build tree, or `otherwise` (the
// installed samples, the documents folder) when there is none.
QString StartFolder(const char* folder, const QString& otherwise) {
    const QString beside = FromFolder(folder);
    return QDir(beside).exists() || otherwise.isEmpty() ? beside : otherwise;
}

QString AskPath(QWidget* parent, CMainApp::FileDialog which, const CMainApp::Folders& folders) {
    switch (which) {
        case CMainApp::FileDialog::Open:
            return QFileDialog::getOpenFileName(parent, QStringLiteral("Open"),
                                                StartFolder("../Project Files", folders.projects),
                                                kProjectFilter);
        case CMainApp::FileDialog::Import:
            return QFileDialog::getOpenFileName(parent, QStringLiteral("Import"),
                                                StartFolder("../Data Files", folders.data),
                                                QStringLiteral("All Files (*)"));
        case CMainApp::FileDialog::SaveAs: {
            QFileDialog dialog(parent, QStringLiteral("Save As"),
                               StartFolder("../Project Files", folders.documents), kProjectFilter);
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix(QStringLiteral("xml"));
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
            dialog.selectFile(QStringLiteral("Project-1.xml"));
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
                return QString();
            }
            return dialog.selectedFiles().first();
        }
    }
    return QString();
}

// A recent-file entry as the menu shows it: its number and the path, shortened in the middle.
QString RecentText(int index, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    if (shown.size() > kRecentTextLength) {
        const int keep = (kRecentTextLength - 3) / 2;
        shown = shown.left(keep) + QStringLiteral("...") + shown.right(keep);
    }
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace

CMainApp::CMainApp(int& argc, char** argv) : QApplication(argc, argv), m_commands(m_project, this) {
    // Qt has set the user's numeric locale; the core prints and reads numbers the C way.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName(kProduct);
    setOrganizationName(kCompany);
    setWindowIcon(ApplicationIcon());
    g_app = this;
    m_fileDialog = [this](FileDialog which) { return AskPath(m_frame.get(), which, m_folders); };
    m_errorBox = [](const QString& text) {
        QMessageBox::critical(nullptr, QStringLiteral("Error"), text);
    };
    m_importPreview = [this](const QString& path, CImportChoices& choices) {
        CImportDialog preview(path, choices, m_frame.get());
        if (preview.exec() != QDialog::Accepted) {
            return false;
        }
        choices = preview.Choices();
        return true;
    };
    m_warningBox = [this](const QString& text) {
        QMessageBox::warning(m_frame.get(), QStringLiteral("Warning"), text);
    };
    m_questionBox = [this](const QString& text) { return AskDefaultNo(m_frame.get(), text); };
    m_saveQuestion = [this](const QString& text) {
        const auto button = QMessageBox::warning(
            m_frame.get(), QString::fromLatin1(kProduct), text,
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (button == QMessageBox::Save) {
            return SaveAnswer::Save;
        }
        return button == QMessageBox::Discard ? SaveAnswer::Discard : SaveAnswer::Cancel;
    };
    m_confirmBox = [this](const QString& text) { return AskDefaultNo(m_frame.get(), text); };
    m_titleTimer = new QTimer(this);
    m_titleTimer->setSingleShot(true);
    m_titleTimer->setInterval(150);
    connect(m_titleTimer, &QTimer::timeout, this, [this] { UpdateTitle(); });
}

CMainApp::~CMainApp() {
    m_commands.SetStatusSink(nullptr);
    m_frame.reset();
    g_app = nullptr;
}

CMainApp* CMainApp::Instance() {
    return g_app;
}

void CMainApp::InitInstance(const QString& file) {
    LoadRecentFiles();
    m_frame = std::make_unique<CMainFrame>(m_commands, *this);
    m_frame->SetCloseGuard([this] { return MaySetProjectAside(); });
    m_commands.SetStatusSink(m_frame->Status());
    CreateMenus();
    m_frame->setWindowIcon(ApplicationIcon());
    UpdateTitle();
    m_frame->resize(1100, 760);
    // The pages show the project's values from the start, not their own defaults.
    m_frame->Refresh(REFRESH_LOAD);
    m_frame->show();

    QSettings settings(kCompany, kProduct);
    settings.beginGroup(kUserGroup);
    const QVariant stored = settings.value("last_file");
    m_commands.m_datesInCol = settings.value("datesincol", 1).toInt();
    m_commands.m_valsInCol = settings.value("valsincol", 2).toInt();
    settings.endGroup();

    if (file.isEmpty()) {
        // A first start has no last file yet: it opens the sample (or the user's copy of it).
        std::string lastFile = stored.toString().toStdString();
        if (!stored.isValid()) {
            lastFile = m_firstProject ? m_firstProject() : std::string();
            lastFile = lastFile.empty() ? std::string(kDefaultLastFile) : lastFile;
        }
        // A last file that is missing for now is still the one to try at the next start; the
        // status bar says why the window is empty rather than a box at every start.
        const CStatus opened = m_commands.OpenProject(lastFile);
        if (!opened && !lastFile.empty()) {
            m_startFile = lastFile;
            m_frame->Status()->ShowNotice(
                QStringLiteral("The last project did not open: %1. Use File Open.")
                    .arg(QString::fromStdString(opened.Reason())));
        }
    } else {
        OpenDocumentFile(file);
    }
    // Whichever way the first project came, the first screen points to what the program does.
    if (!m_commands.m_lastFile.empty() && m_frame->Status()->Notice().isEmpty()) {
        m_frame->Status()->ShowNotice(QString::fromLatin1(kStartHint));
    }
    UpdateTitle();
}

int CMainApp::ExitInstance(int exitCode) {
    QSettings settings(kCompany, kProduct);
    settings.beginGroup(kUserGroup);
    const std::string& lastFile =
        m_commands.m_lastFile.empty() ? m_startFile : m_commands.m_lastFile;
    settings.setValue("last_file", QString::fromStdString(lastFile));
    settings.setValue("valsincol", m_commands.m_valsInCol);
    settings.setValue("datesincol", m_commands.m_datesInCol);
    settings.endGroup();
    SaveRecentFiles();

    m_commands.SetStatusSink(nullptr);
    m_frame.reset();
    m_recentPlaceholder = nullptr;
    m_recentActions.fill(nullptr);
    return exitCode;
}

void CMainApp::CreateMenus() {
    QMenu* file = m_frame->menuBar()->addMenu(QStringLiteral("&File"));
    auto add = [this](QMenu* menu, const char* text, const char* prompt, QKeySequence keys,
                      void (CMainApp::*command)()) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setStatusTip(QString::fromUtf8(prompt));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
        return action;
    };
    add(file, "&New", "New Quillmark Project", QKeySequence::New, &CMainApp::OnFileNew);
    add(file, "&Open...", "Open An Existing Quillmark Project File", QKeySequence::Open,
        &CMainApp::OnFileOpen);
    add(file, "&Save", "Save The Current Quillmark Project", QKeySequence::Save,
        &CMainApp::OnFileSave);
    add(file, "Save &As...", "Save The Current Quillmark Project As...", QKeySequence::SaveAs,
        &CMainApp::OnFileSaveAs);
    file->addSeparator();
    add(file, "&Import...", "Import Raw Data From File", QKeySequence(Qt::CTRL | Qt::Key_I),
        &CMainApp::OnFileImport);
    file->addSeparator();
    m_recentPlaceholder = file->addAction(QStringLiteral("&Recent Project File"));
    m_recentPlaceholder->setEnabled(false);
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction* action = file->addAction(QString());
        action->setStatusTip(QStringLiteral("Recent Quillmark Project"));
        connect(action, &QAction::triggered, this, [this, i] {
            if (i < m_recentFiles.size()) {
                // A copy: opening the file reorders the list.
                const QString path = m_recentFiles[i];
                OpenDocumentFile(path);
            }
        });
        m_recentActions[static_cast<size_t>(i)] = action;
    }
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setStatusTip(QStringLiteral("Exit Quillmark"));
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, m_frame.get(), &QWidget::close);

    QMenu* help = m_frame->menuBar()->addMenu(QStringLiteral("&Help"));
    add(help, "&About Quillmark...", "Display Program Information And Version Number",
        QKeySequence(), &CMainApp::OnAppAbout);
    UpdateRecentMenu();
}

void CMainApp::UpdateRecentMenu() {
    if (m_recentPlaceholder == nullptr) {
        return;
    }
    m_recentPlaceholder->setVisible(m_recentFiles.isEmpty());
    for (int i = 0; i < kRecentFiles; ++i) {
        QAction* action = m_recentActions[static_cast<size_t>(i)];
        const bool used = i < m_recentFiles.size();
        action->setVisible(used);
        action->setText(used ? RecentText(i, m_recentFiles[i]) : QString());
    }
}

void CMainApp::LoadRecentFiles() {
    QSettings settings(kCompany, kProduct);
    settings.beginGroup(kRecentGroup);
    m_recentFiles.clear();
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty()) {
            m_recentFiles.append(path);
        }
    }
    settings.endGroup();
}

void CMainApp::SaveRecentFiles() const {
    QSettings settings(kCompany, kProduct);
    settings.remove(kRecentGroup);
    settings.beginGroup(kRecentGroup);
    for (int i = 0; i < m_recentFiles.size(); ++i) {
        settings.setValue(QStringLiteral("File%1").arg(i + 1), m_recentFiles[i]);
    }
    settings.endGroup();
}

void CMainApp::AddRecentFile(const std::string& path) {
    const QString full = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    m_recentFiles.removeAll(full);
    m_recentFiles.prepend(full);
    while (m_recentFiles.size() > kRecentFiles) {
        m_recentFiles.removeLast();
    }
    UpdateRecentMenu();
}

void CMainApp::Refresh(RefreshCode code) {
    if (m_frame != nullptr) {
        m_frame->Refresh(code);
        m_titleTimer->start();
    }
}

void CMainApp::RedrawCharts() {
    if (m_frame != nullptr) {
        m_frame->RedrawCharts();
        m_titleTimer->start();
    }
}

bool CMainApp::StoreEdits() {
    if (m_frame == nullptr) {
        return true;
    }
    m_titleTimer->start();
    return m_frame->Refresh(REFRESH_STORE);
}

void CMainApp::ShowNotice(const std::string& text) {
    if (m_frame != nullptr) {
        m_frame->Status()->ShowNotice(QString::fromStdString(text));
    }
}

bool CMainApp::AskDefaultNo(QWidget* parent, const QString& text) {
    // Deleting, overwriting or starting an hours-long run cannot be taken back: Enter keeps
    // things as they are.
    return QMessageBox::question(parent, QString::fromLatin1(kProduct), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void CMainApp::ShowRead(const std::string& path, const SweepRun& read) {
    CProgressDialog progress(read, m_frame.get());
    progress.setWindowTitle(QStringLiteral("Quillmark - Opening %1...")
                                .arg(QFileInfo(QString::fromStdString(path)).fileName()));
    progress.RunShownAfter(m_quietReadMs);
}

void CMainApp::UpdateTitle() {
    if (m_frame == nullptr) {
        return;
    }
    const std::string& file = m_commands.m_lastFile;
    const QString name = file.empty() ? QStringLiteral("Untitled")
                                      : QFileInfo(QString::fromStdString(file)).fileName();
    m_frame->setWindowTitle(name + QStringLiteral("[*] - ") + QString::fromLatin1(kProduct));
    m_frame->setWindowModified(m_commands.HasUnsavedChanges());
}

bool CMainApp::MaySetProjectAside() {
    if (!m_commands.StorePending()) {
        return false;
    }
    if (!m_commands.HasUnsavedChanges()) {
        return true;
    }
    const std::string& file = m_commands.m_lastFile;
    const QString name = file.empty() ? QStringLiteral("the new project")
                                      : QFileInfo(QString::fromStdString(file)).fileName();
    switch (m_saveQuestion(QStringLiteral("Save the changes to %1?").arg(name))) {
        case SaveAnswer::Save:
            OnFileSave();
            UpdateTitle();
            return !m_commands.HasUnsavedChanges();
        case SaveAnswer::Discard:
            return true;
        case SaveAnswer::Cancel:
            break;
    }
    // The store may have brought edits into the project: the title shows them now.
    UpdateTitle();
    return false;
}

bool CMainApp::Confirm(const QString& text) {
    return m_confirmBox(text);
}

void CMainApp::OnFileNew() {
    if (!MaySetProjectAside()) {
        return;
    }
    m_startFile.clear();
    m_commands.NewProject();
    UpdateTitle();
}

void CMainApp::OnFileOpen() {
    if (!MaySetProjectAside()) {
        return;
    }
    const QString path = m_fileDialog(FileDialog::Open);
    if (path.isEmpty()) {
        return;
    }
    OpenAndReport(path);
}

bool CMainApp::OpenDocumentFile(const QString& path) {
    if (MaySetProjectAside()) {
        OpenAndReport(path);
    }
    return true;
}

void CMainApp::OpenAndReport(const QString& path) {
    CReadReport report;
    const CStatus opened = m_commands.OpenProject(path.toStdString(), &report);
    UpdateTitle();
    if (opened.Kind() == StatusKind::Cancelled) {
        return;  // the user stopped it: the project is as it was
    }
    if (!opened) {
        m_errorBox(QStringLiteral("File Not Opened.\n\n") +
                   QString::fromStdString(opened.Reason()));
    } else if (report.LostPoints()) {
        m_warningBox(QString::fromStdString(report.Summary()) +
                     QStringLiteral("\n\nA save now would leave them out of the file; mend the "
                                    "file first to keep them."));
    }
}

void CMainApp::OnFileSave() {
    if (m_commands.m_lastFile.empty()) {
        OnFileSaveAs();
        return;
    }
    SaveToLastFile();
}

bool CMainApp::SaveToLastFile() {
    const std::string path = m_commands.m_lastFile;
    if (m_commands.FileChangedOnDisk() &&
        !Confirm(QStringLiteral("%1 has changed on disk since it was opened or saved here. "
                                "Overwrite it?")
                     .arg(QString::fromStdString(path)))) {
        return false;
    }
    const CStatus saved = m_commands.SaveProject(path);
    if (saved.Kind() == StatusKind::Refused) {
        return false;  // the refused field has said why
    }
    if (!saved) {
        m_errorBox(NotSavedText(saved));
        OnFileSaveAs();
        return false;
    }
    UpdateTitle();
    return true;
}

void CMainApp::OnFileSaveAs() {
    QString chosen = m_fileDialog(FileDialog::SaveAs);
    if (chosen.isEmpty()) {
        return;
    }
    if (QFileInfo(chosen).suffix().isEmpty()) {
        chosen += QStringLiteral(".xml");
    }
    const std::string path = chosen.toStdString();
    const CStatus saved = m_commands.SaveProject(path);
    if (!saved && saved.Kind() != StatusKind::Refused) {
        m_commands.m_lastFile = path;
        m_errorBox(NotSavedText(saved));
    }
    UpdateTitle();
}

void CMainApp::OnFileImport() {
    const QString path = m_fileDialog(FileDialog::Import);
    if (path.isEmpty()) {
        return;
    }
    // The preview starts from the columns on the Data page, as typed; a refused entry stops
    // the import before the preview.
    if (!m_commands.StorePending()) {
        return;
    }
    CImportChoices choices;
    choices.datesColumn = m_commands.m_datesInCol;
    choices.valuesColumn = m_commands.m_valsInCol;
    if (!m_importPreview(path, choices)) {
        return;
    }
    CImportReport report;
    const CStatus imported = m_commands.ImportRawData(path.toStdString(), choices, &report);
    if (!imported) {
        m_errorBox(QStringLiteral("File Not Imported.\n\n") +
                   QString::fromStdString(imported.Reason()));
        return;
    }
    if (m_frame != nullptr) {
        m_frame->statusBar()->showMessage(QString::fromStdString(report.Summary()));
    }
}

void CMainApp::OnAppAbout() {
    CAboutDialog about(m_frame.get());
    about.exec();
}
