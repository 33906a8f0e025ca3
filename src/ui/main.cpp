// quillmark: the desktop program.

#include <cstdio>

#include <QCommandLineParser>

#include "ui/main_app.h"
#include "ui/main_frame.h"

namespace {

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
    CMainApp app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription("Quillmark: market series and a trend-following strategy.");
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringList{"screenshot"},
                                        "Open as usual, write a picture of the window, exit.",
                                        "OUT.png");
    parser.addOption(screenshot);
    parser.addPositionalArgument("FILE", "Project file to open instead of the last one.", "[FILE]");
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    const QString file = files.isEmpty() ? QString() : files.first();

    if (parser.isSet(screenshot)) {
        app.SetErrorBox([](const QString& text) {
            std::fprintf(stderr, "quillmark: error: %s\n", qPrintable(text));
        });
    }
    app.InitInstance(file);
    if (parser.isSet(screenshot)) {
        // A picture leaves the user's settings as they were: no ExitInstance.
        return WriteScreenshot(app, parser.value(screenshot));
    }
    return app.ExitInstance(CMainApp::exec());
}
