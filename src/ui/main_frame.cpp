#include "ui/main_frame.h"

#include <algorithm>

#include <QCloseEvent>
#include <QEvent>

#include "app/project_commands.h"
#include "ui/chart_panel.h"
#include "ui/date_strip.h"
#include "ui/navigation_dialog.h"
#include "ui/page_sheet.h"
#include "ui/pages/analysis_page.h"
#include "ui/pages/append_page.h"
#include "ui/pages/controls_page.h"
#include "ui/pages/data_page.h"
#include "ui/pages/info_page.h"
#include "ui/pages/parameters_page.h"
#include "ui/refresh.h"
#include "ui/result_sets_dialog.h"
#include "ui/status_bar.h"

namespace {

constexpr int kLeftColumn = 150;
constexpr int kSheetHeight = 160;
constexpr int kStripHeight = 40;
constexpr int kResultSetsHeight = 90;
constexpr int kMinimumWidth = 800;
constexpr int kMinimumHeight = 600;

QRect Box(int x, int y, int width, int height) {
    return QRect(x, y, std::max(0, width), std::max(0, height));
}

}  // namespace

CFrameLayout ComputeFrameLayout(int cx, int cy, int statusHeight) {
    const int sheetTop = cy - statusHeight - kSheetHeight;
    const int half = (sheetTop - kStripHeight) / 2;
    const int chartWidth = cx - kLeftColumn;
    CFrameLayout layout;
    layout.navigation = Box(0, 0, kLeftColumn, sheetTop - kResultSetsHeight);
    layout.resultSets = Box(0, sheetTop - kResultSetsHeight, kLeftColumn, kResultSetsHeight);
    layout.sheet = Box(0, sheetTop, cx, kSheetHeight);
    layout.dateStrip = Box(kLeftColumn, half, chartWidth, kStripHeight);
    layout.dataSetChart = Box(kLeftColumn, half + kStripHeight, chartWidth, half);
    layout.historyChart = Box(kLeftColumn, 0, chartWidth, half);
    return layout;
}

CMainFrame::CMainFrame(CProjectCommands& commands, CFrontEnd& frontEnd)
    : m_frontEnd(frontEnd), m_client(new QWidget(this)) {
    CProject& project = commands.Project();
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    m_dataSetChart = new CDataSetChart(project, m_client);
    m_historyChart = new CHistoryChart(project, m_client);
    m_dateStrip = new CDateStrip(project, m_client);
    m_dataSetChart->installEventFilter(this);
    m_historyChart->installEventFilter(this);

    m_status = new CStatusBar(this);
    setStatusBar(m_status);

    CreatePages(commands);

    m_navigation = new CNavigationDialog(commands, *this, m_client);
    m_resultSets = new CResultSetsDialog(commands, m_client);

    setFocusPolicy(Qt::StrongFocus);
    m_dataSetChart->setFocus();
    // Below this the trees lose their items from view and the sheet its pages' controls.
    setMinimumSize(kMinimumWidth, kMinimumHeight);
}

CMainFrame::~CMainFrame() {
    // The charts go before the frame's own destruction ends; stop watching them first.
    m_dataSetChart->removeEventFilter(this);
    m_historyChart->removeEventFilter(this);
    m_client->removeEventFilter(this);
}

void CMainFrame::CreatePages(CProjectCommands& commands) {
    m_sheet = new CPageSheet(m_client);
    m_sheet->AddPage(new CDataPage(commands, *this));
    m_sheet->AddPage(new CControlsPage(commands, *this));
    m_sheet->AddPage(new CInfoPage(commands, *this));
    m_sheet->AddPage(new CAppendPage(commands, *this));
    m_sheet->AddPage(new CParametersPage(commands, *this));
    m_sheet->AddPage(new CAnalysisPage(commands, *this));
    m_sheet->ActivateAll();
}

void CMainFrame::RedrawCharts() {
    m_dataSetChart->update();
    m_historyChart->update();
    m_dateStrip->update();
}

bool CMainFrame::Refresh(RefreshCode code) {
    return BroadcastRefresh(this, code);
}

void CMainFrame::LayoutChildren() {
    const int statusHeight = m_status->isVisible() ? m_status->height() : 0;
    const CFrameLayout layout =
        ComputeFrameLayout(m_client->width(), m_client->height() + statusHeight, statusHeight);
    m_navigation->setGeometry(layout.navigation);
    m_resultSets->setGeometry(layout.resultSets);
    m_sheet->setGeometry(layout.sheet);
    m_dateStrip->setGeometry(layout.dateStrip);
    m_dataSetChart->setGeometry(layout.dataSetChart);
    m_historyChart->setGeometry(layout.historyChart);
}

void CMainFrame::MouseLeft(CChartPanel* chart) {
    chart->SetMouseInside(false);
    chart->update();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CMainFrame::focusInEvent(QFocusEvent* event) {
    QMainWindow::focusInEvent(event);
    m_dataSetChart->setFocus();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) {
        LayoutChildren();
    } else if (event->type() == QEvent::Leave) {
        if (watched == m_dataSetChart) {
            MouseLeft(m_dataSetChart);
        } else if (watched == m_historyChart) {
            MouseLeft(m_historyChart);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
