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

void CProjectPage::OnProjectRefresh(RefreshCode) {}

void CProjectPage::customEvent(QEvent* event) {
    if (const std::optional<RefreshCode> code = RefreshCodeOf(event)) {
        OnProjectRefresh(*code);
    }
}

bool CProjectPage::HasDataSets() const {
    return m_project.Primary() != nullptr && m_project.Current() != nullptr;
}
