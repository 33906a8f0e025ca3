#pragma once

#include <QMainWindow>
#include <QRect>

#include <functional>

#include "app/refresh_code.h"

class CChartPanel;
class CStatusBar;
class CDataSetChart;
class CDateStrip;
class CHistoryChart;
class CPageSheet;
class CNavigationDialog;
class CFrontEnd;
class CProject;
class CProjectCommands;
class CResultSetsDialog;

// Where the frame puts its children, in client coordinates above the status bar.
struct CFrameLayout {
    QRect navigation;
    QRect resultSets;
    QRect sheet;
    QRect dateStrip;
    QRect dataSetChart;
    QRect historyChart;
};

// The fixed layout for a client area cx x cy with a status bar `statusHeight` high: the
// sheet (160 high) across the bottom, above it a 150-pixel column with the navigation
// dialog over the 90-pixel result sets box, and to the right the history chart on top, the
// 40-pixel date strip and the data set chart, the two charts equally high. A client area too
// small for the fixed sizes gives empty rectangles, never negative sizes.
CFrameLayout ComputeFrameLayout(int cx, int cy, int statusHeight);

// The main window. It creates and owns every long-lived window (the status bar, the chart
// panels and the date strip, the navigation trees, the result sets box, the page sheet with
// its six pages), lays them out on every size change, gives the keyboard focus to the data set
// chart and tells the charts when the mouse has left them.
class CMainFrame : public QMainWindow {
  public:
    // The commands (with their project) and the front end outlive the frame.
    CMainFrame(CProjectCommands& commands, CFrontEnd& frontEnd);
    ~CMainFrame() override;

    // Repaints the data set chart, the history chart and the date strip from the project.
    void RedrawCharts();
    // Broadcasts a refresh to every window of the frame; see ui/refresh.h. False when a window
    // refused a typed entry of a REFRESH_STORE.
    bool Refresh(RefreshCode code);
    // Asked before the window closes (Exit, the window's close button); false keeps it open.
    void SetCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }

    CStatusBar* Status() const { return m_status; }
    CFrontEnd& FrontEnd() const { return m_frontEnd; }
    CDataSetChart* DataSetChart() const { return m_dataSetChart; }
    CHistoryChart* HistoryChart() const { return m_historyChart; }
    CDateStrip* DateStrip() const { return m_dateStrip; }
    CResultSetsDialog* ResultSets() const { return m_resultSets; }
    CNavigationDialog* Navigation() const { return m_navigation; }
    CPageSheet* Sheet() const { return m_sheet; }
    // The area the children are laid out in (the frame's client area above the status bar).
    QWidget* Client() const { return m_client; }

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreatePages(CProjectCommands& commands);
    void LayoutChildren();
    // The mouse has left `chart`: no more indicator, readout or crosshair there.
    void MouseLeft(CChartPanel* chart);

    CFrontEnd& m_frontEnd;
    QWidget* m_client;
    CStatusBar* m_status = nullptr;
    CDataSetChart* m_dataSetChart = nullptr;
    CHistoryChart* m_historyChart = nullptr;
    CDateStrip* m_dateStrip = nullptr;
    CResultSetsDialog* m_resultSets = nullptr;
    CNavigationDialog* m_navigation = nullptr;
    CPageSheet* m_sheet = nullptr;
    std::function<bool()> m_closeGuard;
};
