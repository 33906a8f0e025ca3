#pragma once

#include <QDialog>
#include <QEvent>

#include <atomic>

class CProject;
class COptimiseWorker;
class QProgressBar;
class QPushButton;

// The modal "Quillmark - Calculating..." dialog of an optimisation run: it starts the worker
// when it is shown, moves its bar as the worker's progress messages arrive, and ends only with
// the worker's end-of-run message, so the worker never reports to a dialog that has gone.
// Cancel (the button or Escape) only sets the stop flag the run polls; the dialog owns the flag,
// so a Cancel at any moment is seen. The dialog has no close box.
class CProgressDialog : public QDialog {
    Q_OBJECT
  public:
    // `threads`: workers for the sweep (0: one per core).
    CProgressDialog(CProject* project, QWidget* parent = nullptr, int threads = 0);

    int Position() const;
    // Whether Cancel has asked the run to stop.
    bool StopRequested() const { return m_stop.load(); }

    // The message the worker posts: a new bar position (0: no change) and the end of the run.
    static QEvent::Type AnalysisDoneType();

  public slots:
    // Escape and the close button come here: the same as Cancel.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void customEvent(QEvent* event) override;

  private:
    void StartWorker();

    COptimiseWorker* m_worker = nullptr;  // deletes itself when its run ends
    CProject* m_project;
    std::atomic<bool> m_stop{false};
    int m_threads;
    QProgressBar* m_progress;
    QPushButton* m_cancel;
};

// What the worker posts to the dialog: a new bar position (0 for none), and whether the run is
// over.
class CAnalysisDoneEvent : public QEvent {
  public:
    CAnalysisDoneEvent(int position, bool runOver)
        : QEvent(CProgressDialog::AnalysisDoneType()), m_position(position), m_runOver(runOver) {}
    int m_position;
    bool m_runOver;
};
