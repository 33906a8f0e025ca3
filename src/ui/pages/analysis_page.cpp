#include "ui/pages/analysis_page.h"

#include "model/project.h"

CAnalysisPage::CAnalysisPage(CProject& project, CMainFrame& frame, QWidget* parent)
    : CProjectPage(project, frame, parent) {}

bool CAnalysisPage::OnSetActive() {
    m_project.SetDisplaySlot(Raw);
    return CProjectPage::OnSetActive();
}
