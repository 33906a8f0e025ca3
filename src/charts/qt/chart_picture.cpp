#include "charts/qt/chart_picture.h"

#include <string>

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QRect>

#include "charts/chart_drawing.h"
#include "charts/qt/painter_surface.h"
#include "charts/qt/picture_image.h"
#include "charts/status_line.h"
#include "model/project.h"

namespace {

// One chart panel as the panel paints it. With a cursor the mouse is taken to be over the
// panel at that fraction of the plot width.
void PaintChartPanel(QPainter& painter, const QRect& area, CProject& project, ChartKind kind,
                     const std::optional<double>& cursor) {
    const bool history = kind == ChartKind::History;
    CDataSet* ds = history ? project.Primary() : project.Current();
    const int slot = history ? Net : project.DisplaySlot();
    CStatusLine line;
    line.title = history ? "INVESTMENT HISTORY:    " : "DATA SET:    ";
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
        DrawChartPanel(dc, project, kind, line, cursor.has_value());
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

}  // namespace

QImage PaintMainCharts(CProject& project, int width, int height,
                       const std::optional<double>& cursor, double pixelRatio) {
    QImage image = PictureImage(width, height, pixelRatio);
    image.fill(QGuiApplication::palette().color(QPalette::Button));
    const int half = (height - kChartsDateStripHeight) / 2;
    QPainter painter(&image);
    PaintChartPanel(painter, QRect(0, 0, width, half), project, ChartKind::History, cursor);
    PaintDateStrip(painter, QRect(0, half, width, kChartsDateStripHeight), project);
    PaintChartPanel(painter, QRect(0, half + kChartsDateStripHeight, width, half), project,
                    ChartKind::DataSet, cursor);
    painter.end();
    return image;
}
