#pragma once

#include <QWidget>

#include "ui/refresh.h"

class CMainFrame;
class CProject;

// The base of the six pages of the page sheet. A page shows part of the project in its
// controls: it copies the project's values in and out when the refresh broadcast asks for it
// (OnProjectRefresh) and redraws the charts whenever the sheet switches to it (OnSetActive).
class CProjectPage : public QWidget {
  public:
    // The project and the frame outlive the page.
    CProjectPage(CProject& project, CMainFrame& frame, QWidget* parent = nullptr);

    // The sheet is switching to this page. The base asks the frame to redraw the charts.
    // Returns true when the page may be shown, which every page allows.
    virtual bool OnSetActive();

  protected:
    // One code of the refresh broadcast. The base ignores every code.
    virtual void OnProjectRefresh(RefreshCode code);

    void customEvent(QEvent* event) override;

    // Whether the project has a primary and a current data set, without which the pages that
    // show data set figures ignore every refresh.
    bool HasDataSets() const;

    CProject& m_project;
    CMainFrame& m_frame;
};
