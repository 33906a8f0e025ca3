#include "cli/render_command.h"

#include <cstdlib>
#include <iostream>
#include <string_view>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include "charts/qt/chart_picture.h"
#include "cli/cli_commands.h"

#include "app/project_commands.h"
#include "cli/file_checks.h"
#include "cli/json_output.h"
#include "model/project.h"
#include "storage/file_io.h"

namespace {

// Qt's notes about the environment (no runtime folder, and the like) would break the rule of
// one error line on stderr; only its critical messages get through.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << "quillmark-cli: qt: " << message.toStdString() << '\n';
    }
}

}  // namespace

std::unique_ptr<QGuiApplication> StartOffscreenApplication() {
    // Drawing needs no display: the program picks Qt's offscreen platform for itself.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QuietQtMessages);
    // The application keeps a reference to its argument count for its whole life.
    static int argc = 1;
    static char name[] = "quillmark-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

bool WritePng(const QImage& image, const std::string& path, std::string& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        error = "cannot encode the picture for '" + path + "'";
        return false;
    }
    return WriteFileAtomically(
        path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error);
}

int RunRender(const CRenderOptions& options) {
    CProject project;
    CProjectCommands commands(project);
    CStatus status = CheckOutputIsNotInput(options.outPath, options.projectPath);
    if (status) {
        status = LoadProject(commands, options.projectPath);
    }
    if (!status) {
        return Fail(status);
    }
    const std::optional<int> applied = SimulateOrApply(commands, options.resultSet);
    const Json resultSet = applied ? Json(*applied) : Json(nullptr);

    const auto application = StartOffscreenApplication();
    const QImage image =
        PaintMainCharts(project, options.width, options.height, options.cursor, options.scale);
    std::string error;
    if (!WritePng(image, options.outPath, error)) {
        return Fail(error);
    }
    std::cout << Dump(Json{{"output", options.outPath},
                           {"width", options.width},
                           {"height", options.height},
                           {"scale", options.scale},
                           {"result_set", resultSet},
                           {"cursor", options.cursor ? Number(*options.cursor) : Json(nullptr)}})
              << '\n';
    return 0;
}
