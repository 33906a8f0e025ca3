#pragma once

#include "ui/pages/project_page.h"

// The Analysis page: the ranges of the optimisation, Process to run it, and its outcome.
class CAnalysisPage : public CProjectPage {
  public:
    CAnalysisPage(CProject& project, CMainFrame& frame, QWidget* parent = nullptr);

    bool OnSetActive() override;
};
