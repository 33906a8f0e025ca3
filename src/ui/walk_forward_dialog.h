#pragma once

#include <QDialog>
#include <QEvent>

#include <atomic>

#include "analysis/progress_sink.h"
#include "app/walk_forward.h"
#include "model/status.h"

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
    CWalkForwardDialog(const CProject& project, QWidget* parent = nullptr);

    bool Running() const { return m_running; }
    const CWalkForward& Result() const { return m_result; }

    // The worker's message: a new bar position (0: none) and whether the run is over.

  public:
    void reject() override;

  protected:
    void customEvent(QEvent* event) override;

  private:
    void OnRun();
    void ShowResult();
    void SetRunning(bool running);

    const CProject& m_project;
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
