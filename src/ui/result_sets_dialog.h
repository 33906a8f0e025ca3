#pragma once

#include <QWidget>

#include <cstdint>

class CMainFrame;
class CProject;
class QGroupBox;
class QLineEdit;

// The result sets box below the navigation trees: shows the number of the applied result set
// of the last optimisation with the gain per year it gives, and steps to the next ("+") or the
// previous ("-") one. Applying a result set gives its parameters to every data set and
// simulates. The number starts at 1 and persists across projects; it is clamped whenever it is
// applied.
//
// Refreshes: REFRESH_LOAD shows the primary's gain per year over the window, cut to one
// decimal, and the number, with the figures of that simulation (and the plateau under the result
// set, when the last Process recorded a landscape) as the box's tooltip; REFRESH_RESULTS applies
// the number again; REFRESH_CLEAR shows a gain of 0 and no tooltip. Nothing happens without a
// primary data set.
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
    void Step(int32_t change);
    void ShowFields();
    void ShowFigures();

    double m_gainPerYear = 0.0;
    int32_t m_shownNumber = 0;
    int32_t m_number = 1;
    CProject& m_project;
    CMainFrame& m_frame;
    QGroupBox* m_group;
    QLineEdit* m_gainEdit;
    QLineEdit* m_numberEdit;
};
