#include "ui/pages/controls_page.h"

#include "model/project.h"

CControlsPage::CControlsPage(CProject& project, CMainFrame& frame, QWidget* parent)
    : CProjectPage(project, frame, parent) {}
