#pragma once

#include "ui/pages/project_page.h"

// The Append page: adds typed-in values to the current data set and takes the last one back.
class CAppendPage : public CProjectPage {
  public:
    CAppendPage(CProject& project, CMainFrame& frame, QWidget* parent = nullptr);

    bool OnSetActive() override;
};
