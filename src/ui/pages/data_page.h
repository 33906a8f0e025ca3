#pragma once

#include "ui/pages/project_page.h"

// The Data page: moves and deletes data sets and holds the two column numbers of the raw data
// import.
class CDataPage : public CProjectPage {
  public:
    CDataPage(CProject& project, CMainFrame& frame, QWidget* parent = nullptr);

    bool OnSetActive() override;
};
