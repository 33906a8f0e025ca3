#pragma once

#include <QWidget>

#include <cstdint>

class CMainFrame;
class CProject;

// The result sets box below the navigation trees: applies the chosen result set of the last
// optimisation to every data set and simulates. The number starts at 1 and persists across
// projects; it is clamped whenever it is applied.
class CResultSetsDialog : public QWidget {
  public:
    // The project and the frame outlive the dialog.
    CResultSetsDialog(CProject& project, CMainFrame& frame, QWidget* parent = nullptr);

    // Stores the pages, applies result set `Number()` (clamped, written back), simulates,
    // redraws the charts and lets every window load the new parameters.
    void Apply();

    int32_t Number() const { return m_number; }

  protected:
    void customEvent(QEvent* event) override;

  private:
    int32_t m_number = 1;
    CProject& m_project;
    CMainFrame& m_frame;
};
