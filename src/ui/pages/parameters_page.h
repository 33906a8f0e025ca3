#pragma once

#include "ui/pages/project_page.h"

// The Parameters page: the strategy parameters of the current data set, with Update to
// simulate.
class CParametersPage : public CProjectPage {
  public:
    CParametersPage(CProject& project, CMainFrame& frame, QWidget* parent = nullptr);

    bool OnSetActive() override;
};
