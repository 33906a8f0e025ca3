// The GUI tests drive the real windows on Qt's offscreen platform, so no display is needed. One
// CMainApp serves the whole binary; each test starts and ends its own main window. The settings
// and the working folder are private to the run: the user's own settings are never touched.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include <QtGlobal>

#include "ui/main_app.h"

namespace {

// Qt's offscreen platform warns that it cannot pass size hints on; nothing here needs them.
void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!text.contains(QLatin1String("propagateSizeHints"))) {
        qt_message_output(type, context, text);
    }
}

}  // namespace

int main(int argc, char** argv) {
    char base[] = "/tmp/quillmark-ui-test-XXXXXX";
    if (mkdtemp(base) == nullptr) {
        return 1;
    }
    // The program's default folders are siblings of the working folder ("../Project Files").
    const std::filesystem::path root(base);
    std::filesystem::create_directories(root / "config");
    std::filesystem::create_directories(root / "work");
    std::filesystem::current_path(root / "work");
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    qInstallMessageHandler(FilterMessages);
    int result = 0;
    {
        CMainApp app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return result;
}
