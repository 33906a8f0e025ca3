#include "ui/pages/data_page.h"

#include "model/project.h"

CDataPage::CDataPage(CProject& project, CMainFrame& frame, QWidget* parent)
    : CProjectPage(project, frame, parent) {}

bool CDataPage::OnSetActive() {
    m_project.SetDisplaySlot(Raw);
    return CProjectPage::OnSetActive();
}
