#include "ui/chart_panel.h"

#include <utility>

#include <QMouseEvent>
#include <QPainter>

#include "charts/chart_drawing.h"
#include "charts/qt/painter_surface.h"
#include "charts/qt/picture_image.h"
#include "model/data_set.h"
#include "model/project.h"
#include "ui/refresh.h"

CChartPanel::CChartPanel(CProject& project, std::string title, QWidget* parent)
    : QFrame(parent), m_project(project), m_indicator(&IdleIndicator()) {
    m_line.title = std::move(title);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    // Every paint covers the whole panel, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

void CChartPanel::DrawChart(CDrawSurface&) {}

CDataSet* CChartPanel::GetDataSet() const {
    return nullptr;
}

int CChartPanel::GetValueSlot() const {
    return Raw;
}

void CChartPanel::UpdateReadout(int32_t x) {
    CDataSet* ds = GetDataSet();
    if (ds != nullptr) {
        const int32_t plotWidth = contentsRect().width() - 60;
        const CDataPoint* cursor = nullptr;
        if (plotWidth > 0) {
            cursor = ds->FindCursorPoint(static_cast<double>(x) / plotWidth);
        }
        m_line.dataSetName = ds->m_name;
        if (cursor != nullptr) {
            m_line.readout = FormatReadout(*cursor, GetValueSlot());
        }
    }
    update();
}

void CChartPanel::DrawPanel(CDrawSurface& dc, ChartKind kind) {
    m_indicator = &DrawChartPanel(dc, m_project, kind, m_line, m_mouseInside);
}

// Every panel follows the name of the data set it shows: emptied when there is none, taken
// again when the current data set changes.
void CChartPanel::customEvent(QEvent* event) {
    const std::optional<RefreshCode> code = RefreshCodeOf(event);
    if (!code) {
        return;
    }
    const CDataSet* shown = GetDataSet();
    if (shown == nullptr) {
        m_line.dataSetName.clear();
    } else if (*code == REFRESH_CURRENT) {
        m_line.dataSetName = shown->m_name;
    }
}

const QImage& CChartPanel::PaintOffscreen(QSize size, double pixelRatio) {
    const CRect client{0, 0, size.width(), size.height()};
    if (!(client == m_bitmapSize) || m_offscreen.devicePixelRatio() != pixelRatio) {
        // The chart is drawn in device-independent pixels; the painter scales them to the
        // physical ones, so text is sharp and every line stays one pixel wide to the eye.
        m_offscreen = PictureImage(size.width(), size.height(), pixelRatio);
        m_bitmapSize = client;
    }
    if (!m_offscreen.isNull()) {
        QPainter offscreen(&m_offscreen);
        CPainterSurface surface(offscreen, client);
        DrawChart(surface);
    }
    return m_offscreen;
}

void CChartPanel::paintEvent(QPaintEvent*) {
    const QRect area = contentsRect();
    QPainter window(this);
    drawFrame(&window);
    const QImage& picture = PaintOffscreen(area.size(), devicePixelRatioF());
    if (!picture.isNull()) {
        // A picture of the screen's own ratio is copied pixel for pixel.
        window.drawImage(area.topLeft(), picture);
    }
}

void CChartPanel::mouseMoveEvent(QMouseEvent* event) {
    UpdateReadout(static_cast<int32_t>(event->position().x()) - contentsRect().left());
    m_mouseInside = true;
    QFrame::mouseMoveEvent(event);
}

CDataSetChart::CDataSetChart(CProject& project, QWidget* parent)
    : CChartPanel(project, "DATA SET:    ", parent) {}

void CDataSetChart::DrawChart(CDrawSurface& dc) {
    DrawPanel(dc, ChartKind::DataSet);
}

CDataSet* CDataSetChart::GetDataSet() const {
    return m_project.Current();
}

int CDataSetChart::GetValueSlot() const {
    return m_project.DisplaySlot();
}

CHistoryChart::CHistoryChart(CProject& project, QWidget* parent)
    : CChartPanel(project, "INVESTMENT HISTORY:    ", parent) {}

void CHistoryChart::DrawChart(CDrawSurface& dc) {
    DrawPanel(dc, ChartKind::History);
}

CDataSet* CHistoryChart::GetDataSet() const {
    return m_project.Primary();
}

int CHistoryChart::GetValueSlot() const {
    return Net;
}
