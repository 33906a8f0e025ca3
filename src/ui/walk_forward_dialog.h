#pragma once

#include <QDialog>
#include <QEvent>

#include <atomic>

#include "app/walk_forward.h"
#include "model/progress_sink.h"
#include "model/status.h"

class CFrontEnd;
class CProject;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

// The walk-forward check from the Analysis page: the training and test lengths ("5y", "1y"),
// Run, the bar and Cancel while the worker runs, then one row per step and the figures of the
// stitched out-of-sample run against buy and hold. The dialog owns the stop flag and the result
// the worker writes; it cannot close while a run is going (closing asks the run to stop and
// closes when it ends), so the worker never writes into a dialog that has gone.
class CWalkForwardDialog : public QDialog {
  public:
    // The project outlives the dialog and does not change while it runs (the dialog is modal).
    // A run estimated above `askAboveSeconds` starts only when `frontEnd` is told Yes.
    CWalkForwardDialog(const CProject& project, CFrontEnd& frontEnd, double askAboveSeconds,
                       QWidget* parent = nullptr);

    bool Running() const { return m_running; }
    const CWalkForward& Result() const { return m_result; }

    void reject() override;

  protected:
    void customEvent(QEvent* event) override;

  private:
    void OnRun();
    void ShowResult();
    void SetRunning(bool running);

    const CProject& m_project;
    CFrontEnd& m_frontEnd;
    double m_askAboveSeconds;
    std::atomic<bool> m_stop{false};
    bool m_running = false;
    bool m_closeWhenOver = false;
    CWalkForward m_result;
    CStatus m_status = CStatus::Ok();
    QLineEdit* m_train;
    QLineEdit* m_test;
    QPushButton* m_run;
    QPushButton* m_cancel;
    QProgressBar* m_progress;
    QLabel* m_message;
    QTableWidget* m_steps;
    QLabel* m_figures;
    QLabel* m_chart;
    QCheckBox* m_robust;
    QCheckBox* m_flatStart;
};
