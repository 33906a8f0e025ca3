#pragma once

#include <QWidget>

#include <cstdint>

class CProject;
class CProjectCommands;
class QGroupBox;
class QLineEdit;

// The result sets box below the navigation trees: shows the number of the result set the
// parameters came from ("own" when they are the user's), with the gain per year they give, and
// forwards "+" and "-" to the commands, which apply the next or the previous result set.
//
// Refreshes: REFRESH_LOAD and REFRESH_RESULTS show the primary's gain per year over the window
// (or nothing when the window holds no result) and the number, with the figures of that
// simulation (and the plateau under the result set, when the last Process recorded a landscape)
// as the box's tooltip; REFRESH_CLEAR shows a gain of 0 and no tooltip. Nothing happens without
// a primary data set.
class CResultSetsDialog : public QWidget {
  public:
    // The commands outlive the dialog.
    explicit CResultSetsDialog(CProjectCommands& commands, QWidget* parent = nullptr);

  protected:
    void customEvent(QEvent* event) override;

  private:
    void ShowState();
    void ShowFigures();

    CProjectCommands& m_commands;
    CProject& m_project;
    QGroupBox* m_group;
    QLineEdit* m_gainEdit;
    QLineEdit* m_numberEdit;
};
