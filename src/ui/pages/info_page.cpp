#include "ui/pages/info_page.h"

#include "model/project.h"

CInfoPage::CInfoPage(CProject& project, CMainFrame& frame, QWidget* parent)
    : CProjectPage(project, frame, parent) {}

bool CInfoPage::OnSetActive() {
    m_project.SetDisplaySlot(Raw);
    return CProjectPage::OnSetActive();
}
