#include "cli/render_command.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <iostream>
#include <string_view>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include "charts/chart_drawing.h"
#include "charts/qt/painter_surface.h"
#include "charts/status_line.h"
#include "cli/cli_commands.h"
#include "cli/json_output.h"
#include "model/project.h"
#include "storage/file_io.h"

namespace {

constexpr int kDateStripHeight = 40;
constexpr int kMaxSide = 16384;

int Fail(const std::string& message) {
    std::cerr << "quillmark-cli: error: " << message << '\n';
    return 1;
}

// One chart panel: the chart, then its status line, as the panel paints them. With a cursor
// the mouse is taken to be over the panel at that fraction of the plot width.
void PaintChartPanel(QPainter& painter, const QRect& area, CProject& project, bool history,
                     const std::optional<double>& cursor) {
    CDataSet* ds = history ? project.Primary() : project.Current();
    const int slot = history ? Net : project.DisplaySlot();
    CStatusLine line;
    line.title = history ? "INVESTMENT HISTORY:    " : "DATA SET:    ";
    const int32_t mouseInside = cursor ? 1 : 0;
    if (ds != nullptr) {
        line.dataSetName = ds->m_name;
        // A panel too narrow for a plot chooses no cursor point.
        if (cursor && area.width() - 60 > 0) {
            if (const CDataPoint* point = ds->FindCursorPoint(*cursor)) {
                line.readout = FormatReadout(*point, slot);
            }
        }
    }
    painter.save();
    painter.translate(area.topLeft());
    {
        CPainterSurface dc(painter, CRect{0, 0, area.width(), area.height()});
        if (history) {
            project.DrawHistoryChart(dc, mouseInside != 0);
        } else {
            project.DrawDataSetChart(dc, mouseInside != 0);
        }
        DrawStatusLine(dc, line, mouseInside != 0 ? ActiveIndicator() : IdleIndicator(),
                       mouseInside);
    }
    painter.restore();
}

void PaintDateStrip(QPainter& painter, const QRect& area, CProject& project) {
    painter.save();
    painter.translate(area.topLeft());
    {
        CPainterSurface dc(painter, CRect{0, 0, area.width(), area.height()});
        DrawDateStrip(dc, project);
    }
    painter.restore();
}

// The charts column of the main window: the history chart on top, the date strip, the data
// set chart, the two charts sharing the height equally; an odd row is left at the bottom.
QImage PaintCharts(CProject& project, int width, int height, const std::optional<double>& cursor) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QGuiApplication::palette().color(QPalette::Button));
    const int half = (height - kDateStripHeight) / 2;
    QPainter painter(&image);
    PaintChartPanel(painter, QRect(0, 0, width, half), project, true, cursor);
    PaintDateStrip(painter, QRect(0, half, width, kDateStripHeight), project);
    PaintChartPanel(painter, QRect(0, half + kDateStripHeight, width, half), project, false,
                    cursor);
    painter.end();
    return image;
}

// Qt's notes about the environment (no runtime folder, and the like) would break the rule of
// one error line on stderr; only its critical messages get through.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << "quillmark-cli: qt: " << message.toStdString() << '\n';
    }
}

}  // namespace

CLI::App* AddRenderCommand(CLI::App& app, CRenderOptions& options) {
    CLI::App* render = app.add_subcommand("render", "Draw the charts of a project into a PNG");
    render->add_option("PROJECT", options.projectPath, "Project file")->required();
    render->add_option("-o", options.outPath, "PNG file to write")->required();
    render->add_option("--width", options.width, "Picture width in pixels (default 1000)")
        ->check(CLI::Range(1, kMaxSide));
    render->add_option("--height", options.height, "Picture height in pixels (default 600)")
        ->check(CLI::Range(kDateStripHeight, kMaxSide));
    render->add_option("--result", options.resultSet, "Apply result set N first");
    render->add_option("--cursor", options.cursor,
                       "Show the crosshair at this fraction of the plot width (0 to 1)");
    return render;
}

int RunRender(const CRenderOptions& options) {
    CProject project;
    std::string error;
    if (!LoadProject(project, options.projectPath, error)) {
        return Fail(error);
    }
    Json resultSet = nullptr;
    if (options.resultSet) {
        int32_t n = *options.resultSet;
        project.SelectResultSet(n);
        resultSet = n;
    } else {
        project.Simulate();
    }

    // Drawing needs no display: the program picks Qt's offscreen platform for itself.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QuietQtMessages);
    int argc = 1;
    char name[] = "quillmark-cli";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);

    const QImage image = PaintCharts(project, options.width, options.height, options.cursor);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return Fail("cannot encode the picture for '" + options.outPath + "'");
    }
    if (!WriteFileAtomically(options.outPath,
                             std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                             error)) {
        return Fail(error);
    }
    std::cout << Dump(Json{{"output", options.outPath},
                           {"width", options.width},
                           {"height", options.height},
                           {"result_set", resultSet},
                           {"cursor", options.cursor ? Number(*options.cursor) : Json(nullptr)}})
              << '\n';
    return 0;
}
