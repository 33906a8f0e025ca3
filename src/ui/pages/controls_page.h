#pragma once

#include "ui/pages/project_page.h"

// The Controls page: the window by dates, zoom, pan, reset to the data and Zero Base. It keeps
// the display slot when the sheet switches to it.
class CControlsPage : public CProjectPage {
  public:
    CControlsPage(CProject& project, CMainFrame& frame, QWidget* parent = nullptr);
};
