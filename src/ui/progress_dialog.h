#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>

#include <atomic>

#include "app/project_commands.h"

class CBackgroundRun;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The modal "Quillmark - Calculating..." dialog of an optimisation run: it starts the worker
// when it is shown, moves its bar as the worker's progress messages arrive, and ends only with
// the worker's end-of-run message, so the worker never reports to a dialog that has gone.
// Cancel (the button or Escape) only sets the stop flag the run polls; the dialog owns the flag,
// so a Cancel at any moment is seen. The dialog has no close box. Under the bar it tells the
// time left, from the estimate until the bar moves and from the run's own pace after, counting
// down once a second: on a long run the bar moves only every few minutes.
class CProgressDialog : public QDialog {
    Q_OBJECT
  public:
    // `run` is started on a worker when the dialog is shown.
    explicit CProgressDialog(SweepRun run, QWidget* parent = nullptr);

    // The estimated duration of the whole run in seconds (0: unknown), shown as the time left
    // until the bar moves. Call before the dialog is shown.
    void SetEstimate(double seconds);

    // Starts the run at once and shows the dialog only when the run is still going after
    // `quietMs`, so that a short run flashes nothing; until then the user's input waits, so no
    // command starts beside the run. Returns when the run has ended.
    void RunShownAfter(int quietMs);
    // Whether the run has ended (its end-of-run event has arrived).
    bool RunOver() const { return m_runOver; }

    int Position() const;
    QString TimeLeft() const;
    // Whether Cancel has asked the run to stop.
    bool StopRequested() const { return m_stop.load(); }

  public slots:
    // Escape and the close button come here: the same as Cancel.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void customEvent(QEvent* event) override;

  private:
    void StartWorker();
    void ShowTimeLeft();

    CBackgroundRun* m_worker = nullptr;  // deletes itself when its run ends
    SweepRun m_run;
    std::atomic<bool> m_stop{false};
    bool m_runOver = false;
    double m_estimate = 0.0;
    QElapsedTimer m_elapsed;
    QProgressBar* m_progress;
    QLabel* m_timeLeft;
    QPushButton* m_cancel;
    QTimer* m_tick;
};
