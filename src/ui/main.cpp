// quillmark: the desktop program.

#include <cstdio>
#include <cstring>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStandardPaths>

#include "app/program_version.h"
#include "app/sample_files.h"
#include "ui/main_app.h"
#include "ui/main_frame.h"

namespace {

constexpr char kDesktopEntry[] = "com.orvane.Quillmark";

struct CStartOptions {
    QCommandLineOption screenshot{QStringList{"screenshot"},
                                  "Open as usual, write a picture of the window, exit.", "OUT.png"};
};

void DescribeOptions(QCommandLineParser& parser, const CStartOptions& options) {
    parser.setApplicationDescription("Quillmark: market series and a trend-following strategy.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(options.screenshot);
    parser.addPositionalArgument("FILE", "Project file to open instead of the last one.", "[FILE]");
}

// --help and --version answer in a terminal without a display, so they are read before the
// windowing system is.
bool AsksOnlyForText(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0) {
                return true;
            }
        }
    }
    return false;
}

// Prints the help or the version and returns the exit code.
int PrintText(int argc, char** argv) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName("quillmark");
    QCoreApplication::setApplicationVersion(QString::fromStdString(ProgramVersion()));
    QCommandLineParser parser;
    const CStartOptions options;
    DescribeOptions(parser, options);
    parser.process(core);  // prints and exits
    return 0;
}

// Where the samples are, for the first start and the file dialogs: the installation's data
// folder or the build tree around the program.
void PlaceSamples(CMainApp& app, const char* argv0) {
    const CSampleFolders samples = FindSamples(ProgramFolder(argv0));
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    app.SetFolders({QString::fromStdString(samples.projects), QString::fromStdString(samples.data),
                    documents});
    app.SetFirstProject([samples, documents] {
        std::string project;
        const CStatus copied = FirstStartProject(samples, documents.toStdString(), project);
        if (!copied) {
            std::fprintf(stderr, "quillmark: cannot copy the sample: %s\n",
                         copied.Reason().c_str());
        }
        return project;
    });
}

// Lays the main window out at 1280 x 800 and writes a picture of it. Returns the exit code.
int WriteScreenshot(CMainApp& app, const QString& path) {
    CMainFrame* frame = app.MainFrame();
    frame->resize(1280, 800);
    CMainApp::processEvents();
    if (!frame->grab().save(path)) {
        std::fprintf(stderr, "quillmark: error: cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksOnlyForText(argc, argv)) {
        return PrintText(argc, argv);
    }
    CMainApp app(argc, argv);
    CMainApp::setApplicationVersion(QString::fromStdString(ProgramVersion()));
    CMainApp::setDesktopFileName(kDesktopEntry);

    QCommandLineParser parser;
    const CStartOptions options;
    DescribeOptions(parser, options);
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    const QString file = files.isEmpty() ? QString() : files.first();

    if (parser.isSet(options.screenshot)) {
        app.SetErrorBox([](const QString& text) {
            std::fprintf(stderr, "quillmark: error: %s\n", qPrintable(text));
        });
    }
    PlaceSamples(app, argv[0]);
    app.InitInstance(file);
    if (parser.isSet(options.screenshot)) {
        // A picture leaves the user's settings as they were: no ExitInstance.
        return WriteScreenshot(app, parser.value(options.screenshot));
    }
    return app.ExitInstance(CMainApp::exec());
}
