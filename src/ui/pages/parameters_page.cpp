#include "ui/pages/parameters_page.h"

#include "model/project.h"

CParametersPage::CParametersPage(CProject& project, CMainFrame& frame, QWidget* parent)
    : CProjectPage(project, frame, parent) {}

bool CParametersPage::OnSetActive() {
    const bool shown = CProjectPage::OnSetActive();
    m_project.SetDisplaySlot(Raw);
    return shown;
}
