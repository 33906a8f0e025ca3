#pragma once

#include <QFrame>
#include <QImage>

#include <cstdint>
#include <string>

#include "charts/chart_drawing.h"
#include "charts/draw_surface.h"
#include "charts/status_line.h"

class CDataSet;
class CProject;

// A chart panel: paints its chart through an off-screen picture, with the 14-pixel status line
// at the bottom (indicator, title, data set name, readout), and follows the mouse: the x of the
// mouse chooses the cursor point of the data set shown, and the readout gives its date and
// value. The panels do not repaint on a refresh; the main frame's RedrawCharts does that.
// The panel has a sunken edge; "client" below means the area inside it.
class CChartPanel : public QFrame {
  public:
    // `title` is shown first in the status line. The project outlives the panel.
    CChartPanel(CProject& project, std::string title, QWidget* parent = nullptr);

    // Draws the whole panel content into `dc`. The base draws nothing.
    virtual void DrawChart(CDrawSurface& dc);
    // The cursor point for mouse x (client coordinates), the data set name and the readout;
    // then a repaint.
    void UpdateReadout(int32_t x);
    // The data set shown, or null. The base shows none.
    virtual CDataSet* GetDataSet() const;
    // The value slot of the readout. The base reads slot 0.
    virtual int GetValueSlot() const;

    // True after the mouse has moved over the panel; the main frame clears it when the mouse moves
    // on. The indicator, the readout and the crosshair follow it.
    bool MouseInside() const { return m_mouseInside; }
    void SetMouseInside(bool inside) { m_mouseInside = inside; }

    // The text of the status line as the next paint draws it (title, name, readout).
    const CStatusLine& StatusLine() const { return m_line; }
    // The indicator the last paint drew.
    const CPixelImage* Indicator() const { return m_indicator; }

    // Draws the panel content for a client area of `size` into the off-screen picture, which
    // holds `pixelRatio` physical pixels to each device-independent one and says so; the
    // picture lives until the next call. A paint calls it with the screen's ratio.
    // REQUIRES: pixelRatio > 0.
    const QImage& PaintOffscreen(QSize size, double pixelRatio);

  protected:
    // The whole panel into `dc` as pictures of the charts draw it: the chart, then the status
    // line.
    void DrawPanel(CDrawSurface& dc, ChartKind kind);
    void customEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

    CProject& m_project;

  private:
    bool m_mouseInside = false;
    CRect m_bitmapSize;
    const CPixelImage* m_indicator;
    QImage m_offscreen;
    CStatusLine m_line;
};

// The data set chart: the current data set and its smoothed curve in the window.
class CDataSetChart : public CChartPanel {
  public:
    explicit CDataSetChart(CProject& project, QWidget* parent = nullptr);

    void DrawChart(CDrawSurface& dc) override;
    CDataSet* GetDataSet() const override;
    int GetValueSlot() const override;
};

// The investment history chart: the gross and net values of the primary data set.
class CHistoryChart : public CChartPanel {
  public:
    explicit CHistoryChart(CProject& project, QWidget* parent = nullptr);

    void DrawChart(CDrawSurface& dc) override;
    CDataSet* GetDataSet() const override;
    int GetValueSlot() const override;
};
