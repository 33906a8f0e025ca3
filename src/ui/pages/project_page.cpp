#include "ui/pages/project_page.h"

#include "model/project.h"
#include "ui/main_frame.h"
#include "ui/refresh.h"

CProjectPage::CProjectPage(CProject& project, CMainFrame& frame, QWidget* parent)
    : QWidget(parent), m_project(project), m_frame(frame) {}

bool CProjectPage::OnSetActive() {
    m_frame.RedrawCharts();
    return true;
}

void CProjectPage::OnProjectRefresh(int) {}

void CProjectPage::customEvent(QEvent* event) {
    const int code = RefreshCodeOf(event);
    if (code >= 0) {
        OnProjectRefresh(code);
    }
}

bool CProjectPage::HasDataSets() const {
    return m_project.Primary() != nullptr && m_project.Current() != nullptr;
}
