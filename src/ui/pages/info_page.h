#pragma once

#include "ui/pages/project_page.h"

// The Info page: the current data set's potential gains, its currency and its comment.
class CInfoPage : public CProjectPage {
  public:
    CInfoPage(CProject& project, CMainFrame& frame, QWidget* parent = nullptr);

    bool OnSetActive() override;
};
