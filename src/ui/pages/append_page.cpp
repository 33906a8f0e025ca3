#include "ui/pages/append_page.h"

#include "model/project.h"

CAppendPage::CAppendPage(CProject& project, CMainFrame& frame, QWidget* parent)
    : CProjectPage(project, frame, parent) {}

bool CAppendPage::OnSetActive() {
    m_project.SetDisplaySlot(Raw);
    return CProjectPage::OnSetActive();
}
